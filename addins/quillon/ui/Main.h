#pragma once

#include "addins/frame/ui/AddInMainForm.h"
#include "addins/quillon/CheckData.h"
#include "addins/quillon/Settings.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;
class ReturnMoves;
class TByteEdit;
class TFileNameEdit;
class TListCombo;
class TNEdit;

// Quillon's main form: the data kind (page 1), the search key, collation data and result signals
// (page 2) and the result saving (page 3). The records and limits live in the widget-free
// library; this form moves them between its controls and QuillonSettings.
class TMainForm final : public TAddInMainForm {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);

    bool DataErr = false;
    int BhtType = 0;
    quillon::ModelLimits limits = quillon::StartLimits();
    quillon::TBarDat DKBarDat, KKBarDat, SKBarDat;
    quillon::TBzDat OkBz = quillon::DefaultOkBz();
    quillon::TBzDat NgBz = quillon::DefaultNgBz();
    quillon::SaveRows SaveDat{};
    QByteArray SaveDatDef = "*";
    QString SaveDatStr;
    QChar SetBarType;
    QChar SetBzType;

    // Page 1
    QCheckBox *DKubunChk = nullptr;
    QGroupBox *DKubunGB = nullptr;
    TByteEdit *DKNameSE = nullptr;
    TListCombo *DKTypeCB = nullptr;
    TListCombo *DKFontCB = nullptr;
    QWidget *DKMaxMinPanel = nullptr;
    TNEdit *DKMaxNE = nullptr;
    TNEdit *DKMinNE = nullptr;
    QCheckBox *DKBarChk = nullptr;
    QPushButton *DKBarBtn = nullptr;
    QCheckBox *DKMstUseChk = nullptr;
    QWidget *DKMstPanel = nullptr;
    TFileNameEdit *DKMstFileSE = nullptr;
    QCheckBox *DKMstErrChk = nullptr;
    // Page 2
    TByteEdit *KKNameSE = nullptr;
    QPushButton *KKBarBtn = nullptr;
    TFileNameEdit *KKMstFileSE = nullptr;
    TNEdit *KKMaxNE = nullptr;
    TNEdit *KKMinNE = nullptr;
    TByteEdit *SKNameSE = nullptr;
    TListCombo *CmpModeCB = nullptr;
    QPushButton *SKBarBtn = nullptr;
    QCheckBox *SKMstUseChk = nullptr;
    QWidget *SKMstFilePanel = nullptr;
    TFileNameEdit *SKMstFileSE = nullptr;
    QPushButton *OkBzBtn = nullptr;
    QPushButton *NgBzBtn = nullptr;
    TNEdit *OkDspTimeNE = nullptr;
    TNEdit *NgDspTimeNE = nullptr;
    // Page 3
    QCheckBox *DSaveChk = nullptr;
    QGroupBox *DSaveGB = nullptr;
    TFileNameEdit *SaveFileSE = nullptr;
    TListCombo *SaveFieldsCB = nullptr;
    TListCombo *SaveTypeCB = nullptr;
    std::array<QLabel *, quillon::SaveRowCount> pFLabel{};
    std::array<QLabel *, quillon::SaveRowCount> pLenLabel{};
    std::array<TListCombo *, quillon::SaveRowCount> pSField{};
    std::array<TNEdit *, quillon::SaveRowCount> pSFTopNE{};
    std::array<TNEdit *, quillon::SaveRowCount> pSFLenNE{};
    std::array<QWidget *, quillon::SaveRowCount> pPanel{};
    QTableWidget *ListView1 = nullptr;

    // What the controls and records hold now.
    quillon::QuillonSettings settings() const;

protected:
    bool LoadPara() override;
    bool CheckData() override;
    bool SavePara() override;
    void DspPage() override;
    QString closeQueryCaption() const override { return QStringLiteral("アドイン照合設定"); }
    void showEvent(QShowEvent *event) override;

private slots:
    void NESEChange();
    void NEChange();
    void DKubunChkClick();
    void DKTypeCBChange();
    void DKFontCBChange();
    void DKMinNEChange();
    void KKMinNEChange();
    void DKBarChkClick();
    void DKMstUseChkClick();
    void SKMstUseChkClick();
    void DKBarBtnClick();
    void KKBarBtnClick();
    void SKBarBtnClick();
    void OkBzBtnClick();
    void NgBzBtnClick();
    void DSaveChkClick();
    void SaveFieldsCBChange();
    void SaveTypeCBChange();

private:
    QWidget *buildDataKindPage();
    QWidget *buildCollationPage();
    QWidget *buildSavePage();
    void buildReturnMoves();
    TFileNameEdit *fileEdit(const char *name);
    void MinNEChange(TNEdit *min, TNEdit *max);
    void SFieldCBChange(int k);
    void FTopChange(int k);
    void FLenChange(int k);
    void showSettings(const quillon::QuillonSettings &s);
    void applyDataTypeRule();
    void applyLimits();
    void openBarDialog(QChar type);
    void openBzDialog(QChar type);
    // The save page's refresh: codes, lists, normalised rows and preview.
    void refreshSavePage();
    void SetSaveDat();
    void DspDataLayout();
    int saveCount() const;

    ReturnMoves *returnMoves_ = nullptr;
};
