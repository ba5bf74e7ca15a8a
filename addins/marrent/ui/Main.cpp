#include "Main.h"

#include "SetBarCode.h"
#include "addins/frame/ByteText.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/FerPrgLib.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/UiService.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

namespace {

TNEdit *digits(const char *name, int maxDigits, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(maxDigits);
    edit->setMaximumWidth(60);
    return edit;
}

// A numeric edit's value; 0 when it holds none.
int value(const QLineEdit *edit)
{
    bool ok = false;
    const int v = edit->text().toInt(&ok);
    return ok ? v : 0;
}

void setValue(QLineEdit *edit, int v)
{
    edit->setText(QString::number(v));
}

QHBoxLayout *row(QWidget *parent, std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    Q_UNUSED(parent);
    return layout;
}

// The field lengths stand under one heading; read aloud, each needs it before its own caption.
void nameFieldLength(QWidget *edit, const QLabel *caption)
{
    caption::name(edit, QStringLiteral("フィールド長 ") + caption->text());
}

const char *const PreviewLineNames[] = {"Title",    "DpName",       "DpData",  "SCCaption", "SCData",
                                        "Quantity", "SNameCaption", "SName1",  "SName2",    "CountCaption",
                                        "Remain",   "Count",        "M1Label", "M2Label",   "M2Caption"};

} // namespace

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
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *control = qobject_cast<QWidget *>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && control && enterChain_.contains(control)) {
            // Enter never reaches the field itself: it only moves on, or does nothing.
            if (QWidget *next = EnterNext(control))
                next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return TAddInMainForm::eventFilter(watched, event);
}

QWidget *TMainForm::EnterNext(QWidget *control) const
{
    // A control that cannot take the focus (disabled for a date type, or hidden) ends the chain
    // there rather than passing the focus somewhere the operator did not expect.
    const auto ready = [](QWidget *next) { return next->isVisible() && next->isEnabled() ? next : nullptr; };
    if (control == DKNameSE)
        return DKNameSE->text().isEmpty() ? nullptr : ready(DKTypeCB);
    if (control == DKTypeCB)
        return ready(DKFontCB);
    if (control == DKFontCB)
        return ready(DKMaxNE);
    if (control == DKMaxNE)
        return ready(DKMinNE);
    if (control == DKMinNE)
        return ready(DKBarChk);
    if (control == DKBarChk)
        return ready(DKBarBtn) ? DKBarBtn : ready(DKMstChk);
    if (control == DKMstChk)
        return DKMstPanel->isVisible() ? ready(DKMstFileSE) : nullptr;
    if (control == DKMstFileSE)
        return ready(DKMstFieldSE);
    if (control == DpBarChk)
        return ready(DpBarBtn);
    if (control == SendFileSE)
        return SendFileSE->text().isEmpty() ? nullptr : ready(SendFieldsCB);
    if (control == SendFieldsCB)
        return ready(SendFTypeCB);
    return nullptr;
}

QWidget *TMainForm::buildModeSheet()
{
    auto *page = named(new QWidget, "ModeSheet");
    auto *mode = named(new QGroupBox(QStringLiteral("動作モード"), page), "ModeRG");
    ModeInspect = named(new QRadioButton(QStringLiteral("検品"), mode), "ModeInspect");
    ModePicking = named(new QRadioButton(QStringLiteral("ピッキング"), mode), "ModePicking");
    ModeInspect->setChecked(true);
    auto *modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(ModeInspect, 0, Qt::AlignLeft);
    modeLayout->addWidget(ModePicking, 0, Qt::AlignLeft);
    RemoteChk =
        named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙをﾘﾓｰﾄ受信（Quenbrix.exeから受信）"), page), "RemoteChk");
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(mode);
    layout->addWidget(RemoteChk, 0, Qt::AlignLeft);
    layout->addStretch();
    connect(ModeInspect, &QRadioButton::clicked, this, &TMainForm::ModeRGClick);
    connect(ModePicking, &QRadioButton::clicked, this, &TMainForm::ModeRGClick);
    connect(RemoteChk, &QCheckBox::clicked, this, &TMainForm::Mark);
    return page;
}

