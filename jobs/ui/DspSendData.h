#pragma once

// TSendDataForm: the send-data layout viewer. Shows the fields of the records a job collects and
// sends back, with their widths, the field count and the record length; it changes nothing.

#include "jobs/SendDataLayout.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class TSendDataForm final : public QDialog {
    Q_OBJECT

public:
    // job.BhtFileFld must be current (GetBhtFld) for the job as it is now.
    explicit TSendDataForm(const TGyData &job, QWidget *parent = nullptr);

    QTableWidget *DataStrGrid = nullptr;
    QLabel *FeildLabel = nullptr;
    QLabel *TotalLabel = nullptr;
    QPushButton *EndBtn = nullptr;

private slots:
    void EndBtnClick();

private:
    void FormShow(const SendDataLayout &layout);
};
