// Marrent's main form: its construction, the settings it loads, checks and saves, the page
// refresh, and the handlers the sheets share.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

using formkit::named;
using marrent::MarrentSettings;

using marrent::mainparts::row;
using marrent::mainparts::setValue;
using marrent::mainparts::value;

TMainForm::TMainForm()
    : TAddInMainForm({QStringLiteral("動作モード"), QStringLiteral("データ区分"), QStringLiteral("伝票区分"),
                      QStringLiteral("検品マスター"), QStringLiteral("画面設定"), QStringLiteral("処理結果")},

                     QStringLiteral("確定"))
{
    addPage(buildModeSheet());
    addPage(buildDKubunSheet());
    addPage(buildDenpyouSheet());
    addPage(buildPKMstSheet());
    addPage(buildGamenSheet());
    addPage(buildSendFSheet());
    SendDat_ = MarrentSettings::DefaultResultFields();
    enterChain_ = {DKNameSE, DKTypeCB,    DKFontCB, DKMaxNE,    DKMinNE,     DKBarChk,
                   DKMstChk, DKMstFileSE, DpBarChk, SendFileSE, SendFieldsCB};
    for (QWidget *control : enterChain_)
        control->installEventFilter(this);
    // Room for the largest sheet with every group shown, so the form does not grow page by page.
    resize(640, 480);
}

QString TMainForm::closeQueryCaption() const
{
    return QStringLiteral("アドインピッキング／検品設定");
}

MarrentSettings TMainForm::settings() const
{
    MarrentSettings s;
    s.picking = ModePicking->isChecked();
    s.remoteMaster = RemoteChk->isChecked();
    s.DKUsed = DKKubunChk->isChecked();
    s.DKName = DKNameSE->text();
    s.DKType = DKTypeCB->currentIndex();
    s.DKWide = DKFontCB->currentIndex() == 1;
    s.DKMax = value(DKMaxNE);
    s.DKMin = value(DKMinNE);
    s.DKBarUsed = DKBarChk->isChecked();
    s.DKBarDat = DKBarDat;
    s.DKMstUsed = DKMstChk->isChecked();
    s.DKMstFile = DKMstFileSE->text();
    s.DKMstField = DKMstFieldSE->text();
    s.DKMstError = DKMstErrChk->isChecked();
    s.DpUsed = DpKubunChk->isChecked();
    s.DpName = DpNameSE->text();
    s.DpBarUsed = DpBarChk->isChecked();
    s.DpBarDat = DpBarDat;
    s.PKMstFile = PKMstFileNameSE->text();
    s.DpLen = value(DpLenNE);
    s.SCLen = value(SCLenNE);
    s.SNameLen = value(SNameLenNE);
    s.PKCountLen = value(PKCountLenNE);
    s.SCBarDat = SCBarDat;
    s.InpCount = InpCountChk->isChecked();
    s.InpCountDigits = value(InpCountNE);
    s.SendUsed = SendFileChk->isChecked();
    s.SendFile = SendFileSE->text();
    s.SendFieldsIndex = SendFieldsCB->currentIndex();
    s.SendFType = SendFTypeCB->currentIndex();
    s.SendDat = SendDat_;
    s.SendDel = SendDelCB->currentIndex();
    return s;
}

bool TMainForm::LoadPara()
{
    const auto load = marrent::LoadMarrent();
    if (!load)
        return false;
    load_ = *load;
    setWindowTitle(load_.caption);
    const marrent::ModelLimits &l = load_.limits;
    BHT500Panel->setVisible(l.BhtType == 500);
    BHT600Panel->setVisible(l.BhtType != 500 && l.BhtType != 900);
    BHT900Panel->setVisible(l.BhtType == 900);
    DKNameSE->setMaxBytes(l.NameMax);
    DpNameSE->setMaxBytes(l.NameMax);
    DpLenNE->SetMaxValue(l.NameMax);
    SCLenNE->SetMaxValue(l.NameMax);
    SNameLenNE->SetMaxValue(l.SNameLenMax);
    PKCountLenNE->SetMaxValue(l.CountMax);
    InpCountNE->SetMaxValue(l.CountMax);
    fill(load_.settings);
    return true;
}

