#pragma once

#include "jobs/DataType.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TListCombo;

// The template of a new job. add.GyName is empty after the dialog unless "追加" filled it.
class TAdGyForm : public QDialog {
    Q_OBJECT

public:
    // appPath: the program folder, where the add-in list names the settings programs.
    TAdGyForm(TAddGyDat &add, const QString &appPath, QWidget *parent = nullptr);

    QLineEdit *GNameSE = nullptr;
    TListCombo *GModeCB = nullptr;
    QLabel *ProgLabel = nullptr;
    QLineEdit *PNameSE = nullptr;
    QPushButton *AddInSetBtn = nullptr;
    QGroupBox *SaveGroup = nullptr;
    QLineEdit *FNameSE = nullptr;
    TListCombo *TStampCB = nullptr;
    TListCombo *TSLocCB = nullptr;
    QCheckBox *AddIDChkCB = nullptr;
    QFrame *RcvProtoPanel = nullptr;
    TListCombo *RcvProtoCB = nullptr;
    QLineEdit *RNameSE = nullptr;
    QCheckBox *DspTotalChk = nullptr;
    QPushButton *AddBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The add-in settings of the new job were confirmed through its settings program.
    bool SetAdinFlg = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void GModeCBChange();
    void TStampCBChange();
    void GNameSEChange(const QString &text);
    void RNameSEChange(const QString &text);
    void FNameSEChange(const QString &text);
    void PNameSEChange(const QString &text);
    void AddInSetBtnClick();
    void AddBtnClick();

private:
    // The hand-off of the new job's parameters to the add-in's settings program: 0 nothing taken
    // back, 1 taken into the add-job record, 2 no settings program.
    int AddInSetPrg(const QString &name);
    void PKeyDown(QWidget *control);
    void refuse(QLineEdit *edit, const QString &text, int caret);

    TAddGyDat &add_;
    QString appPath_;
    QString TmpFName;
    QString TmpPName;
    QString lastGName_;
};
