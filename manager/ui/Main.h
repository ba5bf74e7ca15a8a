#pragma once

#include "manager/MainRules.h"
#include "manager/Startup.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

class TMainForm;

// The program folder with a trailing "/"; set once by the program block.
extern QString AppPath;
// The one main form; other units read the communication values through it.
extern TMainForm *MainForm;

// The main menu: opens the editors and runs the simple transfers itself.
class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);

    QString ComPort;
    int ComP = 1;
    int ComSpeed = 115200;
    int RcvMode = 1;
    int WrMode = 1;
    QString SendFolder;
    QString SendFile;

    QLabel *Image1 = nullptr;
    QPushButton *GyoumuBtn = nullptr;
    QPushButton *MasterBtn = nullptr;
    QPushButton *FerPrgBtn = nullptr;
    QPushButton *AddinProgBtn = nullptr;
    QPushButton *AiCdTblBtn = nullptr;
    QPushButton *RcvBtn = nullptr;
    QPushButton *SendBtn = nullptr;
    QPushButton *SetComBtn = nullptr;
    QPushButton *QueryBtn = nullptr;
    QPushButton *HPBtn = nullptr;
    QPushButton *EndBtn = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void GyoumuBtnClick();
    void MasterBtnClick();
    void FerPrgBtnClick();
    void AddinProgBtnClick();
    void AiCdTblBtnClick();
    void RcvBtnClick();
    void SendBtnClick();
    void SetComBtnClick();
    void QueryBtnClick();
    void HPBtnClick();
    void EndBtnClick();

private:
    QPushButton *addButton(const char *name, const QString &caption);
    void FormCreate();
    void FormClose();
    // Opens the port, runs the operation, shows its result under the kind's caption and closes the
    // port, with the form disabled throughout. An operation returns nothing when the operator
    // cancelled its file dialog.
    void runTransfer(int kind, const std::function<std::optional<int>(int handle)> &operation);
};
