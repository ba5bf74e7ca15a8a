#pragma once

#include "addins/frame/Symbology.h"

#include <QDialog>
#include <QGroupBox>
#include <array>

class QCheckBox;
class QPushButton;
class QRadioButton;
class TByteEdit;

// The symbology boxes of a barcode reading dialog: one check box per symbology in table order, a
// "ﾁｪｯｸﾃﾞｼﾞｯﾄ" group ("なし"/"あり") for ITF, STF, NW7 and Code39, and the user-defined box with its
// code string UserBarSE (32 bytes, the user-barcode key filter).
//
// Ticking a box with a check-digit choice enables its group; the user-defined box enables
// UserBarSE and disables every other box and group (and the reverse). setShown hides the boxes a
// program does not show on its model; a hidden box keeps its tick, and SChkSetBar writes it only
// where `written` allows (by default what is shown). Every operator change emits Changed
// (connected to the dialog's change handler).
class TSymbologyBoxes : public QGroupBox {
    Q_OBJECT

public:
    explicit TSymbologyBoxes(QWidget *parent = nullptr);

    void setShown(const addins::SymbologyShown &shown);
    void setShown(const addins::SymbologyShown &shown, const addins::SymbologyShown &written);
    // GetBar: ticks the boxes of barType's letters, "u" the user-defined one; UserBarSE shows
    // userBar whether or not "u" is ticked, so a confirm keeps the stored user text.
    void GetBar(const QString &barType, const QString &userBar);
    // The letters to store.
    QString SChkSetBar() const;
    QString userBar() const;

    QCheckBox *box(addins::Symbology s) const { return boxes_[std::size_t(s)]; }
    // Null for the symbologies without a check-digit choice.
    QGroupBox *checkDigitGroup(addins::Symbology s) const { return groups_[std::size_t(s)]; }
    QRadioButton *withCheckDigit(addins::Symbology s) const { return with_[std::size_t(s)]; }
    TByteEdit *UserBarSE = nullptr;

signals:
    void Changed();

private slots:
    void BoxClick();

private:
    void applyEnabling();

    std::array<QCheckBox *, addins::SymbologyCount> boxes_{};
    std::array<QGroupBox *, addins::SymbologyCount> groups_{};
    std::array<QRadioButton *, addins::SymbologyCount> with_{};
    std::array<QRadioButton *, addins::SymbologyCount> without_{};
    addins::SymbologyShown written_;
};

// The base of a program's TSetBarCodeForm: its "確定" (EndBtn) starts disabled and is enabled by
// the first change (markChanged, from every change handler outside SetFlag); EndBtnClick runs
// CheckBar, then SetBar, sets the main form's ChangeFlag when this dialog changed anything, and
// accepts; "キャンセル" (CancelBtn) closes without writing. A derived dialog builds its controls,
// adds EndBtn and CancelBtn to its layout, sets SetFlag around GetBar, and clears ChangeFlag.
class TSetBarCodeBase : public QDialog {
    Q_OBJECT

public:
    // mainChangeFlag: the main form's ChangeFlag, set on a confirmed change.
    TSetBarCodeBase(bool &mainChangeFlag, QWidget *parent = nullptr);

    bool SetFlag = false;
    bool ChangeFlag = false;
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    // The change handlers' common end: nothing while SetFlag is set.
    void markChanged();
    // True when every control passes; else the first failure was shown with ShowBarError.
    virtual bool CheckBar() = 0;
    // Writes the controls into the chosen record.
    virtual void SetBar() = 0;
    // Focuses control and shows message in the "入力エラー" box.
    void ShowBarError(QWidget *control, const QString &message);

private slots:
    void EndBtnClick();
    void CancelBtnClick();

private:
    bool &mainChangeFlag_;
};
