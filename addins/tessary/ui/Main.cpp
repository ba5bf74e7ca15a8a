// Tessary's main form: its construction, the settings it loads, checks and saves, the page
// refresh, and the barcode records its dialog edits.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ByteText.h"
#include "addins/frame/HandOffClient.h"
#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/tessary/SaveLayout.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QStackedWidget>
#include <QTreeWidget>

namespace tessary {

using mainparts::textOf;
using mainparts::valueOf;

TMainForm::TMainForm(QWidget *parent)
    : TAddInMainForm({QStringLiteral("データ区分"), QStringLiteral("照合条件"), QStringLiteral("データ保存")},

                     QStringLiteral("更新"), parent)
{
    formkit::LoadingGuard loading(SetFlag);
    addPage(buildDataKindPage());
    addPage(buildCollationPage());
    addPage(buildSavePage());
    DKBarDat = MKBarDat = CKBarDat = InitBarDat();
    // The Enter chain and the caret rule watch every field of the pages.
    for (QWidget *control : PageControl1->findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control) ||
            qobject_cast<QAbstractButton *>(control))
            control->installEventFilter(this);
    resize(760, 560);
}

void TMainForm::connectDigitLimit(TNEdit *edit, const std::function<int()> &limit, bool marksChange)
{
    // With a limit: DKMaxNEKeyPress/DKMinNEKeyPress; without: FTopNEKeyPress against BarMaxLen,
    // letting through the steps on the way to the special start position.
    connect(edit, &TNEdit::KeyPress, this, [this, edit, limit, marksChange](QChar &key) {
        if (!key.isDigit())
            return;
        if (marksChange)
            ChangeFlag = true;
        const QString after = edit->text() + key;
        const int value = after.toInt();
        if (limit) {
            if (value > limit())
                key = QChar();
            return;
        }
        if (value > Model->BarMaxLen && value != Model->SpTopPos && value != 9 && value != 99 && value != 999)
            key = QChar();
    });
}

TTessaryState TMainForm::state() const
{
    TTessaryState s;
    s.DKubun = DKubunChk->isChecked();
    s.DKName = DKNameSE->text();
    s.DKType = std::max(0, DKTypeCB->currentIndex());
    s.DKFont = std::max(0, DKFontCB->currentIndex());
    s.DKMax = valueOf(DKMaxNE);
    s.DKMin = valueOf(DKMinNE);
    s.DKBar = DKBarChk->isChecked();
    s.DKMst = DKMstChk->isChecked();
    s.DKMstFile = DKMstFileSE->text();
    s.DKMstField = DKMstFieldSE->text();
    s.DKMstErr = DKMstErrChk->isChecked();
    s.Dousa = std::max(0, DousaCB->currentIndex());
    s.CmpDatCnt = std::max(0, CmpDatCntCB->currentIndex());
    s.SuryouInput = SuryouInputChk->isChecked();
    s.MKName = MKNameSE->text();
    s.MKMst = MKMstChk->isChecked();
    s.SerchDatTop = valueOf(SerchDatTopNE);
    s.SerchDatLen = valueOf(SerchDatLenNE);
    s.MKMstFile = MKMstFileSE->text();
    s.MKMstField = MKMstFieldSE->text();
    s.SKName = SK1NameSE->text();
    s.DKBarDat = DKBarDat;
    s.MKBarDat = MKBarDat;
    s.CKBarDat = CKBarDat;
    s.DSave = DSaveChk->isChecked();
    s.SaveFile = SaveFileSE->text();
    s.SaveFields = std::max(0, SaveFieldsCB->currentIndex()) + 1;
    s.SaveType = std::max(0, SaveTypeCB->currentIndex());
    s.TStamp = std::max(0, TStampCB->currentIndex());
    s.SaveDat = SaveDat;
    return s;
}

