#pragma once

#include "addins/frame/ui/SetBarCodeBase.h"
#include "addins/tessary/CheckRules.h"

#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class TByteEdit;
class TListCombo;
class TNEdit;

namespace tessary {

class TMainForm;

// TSetBarCodeForm: the reading settings of one of the main form's three barcodes (data kind,
// collation source or target), written back into its record on "確定".
class TSetBarCodeForm final : public TSetBarCodeBase {
    Q_OBJECT

public:
    TSetBarCodeForm(TMainForm &main, BarRole role, QWidget *parent = nullptr);

    TSymbologyBoxes *BarTypeGB = nullptr;
    TNEdit *BarMaxNE = nullptr;
    TNEdit *BarMinNE = nullptr;
    QCheckBox *GTINChk = nullptr;
    QCheckBox *DelCDChk = nullptr;
    QCheckBox *BarDatChk = nullptr;
    QGroupBox *BarChkGB = nullptr;
    QLabel *ChkFldNoLabel = nullptr;
    TNEdit *ChkFldNoNE = nullptr;
    TNEdit *ChkTopNE = nullptr;
    TByteEdit *ChkDataSE = nullptr;
    TListCombo *CmpOkNgCB = nullptr;
    QLabel *DFormatLabel = nullptr;
    TListCombo *DFormatCB = nullptr;
    QFrame *InpDatPanel = nullptr;
    TNEdit *InpDatTopNE = nullptr;
    TNEdit *InpDatLenNE = nullptr;
    QGroupBox *CmpDatGB = nullptr;
    QLabel *BarDataLabel = nullptr;
    std::array<QFrame *, CmpDataCount> CmpRow{};
    std::array<QFrame *, CmpDataCount> CmpFixedPanel{};
    std::array<QFrame *, CmpDataCount> CmpDnoPanel{};
    std::array<TNEdit *, CmpDataCount> CmpTopNE{};
    std::array<TNEdit *, CmpDataCount> CmpLenNE{};
    std::array<TNEdit *, CmpDataCount> CmpDnoNE{};
    QCheckBox *DelCharChk = nullptr;
    QFrame *DelCharPanel = nullptr;
    TByteEdit *DelCharSE = nullptr;

    // The format the dialog stores: a list index, or 8 ("A", no list item) kept from the record.
    int format() const { return format_; }

protected:
    bool CheckBar() override;
    void SetBar() override;

private slots:
    void BarChkClick();
    void NEDataChange();
    void BarMaxNEChange();
    void DFormatCBChange();
    void BarDatChkClick();
    void DelCharChkClick();

private:
    void GetBar();
    // DspBarChk and DspCmpDat: every visible and enabled state from the record and the switches.
    void applyLayout();
    void setLengthMaximum(int maximum);
    void connectTopKey(TNEdit *edit);
    BarDialogInput input() const;

    TMainForm &main_;
    BarRole role_;
    int format_ = FixedLengthFormat;
};

} // namespace tessary
