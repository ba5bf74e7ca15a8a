#pragma once

#include "addins/frame/ui/SetBarCodeBase.h"
#include "addins/quillon/DataType.h"

class QCheckBox;
class QLabel;
class QWidget;
class TByteEdit;
class TListCombo;
class TNEdit;

// Quillon's barcode reading settings of one item: symbologies, GTIN conversion, check-digit
// removal, data format, the part of the data taken, a data check and characters to delete. It
// edits the record given to it only on a passed "確定".
class TSetBarCodeForm final : public TSetBarCodeBase {
    Q_OBJECT

public:
    // itemName: the item's name edit, for the caption.
    TSetBarCodeForm(quillon::TBarDat &bar, bool &mainChangeFlag, const quillon::ModelLimits &limits,
                    int model, const QString &itemName, QWidget *parent = nullptr);

    QCheckBox *GTINChk = nullptr;
    TSymbologyBoxes *BarCodeGroup = nullptr;
    QCheckBox *DelCDChk = nullptr;
    QWidget *FmtPanel = nullptr;
    TListCombo *DFormatCB = nullptr;
    QWidget *SVChrPanel = nullptr;
    TByteEdit *SVChrSE = nullptr;
    QWidget *InpDatPanel = nullptr;
    TNEdit *DatTopNE = nullptr;
    TNEdit *DatLenNE = nullptr;
    QLabel *DSelLabel1 = nullptr;
    QLabel *DSelLabel2 = nullptr;
    QWidget *DaChkGroup = nullptr;
    QCheckBox *BarDatChk = nullptr;
    QLabel *ChkFldNoLabel = nullptr;
    TNEdit *ChkFldNoNE = nullptr;
    QLabel *ChkTopLabel = nullptr;
    TNEdit *ChkTopNE = nullptr;
    QLabel *ChkDataLabel = nullptr;
    TByteEdit *ChkDataSE = nullptr;
    QLabel *ChkTypeLabel = nullptr;
    TListCombo *CmpOkNgCB = nullptr;
    QCheckBox *DelCharChk = nullptr;
    QWidget *DelCharPanel = nullptr;
    TByteEdit *DelCharSE = nullptr;

    // The data format in force: a list index, or 5 for a stored format without a list item.
    int format() const { return format_; }

protected:
    bool CheckBar() override;
    void SetBar() override;

private slots:
    void BarChkClick();
    void CBSEDataChange();
    void NEDataChange();
    void DFormatCBChange();
    void BarDatChkClick();
    void DelCharChkClick();

private:
    void GetBar();
    void DspSVChar();
    void DspBarChk(bool on);
    void DspSelDat();
    void TopNEKeyPress(TNEdit *edit, QChar &key);

    quillon::TBarDat &bar_;
    quillon::ModelLimits limits_;
    int model_;
    int format_ = quillon::FmtFixed;
};