void TMainForm::fill(const MarrentSettings &s)
{
    const formkit::LoadingGuard guard(SetFlag);
    (s.picking ? ModePicking : ModeInspect)->setChecked(true);
    // Without stored settings the tree keeps its first captions ("画面設定" included) until the
    // operator chooses a mode.
    if (load_.SetCount == 1)
        SetPKDsp();
    RemoteChk->setChecked(s.remoteMaster);
    DKKubunChk->setChecked(s.DKUsed);
    DKGroup->setVisible(s.DKUsed);
    DKNameSE->setBoundedText(s.DKName);
    DKTypeCB->setCurrentIndex(s.DKType);
    DKFontCB->setCurrentIndex(s.DKWide ? 1 : 0);
    DKFontCBChange();
    setValue(DKMaxNE, s.DKMax);
    setValue(DKMinNE, s.DKMin);
    DKBarChk->setChecked(s.DKBarUsed);
    DKBarBtn->setEnabled(s.DKBarUsed);
    DKBarDat = s.DKBarDat;
    DKMstChk->setChecked(s.DKMstUsed);
    DKMstPanel->setVisible(s.DKMstUsed);
    DKMstFileSE->setFileName(s.DKMstFile);
    DKMstFieldSE->setBoundedText(s.DKMstField);
    DKMstErrChk->setChecked(s.DKMstError);
    DpKubunChk->setChecked(s.DpUsed);
    DpGroup->setVisible(s.DpUsed);
    DpNameSE->setBoundedText(s.DpName);
    DpBarChk->setChecked(s.DpBarUsed);
    DpBarBtn->setEnabled(s.DpBarUsed);
    DpBarDat = s.DpBarDat;
    PKMstFileNameSE->setFileName(s.PKMstFile);
    setValue(DpLenNE, s.DpLen);
    setValue(SCLenNE, s.SCLen);
    setValue(SNameLenNE, s.SNameLen);
    setValue(PKCountLenNE, s.PKCountLen);
    SCBarDat = s.SCBarDat;
    InpCountChk->setChecked(s.InpCount);
    InpCountGroup->setVisible(s.InpCount);
    setValue(InpCountNE, s.InpCountDigits);
    SendFileChk->setChecked(s.SendUsed);
    SendGroup->setVisible(s.SendUsed);
    SendFileSE->setFileName(s.SendFile);
    SendFieldsCB->setCurrentIndex(s.SendFieldsIndex);
    SendFTypeCB->setCurrentIndex(s.SendFType);
    SendDat_ = s.SendDat;
    SendDelCB->setCurrentIndex(s.SendDel);
    showSendFields();
}

void TMainForm::DspPage()
{
    const formkit::LoadingGuard guard(SetFlag);
    switch (PageControl1->currentIndex()) {
    case 1:
        DspDKubun();
        break;
    case 3:
        DspPKMst();
        break;
    case 4:
        DspBhtGamen();
        break;
    case 5:
        SendGroup->setVisible(SendFileChk->isChecked());
        if (SendFileChk->isChecked())
            SetSendField();
        break;
    default:
        break;
    }
}

bool TMainForm::CheckData()
{
    MarrentSettings s = settings();
    marrent::PrepareForSave(s);
    const auto failure = marrent::CheckSettings(s, load_.limits);
    if (!failure)
        return true;
    // The page is refreshed before the box: it may never have been shown, or may still show the
    // state of another page's settings (the voucher row, the screen preview).
    showPage(failure->page());
    DspPage();
    formkit::requestFocus(findChild<QWidget *>(failure->control));
    formkit::showInputError(failure->message);
    return false;
}

bool TMainForm::SavePara()
{
    MarrentSettings s = settings();
    marrent::PrepareForSave(s);
    QString error;
    if (marrent::SaveMarrent(s, load_.limits, &error))
        return true;
    platform::ui().messageBox(QStringLiteral("設定を保存できませんでした。\r\n") + error, windowTitle(),
                              formkit::stopStyle());
    return false;
}

void TMainForm::Mark()
{
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::NEditChange()
{
    if (SetFlag)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(sender()); edit && edit->text() == QStringLiteral("0"))
        edit->clear();
    ChangeFlag = true;
}

void TMainForm::BarBtnClick()
{
    const QObject *button = sender();
    const char type = button == DKBarBtn ? 'D' : button == DpBarBtn ? 'N' : 'P';
    marrent::TBarDat &record = type == 'D' ? DKBarDat : type == 'N' ? DpBarDat : SCBarDat;
    const QString item = type == 'D' ? DKNameSE->text() : DpNameSE->text();
    TSetBarCodeForm dialog(record, type, item, load_.limits, ChangeFlag, this);
    platform::ui().showModal(dialog);
}
