#pragma once

#include "addins/frame/ui/AddInMainForm.h"
#include "addins/tessary/CheckRules.h"
#include "addins/tessary/TessaryPara.h"

#include <QByteArray>
#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class TByteEdit;
class TFileNameEdit;
class TListCombo;
class TNEdit;

namespace tessary {

// Tessary's main form: the pages "データ区分", "照合条件" and "データ保存" with the three barcode
// records the barcode dialog edits.
class TMainForm final : public TAddInMainForm {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);

    int SetCount = 0;
    std::array<QByteArray, 6> Para;
    // The model's limits (UnknownModel until LoadPara has read the model).
    const TModel *Model = &UnknownModel();
    char SetBarType = 'K';
    TBarDat DKBarDat, MKBarDat, CKBarDat;
    std::array<TSaveDat, SaveFieldMax> SaveDat{};
    QString SaveDatDef;

    // Page "データ区分"
    QCheckBox *DKubunChk = nullptr;
    QGroupBox *DKubunGB = nullptr;
    TByteEdit *DKNameSE = nullptr;
    TListCombo *DKTypeCB = nullptr;
    TListCombo *DKFontCB = nullptr;
    TNEdit *DKMaxNE = nullptr;
    TNEdit *DKMinNE = nullptr;
    QCheckBox *DKBarChk = nullptr;
    QPushButton *DKBarBtn = nullptr;
    QCheckBox *DKMstChk = nullptr;
    QFrame *DKMstPanel = nullptr;
    TFileNameEdit *DKMstFileSE = nullptr;
    TByteEdit *DKMstFieldSE = nullptr;
    QCheckBox *DKMstErrChk = nullptr;
    // Page "照合条件"
    TListCombo *DousaCB = nullptr;
    TListCombo *CmpDatCntCB = nullptr;
    QCheckBox *SuryouInputChk = nullptr;
    TByteEdit *MKNameSE = nullptr;
    QPushButton *MKBarBtn = nullptr;
    QCheckBox *MKMstChk = nullptr;
    QFrame *MKMstPanel = nullptr;
    TNEdit *SerchDatTopNE = nullptr;
    TNEdit *SerchDatLenNE = nullptr;
    TFileNameEdit *MKMstFileSE = nullptr;
    TByteEdit *MKMstFieldSE = nullptr;
    TByteEdit *SK1NameSE = nullptr;
    QPushButton *SK1BarBtn = nullptr;
    // Page "データ保存"
    QCheckBox *DSaveChk = nullptr;
    QGroupBox *DSaveGB = nullptr;
    TFileNameEdit *SaveFileSE = nullptr;
    TListCombo *SaveFieldsCB = nullptr;
    TListCombo *SaveTypeCB = nullptr;
    TListCombo *TStampCB = nullptr;
    std::array<QLabel *, SaveFieldMax> pFLabel{};
    std::array<QLabel *, SaveFieldMax> pLenLabel{};
    std::array<TListCombo *, SaveFieldMax> pSField{};
    std::array<TNEdit *, SaveFieldMax> pSFTopNE{};
    std::array<TNEdit *, SaveFieldMax> pSFLenNE{};
    std::array<QFrame *, SaveFieldMax> pPanel{};
    QTreeWidget *ListView1 = nullptr;

    // What the controls and records hold.
    TTessaryState state() const;
    // The item name the barcode dialog of a role shows in its caption.
    QString itemNameOf(BarRole role) const;
    TBarDat &barOf(BarRole role);

protected:
    bool LoadPara() override;
    bool CheckData() override;
    bool SavePara() override;
    void DspPage() override;
    QString closeQueryCaption() const override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void DKubunChkClick();
    void MarkChange();
    void DKTypeCBChange();
    void DKFontCBChange();
    void DKMaxNEChange();
    void DKMinNEChange();
    void DKBarChkClick();
    void DKMstChkClick();
    void MKMstChkClick();
    void DousaCBChange();
    void SerchDatTopNEChange();
    void DKBarBtnClick();
    void MKBarBtnClick();
    void SK1BarBtnClick();
    void DSaveChkClick();
    void SaveFieldsCBChange();
    void SFieldCBChange(int row);
    void FTopChange(int row);
    void FLenChange(int row);

private:
    QWidget *buildDataKindPage();
    QWidget *buildCollationPage();
    QWidget *buildSavePage();
    void connectDigitLimit(TNEdit *edit, const std::function<int()> &limit, bool marksChange);
    void showState(const TTessaryState &s);
    void DspDataKind();
    void DousaChangeDsp();
    void refreshSavePage();
    void SetSaveDat();
    void DspDataLayout();
    void CheckSDTLen(int row);
    void openBarDialog(char type);
    QWidget *nextOnEnter(QWidget *control) const;
};

} // namespace tessary
