#pragma once

// TSetComModeForm: the communication mode dialog (progress display, comma-separated receipt, log,
// default folders). "適用" changes the library's settings until the program ends, "更新" stores them
// as well. While the settings it opened with were incomplete it can only be left through "更新".

#include "comm/SetComModeRules.h"

#include <QDialog>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class TSetComModeForm final : public QDialog {
    Q_OBJECT

public:
    explicit TSetComModeForm(QWidget *parent = nullptr);

    QGroupBox *DspRG = nullptr;
    QRadioButton *DspShowRadio = nullptr; // item 0 of DspRG
    QRadioButton *DspHideRadio = nullptr; // item 1 of DspRG
    QCheckBox *CsvCheck = nullptr;
    QCheckBox *DblQuotedChk = nullptr;
    QCheckBox *LastSpaceCheck = nullptr;
    QCheckBox *AddZeroChk = nullptr;
    QGroupBox *LogGroup = nullptr;
    QCheckBox *LogCheck = nullptr;
    QWidget *LogPanel = nullptr;
    QLineEdit *LogFileFolder = nullptr;
    QPushButton *LogSanshouBtn = nullptr;
    QComboBox *LogFileCombo = nullptr;
    QLineEdit *RxFolder = nullptr;
    QPushButton *RxSanshouBtn = nullptr;
    QLineEdit *TxFolder = nullptr;
    QPushButton *TxSanshouBtn = nullptr;
    QPushButton *TekiyouBtn = nullptr;
    QPushButton *UpDateBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

public slots:
    // Escape ends a dialog through here: it obeys the same refusal as closing the window.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void LogCheckClick();
    void TekiyouBtnClick();
    void UpDateBtnClick();
    void CancelBtnClick();
    void LogSanshouBtnClick();
    void RxSanshouBtnClick();
    void TxSanshouBtnClick();

private:
    void FormCreate();
    void FormCloseQuery(bool &CanClose);
    // Checks the entries and applies them to the library; false (with its message shown and the
    // edit focused) when one is refused.
    bool ChangeData();
    comm::TComModeControls controlValues() const;
    QLineEdit *editOf(comm::ModeEdit edit) const;
    void browse(int mode, QLineEdit *edit);
};
