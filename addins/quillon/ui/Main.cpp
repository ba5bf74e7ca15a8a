#include "Main.h"

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
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace quillon;
using formkit::named;

namespace {

TNEdit *numberEdit(const char *name, int digits, int maxValue, const QString &text)
{
    auto *edit = named(new TNEdit, name);
    edit->SetMaxDegits(digits);
    edit->SetMaxValue(maxValue);
    edit->setText(text);
    edit->setFixedWidth(60);
    return edit;
}

QCheckBox *checkBox(const char *name, const QString &caption)
{
    return named(new QCheckBox(caption), name);
}

QWidget *row(std::initializer_list<QWidget *> widgets)
{
    auto *panel = new QWidget;
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return panel;
}

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

QWidget *TMainForm::buildDataKindPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    DKubunChk = checkBox("DKubunChk", QStringLiteral("データ区分を使用する"));
    DKubunGB = named(new QGroupBox, "DKubunGB");
    layout->addWidget(DKubunChk);
    layout->addWidget(DKubunGB);
    layout->addStretch();

    auto *form = new QFormLayout(DKubunGB);
    DKNameSE = named(new TByteEdit, "DKNameSE");
    DKNameSE->setFixedWidth(200);
    DKTypeCB = named(new TListCombo, "DKTypeCB");
    for (const addins::DataTypeInfo &info : addins::DataTypeTable())
        DKTypeCB->addItem(info.caption);
    DKFontCB = named(new TListCombo, "DKFontCB");
    DKFontCB->addItems({QStringLiteral("標準"), QStringLiteral("横倍")});
    DKMaxNE = numberEdit("DKMaxNE", 4, 180, QStringLiteral("20"));
    DKMinNE = numberEdit("DKMinNE", 4, 180, QStringLiteral("1"));
    DKMaxMinPanel = named(row({caption::label(QStringLiteral("最大"), DKMaxNE, nullptr), DKMaxNE,
                               caption::label(QStringLiteral("最小"), DKMinNE, nullptr), DKMinNE}),
                          "DKMaxMinPanel");
    // The caption of both stands before the row; read aloud, each needs it before its own word.
    caption::name(DKMaxNE, QStringLiteral("入力桁数 最大"));
    caption::name(DKMinNE, QStringLiteral("入力桁数 最小"));
    DKBarChk = checkBox("DKBarChk", QStringLiteral("バーコード使用"));
    DKBarBtn = formkit::button("DKBarBtn", QStringLiteral("バーコード読取設定"), this);
    DKBarBtn->setEnabled(false);
    DKMstUseChk = checkBox("DKMstUseChk", QStringLiteral("マスター参照表示を使用する"));
    DKMstFileSE = fileEdit("DKMstFileSE");
    DKMstErrChk = checkBox("DKMstErrChk", QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀがない場合入力ｴﾗｰ"));
    DKMstErrChk->setChecked(true);
    DKMstPanel = named(
        row({caption::label(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙ"), DKMstFileSE, nullptr), DKMstFileSE, DKMstErrChk}),
        "DKMstPanel");
    DKMstPanel->setVisible(false);
    form->addRow(caption::label(QStringLiteral("項目名"), DKNameSE, DKubunGB), DKNameSE);
    form->addRow(caption::label(QStringLiteral("データ形式"), DKTypeCB, DKubunGB), DKTypeCB);
    form->addRow(caption::label(QStringLiteral("データ表示"), DKFontCB, DKubunGB), DKFontCB);
    form->addRow(QStringLiteral("入力桁数"), DKMaxMinPanel);
    form->addRow(row({DKBarChk, DKBarBtn}));
    form->addRow(DKMstUseChk);
    form->addRow(DKMstPanel);
    DKubunGB->setVisible(false);

    connect(DKubunChk, &QCheckBox::clicked, this, &TMainForm::DKubunChkClick);
    connect(DKNameSE, &QLineEdit::textEdited, this, &TMainForm::NESEChange);
    connect(DKTypeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(DKFontCB, &QComboBox::activated, this, &TMainForm::DKFontCBChange);
    connect(DKMaxNE, &QLineEdit::textEdited, this, &TMainForm::NEChange);
    connect(DKMinNE, &QLineEdit::textEdited, this, &TMainForm::DKMinNEChange);
    connect(DKMinNE, &TNEdit::KeyPress, this, [this](QChar &key) {
        const int limit = DKFontCB->currentIndex() == 1 ? limits.DKMaxWide : limits.DKMaxStd;
        if (!key.isNull() && key != u'\b' && NumberOf(DKMinNE->text() + key).value_or(0) > limit)
            key = QChar();
    });
    connect(DKBarChk, &QCheckBox::clicked, this, &TMainForm::DKBarChkClick);
    connect(DKBarBtn, &QPushButton::clicked, this, &TMainForm::DKBarBtnClick);
    connect(DKMstUseChk, &QCheckBox::clicked, this, &TMainForm::DKMstUseChkClick);
    connect(DKMstErrChk, &QCheckBox::clicked, this, &TMainForm::NESEChange);
    return page;
}

QWidget *TMainForm::buildCollationPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *key = named(new QGroupBox(QStringLiteral("検索キー入力")), "Cmp1CodeGB");
    auto *keyForm = new QFormLayout(key);
    KKNameSE = named(new TByteEdit, "KKNameSE");
    KKNameSE->setFixedWidth(200);
    KKBarBtn = formkit::button("KKBarBtn", QStringLiteral("バーコード読取設定"), this);
    KKMstFileSE = fileEdit("KKMstFileSE");
    KKMaxNE = numberEdit("KKMaxNE", 4, 180, QStringLiteral("20"));
    KKMinNE = numberEdit("KKMinNE", 4, 180, QStringLiteral("1"));
    QWidget *keyName = row({KKNameSE, KKBarBtn});
    keyForm->addRow(caption::label(QStringLiteral("項目名"), KKNameSE, key), keyName);
    keyForm->addRow(caption::label(QStringLiteral("照合ﾏｽﾀｰﾌｧｲﾙ"), KKMstFileSE, key), KKMstFileSE);
    keyForm->addRow(QStringLiteral("キー入力桁数"),
                    row({caption::label(QStringLiteral("最大"), KKMaxNE, nullptr), KKMaxNE,
                         caption::label(QStringLiteral("最小"), KKMinNE, nullptr), KKMinNE}));
    caption::name(KKMaxNE, QStringLiteral("キー入力桁数 最大"));
    caption::name(KKMinNE, QStringLiteral("キー入力桁数 最小"));

    auto *data = named(new QGroupBox(QStringLiteral("照合データ入力")), "CmpMasterGB");
    auto *dataForm = new QFormLayout(data);
    SKNameSE = named(new TByteEdit, "SKNameSE");
    SKNameSE->setFixedWidth(200);
    CmpModeCB = named(new TListCombo, "CmpModeCB");
    CmpModeCB->addItems({QStringLiteral("登録順"), QStringLiteral("順不同")});
    SKBarBtn = formkit::button("SKBarBtn", QStringLiteral("バーコード読取設定"), this);
    SKMstUseChk = checkBox("SKMstUseChk", QStringLiteral("情報表示ﾏｽﾀｰﾌｧｲﾙを使用"));
    SKMstFileSE = fileEdit("SKMstFileSE");
    SKMstFilePanel =
        named(row({caption::label(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙ"), SKMstFileSE, nullptr), SKMstFileSE}),
              "SKMstFilePanel");
    SKMstFilePanel->setVisible(false);
    QWidget *dataName = row({SKNameSE, SKBarBtn});
    dataForm->addRow(caption::label(QStringLiteral("項目名"), SKNameSE, data), dataName);
    dataForm->addRow(caption::label(QStringLiteral("照合順番"), CmpModeCB, data), CmpModeCB);
    dataForm->addRow(row({SKMstUseChk, SKMstFilePanel}));

    auto *result = named(new QGroupBox(QStringLiteral("照合結果")), "GroupBox1");
    auto *grid = new QGridLayout(result);
    OkBzBtn = formkit::button("OkBzBtn", QStringLiteral("ＯＫブザー設定"), this);
    NgBzBtn = formkit::button("NgBzBtn", QStringLiteral("ＮＧブザー設定"), this);
    OkDspTimeNE = numberEdit("OkDspTimeNE", 2, 99, QStringLiteral("30"));
    NgDspTimeNE = numberEdit("NgDspTimeNE", 2, 99, QStringLiteral("30"));
    grid->addWidget(caption::label(QStringLiteral("OK表示時間"), OkDspTimeNE, result), 0, 0);
    grid->addWidget(OkDspTimeNE, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("1/10秒")), 0, 2);
    grid->addWidget(OkBzBtn, 0, 3);
    grid->addWidget(caption::label(QStringLiteral("NG表示時間"), NgDspTimeNE, result), 1, 0);
    grid->addWidget(NgDspTimeNE, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("1/10秒")), 1, 2);
    grid->addWidget(NgBzBtn, 1, 3);
    grid->setColumnStretch(4, 1);

    layout->addWidget(key);
    layout->addWidget(data);
    layout->addWidget(result);
    layout->addStretch();

    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{KKNameSE, SKNameSE, OkDspTimeNE, NgDspTimeNE})
        connect(edit, &QLineEdit::textEdited, this, &TMainForm::NESEChange);
    connect(KKMaxNE, &QLineEdit::textEdited, this, &TMainForm::NEChange);
    connect(KKMinNE, &QLineEdit::textEdited, this, &TMainForm::KKMinNEChange);
    connect(KKMinNE, &TNEdit::KeyPress, this, [this](QChar &key) {
        if (!key.isNull() && key != u'\b' && NumberOf(KKMinNE->text() + key).value_or(0) > limits.DKMaxStd)
            key = QChar();
    });
    connect(CmpModeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(KKBarBtn, &QPushButton::clicked, this, &TMainForm::KKBarBtnClick);
    connect(SKBarBtn, &QPushButton::clicked, this, &TMainForm::SKBarBtnClick);
    connect(SKMstUseChk, &QCheckBox::clicked, this, &TMainForm::SKMstUseChkClick);
    connect(OkBzBtn, &QPushButton::clicked, this, &TMainForm::OkBzBtnClick);
    connect(NgBzBtn, &QPushButton::clicked, this, &TMainForm::NgBzBtnClick);
    return page;
}

QWidget *TMainForm::buildSavePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    DSaveChk = checkBox("DSaveChk", QStringLiteral("照合結果を保存する"));
    DSaveGB = named(new QGroupBox, "DSaveGB");
    DSaveGB->setVisible(false);
    layout->addWidget(DSaveChk);
    layout->addWidget(DSaveGB, 1);

    auto *box = new QVBoxLayout(DSaveGB);
    SaveFileSE = fileEdit("SaveFileSE");
    SaveFieldsCB = named(new TListCombo, "SaveFieldsCB");
    SaveFieldsCB->addItems({"  1", "  2", "  3", "  4", "  5", "  6", "  7", "  8", QStringLiteral("  ９"),
                            QStringLiteral("１０"), QStringLiteral("１１"), QStringLiteral("１２"),
                            QStringLiteral("１３"), QStringLiteral("１４"), QStringLiteral("１５"),
                            QStringLiteral("１６")});
    SaveTypeCB = named(new TListCombo, "SaveTypeCB");
    SaveTypeCB->addItems(
        {QStringLiteral("照合ＯＫ"), QStringLiteral("照合ＮＧ"), QStringLiteral("照合OK/NG")});
    box->addWidget(row({caption::label(QStringLiteral("保存ﾌｧｲﾙ名"), SaveFileSE, nullptr), SaveFileSE,
                        caption::label(QStringLiteral("保存ﾌｨｰﾙﾄﾞ数"), SaveFieldsCB, nullptr), SaveFieldsCB,
                        caption::label(QStringLiteral("保存条件"), SaveTypeCB, nullptr), SaveTypeCB}));

    auto *scroll = new QScrollArea;
    auto *rows = new QWidget;
    auto *grid = new QGridLayout(rows);
    static const QStringList rowLabels = {
        QStringLiteral("F１"),    QStringLiteral("Ｆ２"),   QStringLiteral("Ｆ３"),
        QStringLiteral("Ｆ４"),   QStringLiteral("Ｆ５"),   QStringLiteral("Ｆ６"),
        QStringLiteral("Ｆ７"),   QStringLiteral("Ｆ８"),   QStringLiteral("Ｆ９"),
        QStringLiteral("Ｆ１０"), QStringLiteral("Ｆ１１"), QStringLiteral("Ｆ１２"),
        QStringLiteral("Ｆ１３"), QStringLiteral("Ｆ１４"), QStringLiteral("Ｆ１５"),
        QStringLiteral("Ｆ１６")};
    for (int k = 0; k < SaveRowCount; ++k) {
        const std::size_t i = std::size_t(k);
        const QString n = QString::number(k + 1);
        pFLabel[i] = new QLabel(rowLabels.at(k));
        pFLabel[i]->setObjectName(QStringLiteral("F%1Label").arg(n));
        pSField[i] = new TListCombo;
        pSField[i]->setObjectName(QStringLiteral("SField%1CB").arg(n));
        pSField[i]->setMinimumWidth(190);
        pSFTopNE[i] = new TNEdit;
        pSFTopNE[i]->setObjectName(QStringLiteral("F%1TopNE").arg(n));
        pSFTopNE[i]->setFixedWidth(60);
        pSFLenNE[i] = new TNEdit;
        pSFLenNE[i]->setObjectName(QStringLiteral("F%1LenNE").arg(n));
        pSFLenNE[i]->setFixedWidth(60);
        pLenLabel[i] = new QLabel(QStringLiteral("桁目から"));
        pLenLabel[i]->setObjectName(QStringLiteral("N%1Label").arg(n));
        pPanel[i] = row({pSFTopNE[i], pLenLabel[i], pSFLenNE[i], new QLabel(QStringLiteral("桁"))});
        pPanel[i]->setObjectName(QStringLiteral("F%1Panel").arg(n));
        grid->addWidget(pFLabel[i], k, 0);
        grid->addWidget(pSField[i], k, 1);
        grid->addWidget(pPanel[i], k, 2);
        // A row's start and length are read by its caption and the unit after each.
        caption::link(pFLabel[i], pSField[i]);
        caption::link(pLenLabel[i], pSFLenNE[i]);
        caption::name(pSFTopNE[i], rowLabels.at(k) + QStringLiteral(" 桁目から"));
        caption::name(pSFLenNE[i], rowLabels.at(k) + QStringLiteral(" 桁"));

        connect(pSField[i], &QComboBox::activated, this, [this, k] { SFieldCBChange(k); });
        connect(pSFTopNE[i], &QLineEdit::textEdited, this, [this, k] { FTopChange(k); });
        connect(pSFLenNE[i], &QLineEdit::textEdited, this, [this, k] { FLenChange(k); });
        connect(pSFTopNE[i], &TNEdit::KeyPress, this, [this, i](QChar &key) {
            if (key.isDigit() && !StartDigitKept(pSFTopNE[i]->text() + key, limits))
                key = QChar();
        });
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(SaveRowCount, 1);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    box->addWidget(scroll, 1);

    ListView1 = named(new QTableWidget(1, SaveRowCount), "ListView1");
    box->addWidget(caption::label(QStringLiteral("送信データレイアウト"), ListView1, nullptr));
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(true);
    ListView1->verticalHeader()->setVisible(false);
    ListView1->setFixedHeight(60);
    box->addWidget(ListView1);

    connect(DSaveChk, &QCheckBox::clicked, this, &TMainForm::DSaveChkClick);
    connect(SaveFieldsCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(SaveTypeCB, &QComboBox::activated, this, &TMainForm::SaveTypeCBChange);
    return page;
}

void TMainForm::buildReturnMoves()
{
    using When = ReturnMoves::When;
    ReturnMoves &m = *returnMoves_;
    m.add(DKNameSE, DKTypeCB, When::Filled);
    m.add(DKTypeCB, DKFontCB);
    m.add(DKFontCB, DKMaxNE);
    m.add(DKMaxNE, DKMinNE);
    m.add(DKMinNE, DKBarChk);
    m.add(DKBarChk, [this]() -> QWidget * { return DKBarChk->isChecked() ? DKBarBtn : nullptr; });
    m.add(DKMstUseChk, [this]() -> QWidget * { return DKMstUseChk->isChecked() ? DKMstFileSE : nullptr; });
    m.add(DKMstFileSE, DKMstErrChk);
    m.add(KKNameSE, KKMaxNE, When::Filled);
    m.add(KKMaxNE, KKMinNE);
    m.add(KKMinNE, KKBarBtn);
    m.add(SKNameSE, SKBarBtn, When::Filled);
    m.add(CmpModeCB, SKBarBtn);
    m.add(OkDspTimeNE, NgDspTimeNE, When::Filled);
    m.add(NgDspTimeNE, OkBzBtn, When::Filled);
    m.add(SaveFileSE, SaveFieldsCB);
    m.add(SaveFieldsCB, SaveTypeCB);
    m.add(SaveTypeCB, pSField[0]);
    for (int k = 0; k < SaveRowCount; ++k) {
        const std::size_t i = std::size_t(k);
        const auto nextRow = [this, k]() -> QWidget * {
            return k + 1 < saveCount() ? pSField[std::size_t(k + 1)] : pSField[0];
        };
        m.add(pSField[i], [this, i, nextRow]() -> QWidget * {
            return RowEditsOf(SaveDat[i].code) == RowEdits::StartAndLength ? pSFTopNE[i] : nextRow();
        });
        m.add(pSFTopNE[i], pSFLenNE[i]);
        m.add(pSFLenNE[i], nextRow);
    }
}

// ---- Loading and saving

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

// ---- Page refresh

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

void TMainForm::applyDataTypeRule()
{
    const int fixed = FixedDigits(settings());
    const bool free = fixed == 0;
    DKMaxNE->setEnabled(free);
    DKMinNE->setEnabled(free);
    if (!free) {
        formkit::LoadingGuard loading(SetFlag);
        DKMaxNE->setText(QString::number(fixed));
        DKMinNE->setText(QString::number(fixed));
    }
    DKBarChk->setVisible(free);
    DKBarBtn->setVisible(free);
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    DKMstUseChk->setVisible(free);
    DKMstPanel->setVisible(free && DKMstUseChk->isChecked());
}

// ---- Handlers of pages 1 and 2

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

void TMainForm::DKubunChkClick()
{
    DKubunGB->setVisible(DKubunChk->isChecked());
    if (DKubunChk->isChecked())
        applyDataTypeRule();
    ChangeFlag = true;
}

void TMainForm::DKTypeCBChange()
{
    if (SetFlag)
        return;
    applyDataTypeRule();
    ChangeFlag = true;
}

void TMainForm::DKFontCBChange()
{
    const int limit = DisplayLimit(settings(), limits);
    DKMaxNE->SetMaxValue(limit);
    DKMinNE->SetMaxValue(limit);
    {
        formkit::LoadingGuard loading(SetFlag);
        // An empty edit stays empty: the check then asks for it.
        const std::optional<qint64> max = NumberOf(DKMaxNE->text());
        const std::optional<qint64> min = NumberOf(DKMinNE->text());
        if (max)
            DKMaxNE->setText(QString::number(std::min<qint64>(*max, limit)));
        if (min)
            DKMinNE->setText(QString::number(std::min<qint64>({*min, limit, max.value_or(limit)})));
    }
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

void TMainForm::DKMinNEChange()
{
    MinNEChange(DKMinNE, DKMaxNE);
}

void TMainForm::KKMinNEChange()
{
    MinNEChange(KKMinNE, KKMaxNE);
}

void TMainForm::DKBarChkClick()
{
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DKMstUseChkClick()
{
    DKMstPanel->setVisible(DKMstUseChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::SKMstUseChkClick()
{
    SKMstFilePanel->setVisible(SKMstUseChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::openBarDialog(QChar type)
{
    SetBarType = type;
    TBarDat &bar = type == u'D' ? DKBarDat : type == u'K' ? KKBarDat : SKBarDat;
    const TByteEdit *name = type == u'D' ? DKNameSE : type == u'K' ? KKNameSE : SKNameSE;
    TSetBarCodeForm dialog(bar, ChangeFlag, limits, BhtType, name->text(), this);
    platform::ui().showModal(dialog);
}

void TMainForm::DKBarBtnClick()
{
    openBarDialog(u'D');
}

void TMainForm::KKBarBtnClick()
{
    openBarDialog(u'K');
}

void TMainForm::SKBarBtnClick()
{
    openBarDialog(u'S');
}

void TMainForm::openBzDialog(QChar type)
{
    SetBzType = type;
    TSetBzForm dialog(type == u'O' ? OkBz : NgBz, ChangeFlag, type, BhtType, this);
    platform::ui().showModal(dialog);
}

void TMainForm::OkBzBtnClick()
{
    openBzDialog(u'O');
}

void TMainForm::NgBzBtnClick()
{
    openBzDialog(u'N');
}

// ---- The save page

int TMainForm::saveCount() const
{
    return SaveFieldsCB->currentIndex() + 1;
}

void TMainForm::refreshSavePage()
{
    formkit::LoadingGuard loading(SetFlag);
    DSaveGB->setVisible(DSaveChk->isChecked());
    SaveDatDef = GetSaveDef(DKubunChk->isChecked());
    SaveDatStr = GetSDefStr(SaveDatDef);
    CheckSaveDat(SaveDat, SaveDatDef, limits);
    SetSaveDat();
    DspDataLayout();
}

void TMainForm::SetSaveDat()
{
    const int count = saveCount();
    for (int k = 0; k < SaveRowCount; ++k) {
        const std::size_t i = std::size_t(k);
        const bool shown = k < count;
        pFLabel[i]->setVisible(shown);
        pSField[i]->setVisible(shown);
        if (!shown) {
            pPanel[i]->setVisible(false);
            continue;
        }
        pSField[i]->setItemsText(SaveDatStr);
        pSField[i]->setCurrentIndex(ChoiceOfCode(SaveDatDef, SaveDat[i].code));
        const RowEdits edits = RowEditsOf(SaveDat[i].code);
        pPanel[i]->setVisible(edits != RowEdits::None);
        pSFTopNE[i]->setVisible(edits == RowEdits::StartAndLength);
        pLenLabel[i]->setVisible(edits == RowEdits::StartAndLength);
        const RowMaxima maxima = RowMaximaOf(SaveDat[i].code, limits);
        pSFTopNE[i]->SetMaxValue(maxima.top);
        pSFLenNE[i]->SetMaxValue(maxima.len);
        pSFTopNE[i]->setText(QString::number(SaveDat[i].top));
        pSFLenNE[i]->setText(QString::number(SaveDat[i].len));
    }
}

void TMainForm::DspDataLayout()
{
    const auto cells = quillon::DspDataLayout(SaveDat, saveCount());
    ListView1->clearContents();
    for (int c = 0; c < SaveRowCount; ++c) {
        const LayoutCell &cell = cells[std::size_t(c)];
        ListView1->setHorizontalHeaderItem(c, new QTableWidgetItem(cell.caption));
        if (cell.width > 0)
            ListView1->setColumnWidth(c, cell.width);
        auto *item = new QTableWidgetItem(cell.value);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ListView1->setItem(0, c, item);
    }
}

void TMainForm::DSaveChkClick()
{
    DSaveGB->setVisible(DSaveChk->isChecked());
    if (DSaveChk->isChecked())
        refreshSavePage();
    ChangeFlag = true;
}

void TMainForm::SaveFieldsCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    refreshSavePage();
}

void TMainForm::SaveTypeCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    refreshSavePage();
}

void TMainForm::SFieldCBChange(int k)
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    const std::size_t i = std::size_t(k);
    {
        formkit::LoadingGuard loading(SetFlag);
        const char code = CodeAtChoice(SaveDatDef, pSField[i]->currentIndex());
        SaveDat[i] = CheckSDTLen(code, pSFTopNE[i]->text(), pSFLenNE[i]->text(), limits);
    }
    refreshSavePage();
}

void TMainForm::FTopChange(int k)
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    const std::size_t i = std::size_t(k);
    if (pSFTopNE[i]->text() == QStringLiteral("0"))
        pSFTopNE[i]->setText(QString());
    if (pSFTopNE[i]->text().isEmpty()) {
        SaveDat[i].top = 0;
    } else {
        SaveDat[i] = CheckSDTLen(SaveDat[i].code, pSFTopNE[i]->text(), pSFLenNE[i]->text(), limits);
        if (pSFLenNE[i]->text().isEmpty())
            SaveDat[i].len = 0; // still empty: the check asks for it
        const int caret = pSFTopNE[i]->cursorPosition();
        pSFTopNE[i]->setText(QString::number(SaveDat[i].top));
        pSFTopNE[i]->setCursorPosition(caret);
        if (!pSFLenNE[i]->text().isEmpty())
            pSFLenNE[i]->setText(QString::number(SaveDat[i].len));
    }
    ChangeFlag = true;
}

void TMainForm::FLenChange(int k)
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    ChangeFlag = true;
    const std::size_t i = std::size_t(k);
    if (pSFLenNE[i]->text() == QStringLiteral("0"))
        pSFLenNE[i]->setText(QString());
    if (pSFLenNE[i]->text().isEmpty()) {
        SaveDat[i].len = 0;
    } else {
        SaveDat[i] = CheckSDTLen(SaveDat[i].code, pSFTopNE[i]->text(), pSFLenNE[i]->text(), limits);
        if (pSFTopNE[i]->text().isEmpty())
            SaveDat[i].top = 0;
        const int caret = pSFLenNE[i]->cursorPosition();
        pSFLenNE[i]->setText(QString::number(SaveDat[i].len));
        pSFLenNE[i]->setCursorPosition(caret);
        if (!pSFTopNE[i]->text().isEmpty())
            pSFTopNE[i]->setText(QString::number(SaveDat[i].top));
    }
    DspDataLayout();
}
