// Quillon's main form: its construction, the settings it loads, checks and saves, the page
// refresh, and the handlers the pages share.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "SetBz.h"
#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/frame/ui/ReturnMoves.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QStackedWidget>
#include <QTreeWidget>

using namespace quillon;
using formkit::named;

namespace {

// NEditEnter: entering the edit puts the caret at the end of its text rather than selecting it,
// so a typed digit adds to the value instead of replacing it. A click still places the caret
// where it lands (the press comes after the focus).
class NEditEnter final : public QObject {
public:
    using QObject::QObject;

    static void install(TNEdit *edit)
    {
        edit->SetAutoSelect(false);
        edit->installEventFilter(new NEditEnter(edit));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            static_cast<QLineEdit *>(watched)->end(false);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : TAddInMainForm({QStringLiteral("データ区分"), QStringLiteral("照合条件"), QStringLiteral("データ保存")},

                     QStringLiteral("更新"), parent)
{
    setObjectName(QStringLiteral("MainForm"));
    returnMoves_ = new ReturnMoves(this);
    addPage(buildDataKindPage());
    addPage(buildCollationPage());
    addPage(buildSavePage());
    PageControl1->widget(0)->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->widget(1)->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->widget(2)->setObjectName(QStringLiteral("TabSheet3"));
    buildReturnMoves();
    NEditEnter::install(DKMinNE);
    NEditEnter::install(KKMinNE);
    for (int k = 0; k < SaveRowCount; ++k) {
        NEditEnter::install(pSFTopNE[std::size_t(k)]);
        NEditEnter::install(pSFLenNE[std::size_t(k)]);
    }
    resize(760, 560);
}

TFileNameEdit *TMainForm::fileEdit(const char *name)
{
    auto *edit = named(new TFileNameEdit, name);
    edit->setFixedWidth(120);
    connect(edit, &TFileNameEdit::Changed, this, [this] { ChangeFlag = true; });
    return edit;
}

bool TMainForm::LoadPara()
{
    const LoadOutcome loaded = LoadQuillon(addins::ReadHandOff(QuillonReadRules()));
    BhtType = loaded.model;
    setWindowTitle(loaded.caption);
    if (!loaded.supported) {
        platform::ui().messageBox(loaded.refusal, QStringLiteral("設定エラー"), formkit::inputErrorStyle());
        DataErr = true;
        return false;
    }
    limits = loaded.limits;
    applyLimits();
    showSettings(loaded.settings);
    return true;
}

void TMainForm::applyLimits()
{
    for (TByteEdit *name : {DKNameSE, KKNameSE, SKNameSE})
        name->setMaxBytes(limits.NameMax);
    for (TNEdit *digits : {DKMaxNE, DKMinNE, KKMaxNE, KKMinNE}) {
        digits->SetMaxDegits(limits.PosMaxDegits);
        digits->SetMaxValue(limits.DKMaxStd);
    }
    for (int k = 0; k < SaveRowCount; ++k) {
        pSFTopNE[std::size_t(k)]->SetMaxDegits(limits.PosMaxDegits);
        pSFLenNE[std::size_t(k)]->SetMaxDegits(limits.PosMaxDegits);
    }
}

void TMainForm::showSettings(const QuillonSettings &s)
{
    formkit::LoadingGuard loading(SetFlag);
    DKubunChk->setChecked(s.DKubunChk);
    DKNameSE->setBoundedText(s.DKNameSE);
    DKTypeCB->setCurrentIndex(s.DKTypeCB);
    DKFontCB->setCurrentIndex(s.DKFontCB);
    const int limit = DisplayLimit(s, limits);
    DKMaxNE->SetMaxValue(limit);
    DKMinNE->SetMaxValue(limit);
    DKMaxNE->setText(s.DKMaxNE);
    DKMinNE->setText(s.DKMinNE);
    DKBarChk->setChecked(s.DKBarChk);
    DKBarDat = s.DKBarDat;
    DKMstUseChk->setChecked(s.DKMstUseChk);
    DKMstFileSE->setFileName(s.DKMstFileSE);
    DKMstErrChk->setChecked(s.DKMstErrChk);

    KKNameSE->setBoundedText(s.KKNameSE);
    KKMaxNE->setText(s.KKMaxNE);
    KKMinNE->setText(s.KKMinNE);
    KKBarDat = s.KKBarDat;
    KKMstFileSE->setFileName(s.KKMstFileSE);
    SKNameSE->setBoundedText(s.SKNameSE);
    CmpModeCB->setCurrentIndex(s.CmpModeCB);
    SKBarDat = s.SKBarDat;
    SKMstUseChk->setChecked(s.SKMstUseChk);
    SKMstFilePanel->setVisible(s.SKMstUseChk);
    SKMstFileSE->setFileName(s.SKMstFileSE);
    OkDspTimeNE->setText(s.OkDspTimeNE);
    NgDspTimeNE->setText(s.NgDspTimeNE);
    OkBz = s.OkBz;
    NgBz = s.NgBz;

    DSaveChk->setChecked(s.DSaveChk);
    DSaveGB->setVisible(s.DSaveChk);
    SaveFileSE->setFileName(s.SaveFileSE);
    SaveFieldsCB->setCurrentIndex(s.SaveFieldsCB);
    SaveTypeCB->setCurrentIndex(s.SaveTypeCB);
    SaveDat = s.SaveDat;
    // The checks read the rows' edits, so they are filled now, not only when the page is shown.
    refreshSavePage();
}

QuillonSettings TMainForm::settings() const
{
    QuillonSettings s;
    s.DKubunChk = DKubunChk->isChecked();
    s.DKNameSE = DKNameSE->text();
    s.DKTypeCB = DKTypeCB->currentIndex();
    s.DKFontCB = DKFontCB->currentIndex();
    s.DKMaxNE = DKMaxNE->text();
    s.DKMinNE = DKMinNE->text();
    s.DKBarChk = DKBarChk->isChecked();
    s.DKBarDat = DKBarDat;
    s.DKMstUseChk = DKMstUseChk->isChecked();
    s.DKMstFileSE = DKMstFileSE->text();
    s.DKMstErrChk = DKMstErrChk->isChecked();
    s.KKNameSE = KKNameSE->text();
    s.KKMaxNE = KKMaxNE->text();
    s.KKMinNE = KKMinNE->text();
    s.KKBarDat = KKBarDat;
    s.KKMstFileSE = KKMstFileSE->text();
    s.SKNameSE = SKNameSE->text();
    s.CmpModeCB = CmpModeCB->currentIndex();
    s.SKBarDat = SKBarDat;
    s.SKMstUseChk = SKMstUseChk->isChecked();
    s.SKMstFileSE = SKMstFileSE->text();
    s.OkDspTimeNE = OkDspTimeNE->text();
    s.NgDspTimeNE = NgDspTimeNE->text();
    s.OkBz = OkBz;
    s.NgBz = NgBz;
    s.DSaveChk = DSaveChk->isChecked();
    s.SaveFileSE = SaveFileSE->text();
    s.SaveFieldsCB = SaveFieldsCB->currentIndex();
    s.SaveTypeCB = SaveTypeCB->currentIndex();
    s.SaveDat = SaveDat;
    for (int k = 0; k < SaveRowCount; ++k)
        s.SaveEdits[std::size_t(k)] = {pSFTopNE[std::size_t(k)]->text(), pSFLenNE[std::size_t(k)]->text()};
    return s;
}

bool TMainForm::CheckData()
{
    const CheckFailure failure = quillon::CheckData(settings(), limits);
    if (DSaveChk->isChecked())
        SaveDatDef = GetSaveDef(DKubunChk->isChecked());
    if (failure.passed())
        return true;
    ShowCheckError(failure.page - 1, findChild<QWidget *>(failure.focus), failure.message);
    return false;
}

bool TMainForm::SavePara()
{
    QuillonSettings s = settings();
    const QByteArray para0 = BuildPara0(s);
    const QByteArray para1 = BuildPara1(s, limits);
    SaveDat = s.SaveDat;
    QString error;
    if (!addins::WriteHandOffAnswer({para0, para1}, &error)) {
        platform::ui().messageBox(QStringLiteral("設定を引き渡せませんでした。\r\n%1").arg(error),
                                  closeQueryCaption(), formkit::stopStyle());
        return false;
    }
    ChangeFlag = false;
    return true;
}

void TMainForm::showEvent(QShowEvent *event)
{
    TAddInMainForm::showEvent(event);
    TreeView1->setFocus();
}

void TMainForm::DspPage()
{
    formkit::LoadingGuard loading(SetFlag);
    switch (PageControl1->currentIndex()) {
    case 0: {
        DKubunGB->setVisible(DKubunChk->isChecked());
        if (!DKubunChk->isChecked())
            break;
        applyDataTypeRule();
        if (FixedDigits(settings()) == 0 && !DKMaxNE->text().isEmpty() && !DKMinNE->text().isEmpty()) {
            const int limit = DisplayLimit(settings(), limits);
            const auto held = [limit](const QString &text) {
                return int(std::clamp<qint64>(NumberOf(text).value_or(1), 1, limit));
            };
            const int max = held(DKMaxNE->text());
            const int min = held(DKMinNE->text());
            DKMaxNE->setText(QString::number(max));
            DKMinNE->setText(QString::number(std::min(max, min)));
        }
        break;
    }
    case 2:
        refreshSavePage();
        break;
    default:
        break;
    }
}

void TMainForm::NESEChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
}

void TMainForm::NEChange()
{
    if (SetFlag)
        return;
    auto *edit = qobject_cast<TNEdit *>(sender());
    if (edit && edit->text() == QStringLiteral("0"))
        edit->setText(QString());
    ChangeFlag = true;
}

void TMainForm::MinNEChange(TNEdit *min, TNEdit *max)
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    if (min->text() == QStringLiteral("0"))
        min->setText(QString());
    const std::optional<qint64> minValue = NumberOf(min->text());
    const std::optional<qint64> maxValue = NumberOf(max->text());
    // Without a maximum there is nothing to raise; the check asks for it.
    if (minValue && maxValue && *maxValue < *minValue) {
        formkit::LoadingGuard loading(SetFlag);
        max->setText(min->text());
    }
}

void TMainForm::openBarDialog(QChar type)
{
    SetBarType = type;
    TBarDat &bar = type == u'D' ? DKBarDat : type == u'K' ? KKBarDat : SKBarDat;
    const TByteEdit *name = type == u'D' ? DKNameSE : type == u'K' ? KKNameSE : SKNameSE;
    TSetBarCodeForm dialog(bar, ChangeFlag, limits, BhtType, name->text(), this);
    platform::ui().showModal(dialog);
}
