#pragma once

#include "addins/frame/ui/AddInMainForm.h"
#include "addins/marrent/HandOff.h"

#include <QList>
#include <QMap>
#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QWidget;
class TByteEdit;
class TListCombo;
class TFileNameEdit;
class TNEdit;
class QPushButton;

// Marrent's main form: operating mode, data kind, voucher kind, the inspection/picking master, the
// terminal screen with its preview, and the result file.
class TMainForm final : public TAddInMainForm {
    Q_OBJECT

public:
    TMainForm();

    // What the controls and records hold now (a numeric edit without a value as 0).
    marrent::MarrentSettings settings() const;
    const marrent::ModelLimits &limits() const { return load_.limits; }
    int SetCount() const { return load_.SetCount; }

    // ModeSheet
    QRadioButton *ModeInspect = nullptr;
    QRadioButton *ModePicking = nullptr;
    QCheckBox *RemoteChk = nullptr;
    // DKubunSheet
    QCheckBox *DKKubunChk = nullptr;
    QGroupBox *DKGroup = nullptr;
    TByteEdit *DKNameSE = nullptr;
    TListCombo *DKTypeCB = nullptr;
    TListCombo *DKFontCB = nullptr;
    TNEdit *DKMaxNE = nullptr;
    TNEdit *DKMinNE = nullptr;
    QCheckBox *DKBarChk = nullptr;
    QPushButton *DKBarBtn = nullptr;
    QCheckBox *DKMstChk = nullptr;
    QWidget *DKMstPanel = nullptr;
    TFileNameEdit *DKMstFileSE = nullptr;
    TByteEdit *DKMstFieldSE = nullptr;
    QCheckBox *DKMstErrChk = nullptr;
    // DenpyouSheet
    QCheckBox *DpKubunChk = nullptr;
    QGroupBox *DpGroup = nullptr;
    TByteEdit *DpNameSE = nullptr;
    QCheckBox *DpBarChk = nullptr;
    QPushButton *DpBarBtn = nullptr;
    // PKMstSheet
    QGroupBox *PKMstGroup = nullptr;
    TFileNameEdit *PKMstFileNameSE = nullptr;
    QWidget *DpLenPanel = nullptr;
    QLabel *DpLenLabel = nullptr;
    TNEdit *DpLenNE = nullptr;
    TNEdit *SCLenNE = nullptr;
    TNEdit *SNameLenNE = nullptr;
    QLabel *PKCountLabel = nullptr;
    TNEdit *PKCountLenNE = nullptr;
    // GamenSheet
    QPushButton *SCBarBtn = nullptr;
    QCheckBox *InpCountChk = nullptr;
    QGroupBox *InpCountGroup = nullptr;
    TNEdit *InpCountNE = nullptr;
    QFrame *BHT500Panel = nullptr;
    QFrame *BHT600Panel = nullptr;
    QFrame *BHT900Panel = nullptr;
    // SendFSheet
    QCheckBox *SendFileChk = nullptr;
    QGroupBox *SendGroup = nullptr;
    TFileNameEdit *SendFileSE = nullptr;
    TListCombo *SendFieldsCB = nullptr;
    TListCombo *SendFTypeCB = nullptr;
    QWidget *SFieldsSB = nullptr;
    std::array<TListCombo *, marrent::ResultFieldCount> pSField{};
    std::array<QLabel *, marrent::ResultFieldCount> pFCount{};
    std::array<QWidget *, marrent::ResultFieldCount> fieldRows{};
    TListCombo *SendDelCB = nullptr;

    // The barcode records the dialog edits ("D", "N", "P").
    marrent::TBarDat DKBarDat;
    marrent::TBarDat DpBarDat;
    marrent::TBarDat SCBarDat;

protected:
    bool LoadPara() override;
    bool CheckData() override;
    bool SavePara() override;
    void DspPage() override;
    QString closeQueryCaption() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void ModeRGClick();
    void DKKubunChkClick();
    void DKTypeCBChange();
    void DKFontCBChange();
    void Mark();
    void NEditChange();
    void DKBarChkClick();
    void DKMstChkClick();
    void DpKubunChkClick();
    void DpBarChkClick();
    void BarBtnClick();
    void InpCountChkClick();
    void InpCountNEChange();
    void SendFileChkClick();
    void SendFieldsCBChange();
    void SendFTypeCBChange();
    void SFieldCBChange();

private:
    // Enter in a control of the data kind, voucher kind and result pages: the control that takes the
    // focus next, or none when it stays.
    QWidget *EnterNext(QWidget *control) const;

    QWidget *buildModeSheet();
    QWidget *buildDKubunSheet();
    QWidget *buildDenpyouSheet();
    QWidget *buildPKMstSheet();
    QWidget *buildGamenSheet();
    QWidget *buildSendFSheet();
    QFrame *buildPreviewPanel(const char *name, const char *prefix);

    void fill(const marrent::MarrentSettings &s);
    void SetPKDsp();
    void DspDKubun();
    void DspPKMst();
    void DspBhtGamen();
    void SetSendField();
    // The field lists and length labels as the fields stand, without a refresh.
    void showSendFields();
    void showFieldRows();

    marrent::MarrentLoad load_;
    std::array<marrent::ResultField, marrent::ResultFieldCount> SendDat_{};
    QMap<int, QMap<QString, QLabel *>> previewLabels_;
    QList<QWidget *> enterChain_;
};
