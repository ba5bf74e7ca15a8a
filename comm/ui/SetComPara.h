#pragma once

#include "comm/SetComParaRules.h"
#include "platform/Registry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QPushButton;

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

    QComboBox *ComPortCB = nullptr;
    QComboBox *ComSpeedCB = nullptr;
    QCheckBox *RcvModeCheck = nullptr;
    QComboBox *WrModeCB = nullptr;
    QPushButton *SetModeBtn = nullptr;
    QPushButton *SetBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void ComPortCBChange();
    void ComSpeedCBChange();
    void SetModeBtnClick();
    void SetBtnClick();
    void CancelBtnClick();

private:
    void FormCreate();
    // True when the key is to be discarded.
    bool KeyPress0(const QKeyEvent &key) const;
    bool ChkPort();
    void warn(const QString &text);

    comm::ComConditions &conditions_;
    platform::LineControl *lineControl_;
    platform::TRegistry Reg;
    int TmpPortNo = 1;
};
