#pragma once

#include "jobs/BaseSettingsRules.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TNEdit;
class TListCombo;

// The Bluetooth settings of a set. The caller fills it, shows it and takes the values back unless
// the device name is empty: "取消" empties it, the close box keeps what was edited.
class TSetBtForm : public QDialog {
    Q_OBJECT

public:
    explicit TSetBtForm(QWidget *parent = nullptr);

    void fill(const basepage::BtFormValues &values);
    basepage::BtFormValues values() const;

    QLineEdit *DevName = nullptr;
    TListCombo *ModeCB = nullptr;
    TNEdit *TimeOutNE = nullptr;
    QLabel *BtAdrLabel = nullptr;
    QLineEdit *BtAdrSE = nullptr;
    TListCombo *SecurityCB = nullptr;
    QLabel *PassKeyLabel = nullptr;
    QLineEdit *PassKeySE = nullptr;
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private slots:
    void ModeCBChange();
    void SecurityCBChange();
    void EndBtnClick();
    void CancelBtnClick();

private:
    // Puts what the operator changed in edit through filter; last holds the edit's accepted text.
    void filterEdit(QLineEdit *edit, QString &last, basepage::KeyFilter filter);

    QString lastDevName_;
    QString lastAdr_;
    QString lastPassKey_;
};