void TMainForm::showState(const TTessaryState &s)
{
    formkit::LoadingGuard loading(SetFlag);
    DKubunChk->setChecked(s.DKubun);
    DKNameSE->setBoundedText(s.DKName);
    DKTypeCB->setCurrentIndex(s.DKType);
    DKFontCB->setCurrentIndex(s.DKFont);
    DKMaxNE->setText(textOf(s.DKMax));
    DKMinNE->setText(textOf(s.DKMin));
    DKBarChk->setChecked(s.DKBar);
    DKMstChk->setChecked(s.DKMst);
    DKMstFileSE->setFileName(s.DKMstFile);
    DKMstFieldSE->setBoundedText(s.DKMstField);
    DKMstErrChk->setChecked(s.DKMstErr);
    DousaCB->setCurrentIndex(s.Dousa);
    CmpDatCntCB->setCurrentIndex(s.CmpDatCnt);
    SuryouInputChk->setChecked(s.SuryouInput);
    MKNameSE->setBoundedText(s.MKName);
    MKMstChk->setChecked(s.MKMst);
    SerchDatTopNE->setText(textOf(s.SerchDatTop));
    SerchDatLenNE->setText(textOf(s.SerchDatLen));
    MKMstFileSE->setFileName(s.MKMstFile);
    MKMstFieldSE->setBoundedText(s.MKMstField);
    SK1NameSE->setBoundedText(s.SKName);
    DKBarDat = s.DKBarDat;
    MKBarDat = s.MKBarDat;
    CKBarDat = s.CKBarDat;
    DSaveChk->setChecked(s.DSave);
    SaveFileSE->setFileName(s.SaveFile);
    SaveFieldsCB->setCurrentIndex(s.SaveFields - 1);
    TStampCB->setCurrentIndex(s.TStamp);
    SaveTypeCB->clear();
    SaveTypeCB->addItems(SaveTypeItems(s.Dousa));
    SaveTypeCB->setCurrentIndex(SaveTypeFor(s.SaveType, s.Dousa));
    SaveDat = s.SaveDat;

    DKubunGB->setVisible(s.DKubun);
    DKMstPanel->setVisible(s.DKMst);
    MKMstPanel->setVisible(s.MKMst);
    DSaveGB->setVisible(s.DSave);
    DspDataKind();
    DousaChangeDsp();
    refreshSavePage();
}

bool TMainForm::LoadPara()
{
    for (QByteArray &p : Para)
        p.clear();
    const addins::HandOffRequest request = addins::ReadHandOff({2, 0, {}});
    const TModel *model = FindModel(request.BhtType);
    if (model == nullptr)
        return false;
    Model = model;
    setWindowTitle(request.GyName.value_or(QString()) + QStringLiteral(" 照合プログラム設定") +
                   Model->suffix);
    SetCount = request.SetCount;
    Para[0] = request.Para0;
    Para[1] = request.Para1;
    // The marker's position depends on the model, known only now.
    if (SetCount == 1 && LayoutOf(Para[0], *Model) == ParaLayout::None)
        SetCount = 0;

    for (TByteEdit *name : {DKNameSE, MKNameSE, SK1NameSE})
        name->setMaxBytes(Model->NameMax);
    for (TNEdit *len : pSFLenNE)
        len->SetMaxValue(Model->BarMaxLen);
    showState(SetCount == 1 ? LoadState(Para[0], Para[1], *Model) : DefaultState(*Model));
    return true;
}

QString TMainForm::closeQueryCaption() const
{
    return QStringLiteral("アドイン照合設定");
}

void TMainForm::showEvent(QShowEvent *event)
{
    TAddInMainForm::showEvent(event);
    // FormShow
    TreeView1->setFocus();
}

void TMainForm::DspPage()
{
    switch (PageControl1->currentIndex()) {
    case DataKindPage:
        DspDataKind();
        break;
    case CollationPage:
        DousaChangeDsp();
        break;
    case SavePage:
        refreshSavePage();
        break;
    }
}

bool TMainForm::CheckData()
{
    const std::optional<CheckFailure> failure = tessary::CheckData(state(), *Model);
    if (!failure)
        return true;
    ShowCheckError(failure->page, findChild<QWidget *>(failure->control), failure->message);
    return false;
}

bool TMainForm::SavePara()
{
    // The save fields are corrected against the allowed sources once more on the way out.
    SaveDatDef = GetSaveDef(state());
    CheckSaveDat(SaveDat, SaveDatDef, *Model);
    const TessaryPara para = SaveState(state(), *Model);
    Para[0] = para.Para0;
    Para[1] = para.Para1;
    SetCount = 1;
    QString reason;
    if (addins::WriteHandOffAnswer({Para[0], Para[1]}, &reason))
        return true;
    // The operator's confirm must not vanish: the form stays open and can be confirmed again.
    platform::ui().messageBox(QStringLiteral("設定データを業務設定に戻せませんでした。\r\n") + reason,
                              windowTitle(), formkit::stopStyle());
    return false;
}

QString TMainForm::itemNameOf(BarRole role) const
{
    switch (role) {
    case BarRole::DataKind:
        return DKNameSE->text();
    case BarRole::Source:
        return MKNameSE->text();
    case BarRole::Target:
        return SK1NameSE->text();
    }
    return {};
}

TBarDat &TMainForm::barOf(BarRole role)
{
    switch (role) {
    case BarRole::Source:
        return MKBarDat;
    case BarRole::Target:
        return CKBarDat;
    case BarRole::DataKind:
        break;
    }
    return DKBarDat;
}

void TMainForm::openBarDialog(char type)
{
    SetBarType = type;
    TSetBarCodeForm dialog(*this, BarRole(type), this);
    platform::ui().showModal(dialog);
}

void TMainForm::MarkChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
}

} // namespace tessary