QWidget *TMainForm::buildDKubunSheet()
{
    auto *page = named(new QWidget, "DKubunSheet");
    DKKubunChk = named(new QCheckBox(QStringLiteral("データ区分を使用する"), page), "DKKubunChk");
    DKGroup = named(new QGroupBox(page), "DKGroup");
    DKNameSE = named(new TByteEdit(DKGroup), "DKNameSE");
    DKNameSE->setMaxBytes(16);
    DKTypeCB = named(new TListCombo(DKGroup), "DKTypeCB");
    DKTypeCB->addItems(marrent::DaTypeItems());
    DKFontCB = named(new TListCombo(DKGroup), "DKFontCB");
    DKFontCB->addItems({QStringLiteral("標準"), QStringLiteral("横倍")});
    DKMaxNE = digits("DKMaxNE", 2, DKGroup);
    DKMinNE = digits("DKMinNE", 2, DKGroup);
    setValue(DKMaxNE, 1);
    setValue(DKMinNE, 1);
    DKBarChk = named(new QCheckBox(QStringLiteral("バーコード使用"), DKGroup), "DKBarChk");
    DKBarBtn = formkit::button("DKBarBtn", QStringLiteral("バーコード設定"), DKGroup);
    DKBarBtn->setEnabled(false);
    DKMstChk = named(new QCheckBox(QStringLiteral("表示マスターを使用する"), DKGroup), "DKMstChk");
    DKMstPanel = named(new QWidget(DKGroup), "DKMstPanel");
    DKMstFileSE = named(new TFileNameEdit(true, DKMstPanel), "DKMstFileSE");
    DKMstFieldSE = named(new TByteEdit(DKMstPanel), "DKMstFieldSE");
    DKMstFieldSE->setMaxBytes(10);
    DKMstFieldSE->setKeyFilter(addins::FieldListKey);
    DKMstErrChk = named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀにない場合ｴﾗｰ"), DKMstPanel), "DKMstErrChk");
    auto *mst = new QGridLayout(DKMstPanel);
    mst->addWidget(caption::label(QStringLiteral("マスターファイル名"), DKMstFileSE, DKMstPanel), 0, 0);
    mst->addWidget(DKMstFileSE, 0, 1);
    mst->addWidget(caption::label(QStringLiteral("フィールド情報"), DKMstFieldSE, DKMstPanel), 1, 0);
    mst->addWidget(DKMstFieldSE, 1, 1);
    mst->addWidget(DKMstErrChk, 2, 0, 1, 2, Qt::AlignLeft);
    DKMstPanel->setVisible(false);

    auto *grid = new QGridLayout(DKGroup);
    grid->addWidget(caption::label(QStringLiteral("項目名"), DKNameSE, DKGroup), 0, 0);
    grid->addWidget(DKNameSE, 0, 1);
    grid->addWidget(caption::label(QStringLiteral("データタイプ"), DKTypeCB, DKGroup), 1, 0);
    grid->addWidget(DKTypeCB, 1, 1);
    grid->addWidget(caption::label(QStringLiteral("表示フォント"), DKFontCB, DKGroup), 2, 0);
    grid->addWidget(DKFontCB, 2, 1);
    grid->addWidget(caption::label(QStringLiteral("入力最大桁数"), DKMaxNE, DKGroup), 3, 0);
    grid->addLayout(
        row(DKGroup, {DKMaxNE, caption::label(QStringLiteral("入力最小桁数"), DKMinNE, DKGroup), DKMinNE}), 3,
        1);
    grid->addLayout(row(DKGroup, {DKBarChk, DKBarBtn}), 4, 0, 1, 2);
    grid->addWidget(DKMstChk, 5, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(DKMstPanel, 6, 0, 1, 2);
    DKGroup->setVisible(false);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(DKKubunChk, 0, Qt::AlignLeft);
    layout->addWidget(DKGroup);
    layout->addStretch();

    connect(DKKubunChk, &QCheckBox::clicked, this, &TMainForm::DKKubunChkClick);
    connect(DKTypeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(DKFontCB, &QComboBox::activated, this, &TMainForm::DKFontCBChange);
    connect(DKNameSE, &QLineEdit::textEdited, this, &TMainForm::Mark);
    connect(DKMstFieldSE, &QLineEdit::textEdited, this, &TMainForm::Mark);
    connect(DKMaxNE, &QLineEdit::textEdited, this, &TMainForm::NEditChange);
    connect(DKMinNE, &QLineEdit::textEdited, this, &TMainForm::NEditChange);
    connect(DKBarChk, &QCheckBox::clicked, this, &TMainForm::DKBarChkClick);
    connect(DKBarBtn, &QPushButton::clicked, this, &TMainForm::BarBtnClick);
    connect(DKMstChk, &QCheckBox::clicked, this, &TMainForm::DKMstChkClick);
    connect(DKMstFileSE, &TFileNameEdit::Changed, this, &TMainForm::Mark);
    connect(DKMstErrChk, &QCheckBox::clicked, this, &TMainForm::Mark);
    return page;
}

QWidget *TMainForm::buildDenpyouSheet()
{
    auto *page = named(new QWidget, "DenpyouSheet");
    DpKubunChk = named(new QCheckBox(QStringLiteral("伝票区分を使用する"), page), "DpKubunChk");
    DpGroup = named(new QGroupBox(page), "DpGroup");
    DpNameSE = named(new TByteEdit(DpGroup), "DpNameSE");
    DpNameSE->setMaxBytes(16);
    DpBarChk = named(new QCheckBox(QStringLiteral("バーコード使用"), DpGroup), "DpBarChk");
    DpBarBtn = formkit::button("DpBarBtn", QStringLiteral("バーコード設定"), DpGroup);
    DpBarBtn->setEnabled(false);
    auto *grid = new QGridLayout(DpGroup);
    grid->addWidget(caption::label(QStringLiteral("項目名"), DpNameSE, DpGroup), 0, 0);
    grid->addWidget(DpNameSE, 0, 1);
    grid->addLayout(row(DpGroup, {DpBarChk, DpBarBtn}), 1, 0, 1, 2);
    DpGroup->setVisible(false);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(DpKubunChk, 0, Qt::AlignLeft);
    layout->addWidget(DpGroup);
    layout->addStretch();
    connect(DpKubunChk, &QCheckBox::clicked, this, &TMainForm::DpKubunChkClick);
    connect(DpNameSE, &QLineEdit::textEdited, this, &TMainForm::Mark);
    connect(DpBarChk, &QCheckBox::clicked, this, &TMainForm::DpBarChkClick);
    connect(DpBarBtn, &QPushButton::clicked, this, &TMainForm::BarBtnClick);
    return page;
}

QWidget *TMainForm::buildPKMstSheet()
{
    auto *page = named(new QWidget, "PKMstSheet");
    PKMstGroup = named(new QGroupBox(QStringLiteral("検品マスターファイル"), page), "PKMstGroup");
    PKMstFileNameSE = named(new TFileNameEdit(false, PKMstGroup), "PKMstFileNameSE");
    DpLenPanel = named(new QWidget(PKMstGroup), "DpLenPanel");
    DpLenLabel = new QLabel(QStringLiteral("伝票区分"), DpLenPanel);
    DpLenNE = digits("DpLenNE", 2, DpLenPanel);
    auto *dp = new QHBoxLayout(DpLenPanel);
    dp->setContentsMargins(0, 0, 0, 0);
    dp->addWidget(DpLenLabel);
    dp->addWidget(DpLenNE);
    dp->addWidget(new QLabel(QStringLiteral("バイト"), DpLenPanel));
    dp->addStretch();
    SCLenNE = digits("SCLenNE", 2, PKMstGroup);
    SNameLenNE = digits("SNameLenNE", 2, PKMstGroup);
    PKCountLabel = new QLabel(QStringLiteral("検品数"), PKMstGroup);
    PKCountLenNE = digits("PKCountLenNE", 1, PKMstGroup);
    auto *scLenLabel = caption::label(QStringLiteral("商品コード"), SCLenNE, PKMstGroup);
    auto *sNameLenLabel = caption::label(QStringLiteral("商品情報"), SNameLenNE, PKMstGroup);
    caption::link(DpLenLabel, DpLenNE);
    caption::link(PKCountLabel, PKCountLenNE);
    nameFieldLength(DpLenNE, DpLenLabel);
    nameFieldLength(SCLenNE, scLenLabel);
    nameFieldLength(SNameLenNE, sNameLenLabel);
    nameFieldLength(PKCountLenNE, PKCountLabel);
    auto *grid = new QGridLayout(PKMstGroup);
    grid->addWidget(caption::label(QStringLiteral("ファイル名"), PKMstFileNameSE, PKMstGroup), 0, 0);
    grid->addWidget(PKMstFileNameSE, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("フィールド長"), PKMstGroup), 1, 0);
    grid->addWidget(DpLenPanel, 2, 0, 1, 2);
    grid->addWidget(scLenLabel, 3, 0);
    grid->addWidget(SCLenNE, 3, 1);
    grid->addWidget(sNameLenLabel, 4, 0);
    grid->addWidget(SNameLenNE, 4, 1);
    grid->addWidget(PKCountLabel, 5, 0);
    grid->addWidget(PKCountLenNE, 5, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(PKMstGroup);
    layout->addStretch();
    connect(PKMstFileNameSE, &TFileNameEdit::Changed, this, &TMainForm::Mark);
    for (TNEdit *edit : {DpLenNE, SCLenNE, SNameLenNE, PKCountLenNE})
        connect(edit, &QLineEdit::textEdited, this, &TMainForm::NEditChange);
    return page;
}

QFrame *TMainForm::buildPreviewPanel(const char *name, const char *prefix)
{
    auto *panel = named(new QFrame, name);
    panel->setFrameShape(QFrame::Box);
    panel->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: #c8d8b0; } QLabel { font-family: monospace; }")
            .arg(QString::fromLatin1(name)));
    auto *layout = new QVBoxLayout(panel);
    layout->setSpacing(1);
    const int key = name[3] == '5' ? 500 : name[3] == '6' ? 600 : 900;
    for (const char *line : PreviewLineNames) {
        auto *label = new QLabel(panel);
        label->setObjectName(
            QStringLiteral("%1%2Label").arg(QString::fromLatin1(prefix), QString::fromLatin1(line)));
        layout->addWidget(label);
        previewLabels_[key][QString::fromLatin1(line)] = label;
    }
    layout->addStretch();
    return panel;
}

QWidget *TMainForm::buildGamenSheet()
{
    auto *page = named(new QWidget, "GamenSheet");
    SCBarBtn = formkit::button("SCBarBtn", QStringLiteral("商品コード バーコード設定"), page);
    InpCountChk = named(new QCheckBox(QStringLiteral("数量入力"), page), "InpCountChk");
    InpCountGroup = named(new QGroupBox(page), "InpCountGroup");
    InpCountNE = digits("InpCountNE", 2, InpCountGroup);
    auto *inp = new QHBoxLayout(InpCountGroup);
    inp->addWidget(caption::label(QStringLiteral("入力桁数"), InpCountNE, InpCountGroup));
    inp->addWidget(InpCountNE);
    inp->addStretch();
    setValue(InpCountNE, 1);
    InpCountGroup->setVisible(false);
    BHT500Panel = buildPreviewPanel("BHT500Panel", "B500");
    BHT600Panel = buildPreviewPanel("BHT600Panel", "B600");
    BHT900Panel = buildPreviewPanel("BHT900Panel", "B900");
    auto *left = new QVBoxLayout;
    left->addWidget(SCBarBtn);
    left->addWidget(InpCountChk, 0, Qt::AlignLeft);
    left->addWidget(InpCountGroup);
    left->addStretch();
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addWidget(BHT500Panel);
    layout->addWidget(BHT600Panel);
    layout->addWidget(BHT900Panel);
    connect(SCBarBtn, &QPushButton::clicked, this, &TMainForm::BarBtnClick);
    connect(InpCountChk, &QCheckBox::clicked, this, &TMainForm::InpCountChkClick);
    connect(InpCountNE, &QLineEdit::textEdited, this, &TMainForm::InpCountNEChange);
    return page;
}

QWidget *TMainForm::buildSendFSheet()
{
    auto *page = named(new QWidget, "SendFSheet");
    SendFileChk = named(new QCheckBox(QStringLiteral("処理結果を送信する"), page), "SendFileChk");
    SendGroup = named(new QGroupBox(page), "SendGroup");
    SendFileSE = named(new TFileNameEdit(true, SendGroup), "SendFileSE");
    SendFieldsCB = named(new TListCombo(SendGroup), "SendFieldsCB");
    for (int i = 1; i <= marrent::ResultFieldCount; ++i)
        SendFieldsCB->addItem(QString::number(i));
    SendFTypeCB = named(new TListCombo(SendGroup), "SendFTypeCB");
    SendFTypeCB->addItems({QStringLiteral("終了情報"), QStringLiteral("処理明細")});
    SFieldsSB = named(new QWidget(SendGroup), "SFieldsSB");
    auto *rows = new QVBoxLayout(SFieldsSB);
    rows->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < marrent::ResultFieldCount; ++i) {
        fieldRows[std::size_t(i)] = new QWidget(SFieldsSB);
        auto *line = new QHBoxLayout(fieldRows[std::size_t(i)]);
        line->setContentsMargins(0, 0, 0, 0);
        pSField[std::size_t(i)] = new TListCombo(fieldRows[std::size_t(i)]);
        pSField[std::size_t(i)]->setObjectName(QStringLiteral("SField%1CB").arg(i + 1));
        pSField[std::size_t(i)]->setMinimumWidth(220);
        pFCount[std::size_t(i)] = new QLabel(fieldRows[std::size_t(i)]);
        pFCount[std::size_t(i)]->setObjectName(QStringLiteral("SFieldLabel%1").arg(i + 1));
        line->addWidget(new QLabel(QString::number(i + 1), fieldRows[std::size_t(i)]));
        // The row's number is not linked as its caption: a list announces its label, and a bare
        // number says little read aloud. The field count above names what the rows are.
        caption::name(pSField[std::size_t(i)], QStringLiteral("フィールド%1").arg(i + 1));
        line->addWidget(pSField[std::size_t(i)]);
        line->addWidget(pFCount[std::size_t(i)]);
        line->addStretch();
        rows->addWidget(fieldRows[std::size_t(i)]);
        connect(pSField[std::size_t(i)], &QComboBox::activated, this, &TMainForm::SFieldCBChange);
    }
    SendDelCB = named(new TListCombo(SendGroup), "SendDelCB");
    SendDelCB->addItems(
        {QStringLiteral("消去しない"), QStringLiteral("確認画面表示"), QStringLiteral("消去する")});
    SendDelCB->setCurrentIndex(2);
    auto *grid = new QGridLayout(SendGroup);
    grid->addWidget(caption::label(QStringLiteral("ファイル名"), SendFileSE, SendGroup), 0, 0);
    grid->addWidget(SendFileSE, 0, 1);
    grid->addWidget(caption::label(QStringLiteral("フィールド数"), SendFieldsCB, SendGroup), 1, 0);
    grid->addWidget(SendFieldsCB, 1, 1);
    grid->addWidget(caption::label(QStringLiteral("データタイプ"), SendFTypeCB, SendGroup), 2, 0);
    grid->addWidget(SendFTypeCB, 2, 1);
    grid->addWidget(SFieldsSB, 3, 0, 1, 2);
    SendGroup->setVisible(false);
    auto *del = new QHBoxLayout;
    del->addWidget(caption::label(QStringLiteral("送信完了後のデータ消去"), SendDelCB, page));
    del->addWidget(SendDelCB);
    del->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(SendFileChk, 0, Qt::AlignLeft);
    layout->addWidget(SendGroup);
    layout->addLayout(del);
    layout->addStretch();
    connect(SendFileChk, &QCheckBox::clicked, this, &TMainForm::SendFileChkClick);
    connect(SendFileSE, &TFileNameEdit::Changed, this, &TMainForm::Mark);
    connect(SendFieldsCB, &QComboBox::activated, this, &TMainForm::SendFieldsCBChange);
    connect(SendFTypeCB, &QComboBox::activated, this, &TMainForm::SendFTypeCBChange);
    connect(SendDelCB, &QComboBox::activated, this, &TMainForm::Mark);
    return page;
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

void TMainForm::SetPKDsp()
{
    const bool picking = ModePicking->isChecked();
    TreeView1->topLevelItem(3)->setText(0, picking ? QStringLiteral("ピッキングマスター")
                                                   : QStringLiteral("検品マスター"));
    TreeView1->topLevelItem(4)->setText(0, picking ? QStringLiteral("ピッキング画面")
                                                   : QStringLiteral("検品画面"));
    PKMstGroup->setTitle(picking ? QStringLiteral("ピッキングマスターファイル")
                                 : QStringLiteral("検品マスターファイル"));
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

void TMainForm::DspDKubun()
{
    DKGroup->setVisible(DKKubunChk->isChecked());
    if (!DKKubunChk->isChecked())
        return;
    DKNameSE->setBoundedText(CutToBytes(DKNameSE->text(), load_.limits.NameMax));
    const int type = DKTypeCB->currentIndex();
    const int fixed = marrent::DaTypeFixedDigits(type);
    DKMaxNE->setEnabled(fixed == 0);
    DKMinNE->setEnabled(fixed == 0);
    if (fixed > 0) {
        setValue(DKMaxNE, fixed);
        setValue(DKMinNE, fixed);
    } else if (!DKMaxNE->text().isEmpty() && !DKMinNE->text().isEmpty()) {
        const int max = std::max(value(DKMaxNE), 1);
        setValue(DKMaxNE, max);
        setValue(DKMinNE, std::min(std::max(value(DKMinNE), 1), max));
    }
    // A date or time type has neither barcode nor display master; the boxes keep their ticks.
    DKBarChk->setVisible(fixed == 0);
    DKBarBtn->setVisible(fixed == 0);
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    DKMstChk->setVisible(fixed == 0);
    DKMstPanel->setVisible(fixed == 0 && DKMstChk->isChecked());
}

void TMainForm::DspPKMst()
{
    DpLenPanel->setVisible(DpKubunChk->isChecked());
    const QString name = DpNameSE->text();
    DpLenLabel->setText(name.isEmpty() ? QStringLiteral("伝票区分") : name);
    PKCountLabel->setText(ModePicking->isChecked() ? QStringLiteral("ピッキング数")
                                                   : QStringLiteral("検品数"));
    nameFieldLength(DpLenNE, DpLenLabel);
    nameFieldLength(PKCountLenNE, PKCountLabel);
}

void TMainForm::DspBhtGamen()
{
    InpCountGroup->setVisible(InpCountChk->isChecked());
    const marrent::PreviewScreen screen = marrent::BuildPreview(settings(), load_.limits, load_.GyName);
    for (QLabel *label : previewLabels_[screen.panel])
        label->setVisible(false);
    for (const marrent::PreviewLine &line : screen.lines) {
        if (QLabel *label = previewLabels_[screen.panel].value(line.name)) {
            label->setText(line.text);
            label->setVisible(true);
        }
    }
}

void TMainForm::SetSendField()
{
    MarrentSettings s = settings();
    marrent::SetSendField(s);
    SendDat_ = s.SendDat;
    showSendFields();
}

void TMainForm::showSendFields()
{
    const MarrentSettings s = settings();
    const QStringList names = marrent::GetSDefStr(s, marrent::GetSendFDef(s, s.SendFType));
    for (int i = 0; i < marrent::ResultFieldCount; ++i) {
        TListCombo *list = pSField[std::size_t(i)];
        list->clear();
        list->addItems(names);
        list->setCurrentIndex(marrent::SendFieldListIndex(s, i));
        pFCount[std::size_t(i)]->setText(QString::number(SendDat_[std::size_t(i)].length));
    }
    showFieldRows();
}

void TMainForm::showFieldRows()
{
    for (int i = 0; i < marrent::ResultFieldCount; ++i)
        fieldRows[std::size_t(i)]->setVisible(i <= SendFieldsCB->currentIndex());
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

void TMainForm::ModeRGClick()
{
    ChangeFlag = true;
    SetPKDsp();
}

void TMainForm::DKKubunChkClick()
{
    if (SetFlag)
        return;
    DKGroup->setVisible(DKKubunChk->isChecked());
    ChangeFlag = true;
    DspPage();
}

void TMainForm::DKTypeCBChange()
{
    if (SetFlag)
        return;
    DspPage();
    ChangeFlag = true;
}

void TMainForm::DKFontCBChange()
{
    // The digits a key may make depend on the font.
    const int limit = DKFontCB->currentIndex() == 1 ? load_.limits.DKMaxWide : load_.limits.DKMaxStd;
    DKMaxNE->SetMaxValue(limit > 0 ? limit : 99);
    DKMinNE->SetMaxValue(limit > 0 ? limit : 99);
    Mark();
}

void TMainForm::NEditChange()
{
    if (SetFlag)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(sender()); edit && edit->text() == QStringLiteral("0"))
        edit->clear();
    ChangeFlag = true;
}

void TMainForm::DKBarChkClick()
{
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DKMstChkClick()
{
    DKMstPanel->setVisible(DKMstChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DpKubunChkClick()
{
    DpGroup->setVisible(DpKubunChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DpBarChkClick()
{
    DpBarBtn->setEnabled(DpBarChk->isChecked());
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

void TMainForm::InpCountChkClick()
{
    ChangeFlag = true;
    DspBhtGamen();
}

void TMainForm::InpCountNEChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    if (InpCountNE->text() == QStringLiteral("0"))
        InpCountNE->clear();
    const int count = std::max(value(PKCountLenNE), 1);
    if (!InpCountNE->text().isEmpty() && value(InpCountNE) > count)
        setValue(InpCountNE, count);
    DspPage();
}

void TMainForm::SendFileChkClick()
{
    if (SetFlag)
        return;
    if (SendFileChk->isChecked()) {
        const formkit::LoadingGuard guard(SetFlag);
        SetSendField();
    }
    SendGroup->setVisible(SendFileChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::SendFieldsCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    showFieldRows();
}

void TMainForm::SendFTypeCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    const formkit::LoadingGuard guard(SetFlag);
    SetSendField();
}

void TMainForm::SFieldCBChange()
{
    if (SetFlag)
        return;
    for (int i = 0; i < marrent::ResultFieldCount; ++i) {
        if (sender() != pSField[std::size_t(i)])
            continue;
        MarrentSettings s = settings();
        marrent::ChooseSendField(s, i, pSField[std::size_t(i)]->currentIndex());
        SendDat_ = s.SendDat;
        pFCount[std::size_t(i)]->setText(QString::number(SendDat_[std::size_t(i)].length));
    }
    ChangeFlag = true;
}
