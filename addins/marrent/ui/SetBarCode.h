#pragma once

#include "addins/frame/ui/SetBarCodeBase.h"
#include "addins/marrent/DataType.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QWidget;
class TByteEdit;
class TListCombo;
class TNEdit;

// Marrent's barcode reading settings of one record: the data kind ("D"), the voucher kind ("N") or
// the product code ("P"). Only "確定" writes the controls back into the record.
class TSetBarCodeForm final : public TSetBarCodeBase {
    Q_OBJECT

public:
    // itemName: the data kind or voucher kind item name the caption starts with.
    TSetBarCodeForm(marrent::TBarDat &bar, char setBarType, const QString &itemName,
                    const marrent::ModelLimits &limits, bool &mainChangeFlag, QWidget *parent = nullptr);

    TSymbologyBoxes *Symbologies = nullptr;
    TNEdit *BarMaxNE = nullptr;
    TNEdit *BarMinNE = nullptr;
    QCheckBox *GTINChk = nullptr;
    QCheckBox *DelCDChk = nullptr;
    QLabel *DFormatLabel = nullptr;
    TListCombo *DFormatCB = nullptr;
    QWidget *SpCodePanel = nullptr;
    TNEdit *BSpCodeNE = nullptr;
    QCheckBox *BarDatChk = nullptr;
    QGroupBox *ChkGroup = nullptr;
    QLabel *ChkFldNoLabel = nullptr;
    TNEdit *ChkFldNoNE = nullptr;
    TNEdit *ChkTopNE = nullptr;
    TByteEdit *ChkDataSE = nullptr;
    TListCombo *CmpOkNgCB = nullptr;
    QWidget *InpDatFixPanel = nullptr;
    TNEdit *InpDatTopNE = nullptr;
    TNEdit *InpDatLenNE = nullptr;
    QWidget *InpDatNoPanel = nullptr;
    TNEdit *InpDatNoNE = nullptr;

protected:
    bool CheckBar() override;
    void SetBar() override;

private slots:
    void BoxChange();
    void NEditChange();
    void DFormatCBChange();
    void BarDatChkClick();

private:
    void GetBar();
    void DspBarChkInp();
    bool separated() const;

    marrent::TBarDat &bar_;
    char setBarType_;
    marrent::ModelLimits limits_;
};
