#pragma once

#include "comm/SetComParaRules.h"
#include "platform/Registry.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class TListCombo;

namespace platform {
class LineControl;
}

// The communication conditions dialog: port, speed and receive modes. It works on the caller's
// values and writes them back only when "更新" has stored them.
class TSetComForm : public QDialog {
    Q_OBJECT

public:
    // lineControl stands in a device for the port check; null uses the system's calls.
    explicit TSetComForm(comm::ComConditions &conditions, QWidget *parent = nullptr,
                         platform::LineControl *lineControl = nullptr);

    TListCombo *ComPortCB = nullptr;
    TListCombo *ComSpeedCB = nullptr;
    QCheckBox *RcvModeCheck = nullptr;
    TListCombo *WrModeCB = nullptr;
    QPushButton *SetModeBtn = nullptr;
    QPushButton *SetBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private slots:
    void ComPortCBChange();
    void ComSpeedCBChange();
    void SetModeBtnClick();
    void SetBtnClick();
    void CancelBtnClick();

private:
    void FormCreate();
    bool ChkPort();
    void warn(const QString &text);

    comm::ComConditions &conditions_;
    platform::LineControl *lineControl_;
    platform::TRegistry Reg;
    int TmpPortNo = 1;
};
