#pragma once

#include "jobs/DataType.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TListCombo;

// Names a new item and picks its data type. add.KName on entry is the kind shown in the captions;
// on exit the new name, or empty when nothing is added.
class TAdKoForm : public QDialog {
    Q_OBJECT

public:
    TAdKoForm(TAddKoDat &add, QWidget *parent = nullptr);

    QLabel *NameLabel = nullptr;
    QLineEdit *AddNameSE = nullptr;
    TListCombo *KDTypeCB = nullptr;
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private slots:
    void EndBtnClick();
    void AddNameSEChange(const QString &text);

private:
    TAddKoDat &add_;
    QString last_;
};
