#include "Main.h"

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
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessary {

namespace {

TListCombo *list(const char *name, const QStringList &items, QWidget *parent)
{
    auto *combo = formkit::named(new TListCombo(parent), name);
    combo->addItems(items);
    return combo;
}

TNEdit *numberEdit(const char *name, int max, QWidget *parent)
{
    auto *edit = formkit::named(new TNEdit(parent), name);
    edit->SetMaxDegits(4);
    edit->SetMinValue(0);
    edit->SetMaxValue(max);
    edit->SetAutoSelect(false);
    edit->setFixedWidth(56);
    return edit;
}

TByteEdit *textEdit(const char *name, int maxBytes, const addins::KeyFilter &filter, QWidget *parent)
{
    auto *edit = formkit::named(new TByteEdit(parent), name);
    edit->setMaxBytes(maxBytes);
    if (filter)
        edit->setKeyFilter(filter);
    return edit;
}

std::optional<int> valueOf(const QLineEdit *edit)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString textOf(const std::optional<int> &value)
{
    return value && *value > 0 ? QString::number(*value) : QString();
}

QString fullWidthNumber(int n)
{
    static const QString digits = QStringLiteral("０１２３４５６７８９");
    QString out;
    for (QChar c : QString::number(n))
        out += digits.at(c.digitValue());
    return out;
}

QStringList dataTypeItems()
{
    QStringList items;
    for (const addins::DataTypeInfo &info : addins::DataTypeTable())
        items << info.caption;
    return items;
}

} // namespace

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

QWidget *TMainForm::buildDataKindPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    DKubunChk = formkit::named(new QCheckBox(QStringLiteral("データ区分を使用する"), page), "DKubunChk");
    v->addWidget(DKubunChk);
    DKubunGB = formkit::named(new QGroupBox(page), "DKubunGB");
    auto *g = new QGridLayout(DKubunGB);
    DKNameSE = textEdit("DKNameSE", Model->NameMax, {}, DKubunGB);
    DKTypeCB = list("DKTypeCB", dataTypeItems(), DKubunGB);
    DKFontCB = list("DKFontCB", {QStringLiteral("標準"), QStringLiteral("横倍")}, DKubunGB);
    DKMaxNE = numberEdit("DKMaxNE", 4 * Model->NameMax, DKubunGB);
    DKMinNE = numberEdit("DKMinNE", 4 * Model->NameMax, DKubunGB);
    g->addWidget(caption::label(QStringLiteral("項目名"), DKNameSE, DKubunGB), 0, 0);
    g->addWidget(DKNameSE, 0, 1, 1, 4);
    g->addWidget(caption::label(QStringLiteral("データ形式"), DKTypeCB, DKubunGB), 1, 0);
    g->addWidget(DKTypeCB, 1, 1, 1, 4);
    g->addWidget(caption::label(QStringLiteral("データ表示"), DKFontCB, DKubunGB), 2, 0);
    g->addWidget(DKFontCB, 2, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("入力桁数"), DKubunGB), 3, 0);
    auto *digits = new QHBoxLayout;
    digits->addWidget(caption::label(QStringLiteral("最大"), DKMaxNE, DKubunGB));
    digits->addWidget(DKMaxNE);
    digits->addWidget(caption::label(QStringLiteral("最小"), DKMinNE, DKubunGB));
    // The caption of both stands before the row; read aloud, each needs it before its own word.
    caption::name(DKMaxNE, QStringLiteral("入力桁数 最大"));
    caption::name(DKMinNE, QStringLiteral("入力桁数 最小"));
    digits->addWidget(DKMinNE);
    digits->addStretch();
    g->addLayout(digits, 3, 1, 1, 4);
    DKBarChk = formkit::named(new QCheckBox(QStringLiteral("バーコード使用"), DKubunGB), "DKBarChk");
    DKBarBtn = formkit::button("DKBarBtn", QStringLiteral("バーコード読取設定"), DKubunGB);
    g->addWidget(DKBarChk, 4, 0, 1, 2);
    g->addWidget(DKBarBtn, 4, 2, 1, 2);
    DKMstChk = formkit::named(new QCheckBox(QStringLiteral("文字列表示マスターファイルを使用する"), DKubunGB),
                              "DKMstChk");
    g->addWidget(DKMstChk, 5, 0, 1, 5);
    DKMstPanel = formkit::named(new QFrame(DKubunGB), "DKMstPanel");
    auto *m = new QGridLayout(DKMstPanel);
    DKMstFileSE = formkit::named(new TFileNameEdit(true, DKMstPanel), "DKMstFileSE");
    DKMstFieldSE = textEdit("DKMstFieldSE", 10, addins::FieldListKey, DKMstPanel);
    DKMstErrChk =
        formkit::named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀがない場合ｴﾗｰ"), DKMstPanel), "DKMstErrChk");
    m->addWidget(caption::label(QStringLiteral("表示用ﾏｽﾀｰﾌｧｲﾙ"), DKMstFileSE, DKMstPanel), 0, 0);
    m->addWidget(DKMstFileSE, 0, 1);
    m->addWidget(caption::label(QStringLiteral("ﾌｨｰﾙﾄﾞ情報"), DKMstFieldSE, DKMstPanel), 1, 0);
    m->addWidget(DKMstFieldSE, 1, 1);
    m->addWidget(DKMstErrChk, 2, 0, 1, 2);
    g->addWidget(DKMstPanel, 6, 0, 1, 5);
    v->addWidget(DKubunGB);
    v->addStretch();

    connect(DKubunChk, &QCheckBox::clicked, this, &TMainForm::DKubunChkClick);
    connect(DKNameSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(DKMstFieldSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(DKTypeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(DKFontCB, &QComboBox::activated, this, &TMainForm::DKFontCBChange);
    connect(DKMaxNE, &QLineEdit::textEdited, this, &TMainForm::DKMaxNEChange);
    connect(DKMinNE, &QLineEdit::textEdited, this, &TMainForm::DKMinNEChange);
    const auto dataKindLimit = [this] {
        return DKFontCB->currentIndex() == 1 ? Model->DKMaxWide : Model->DKMaxStd;
    };
    connectDigitLimit(DKMaxNE, dataKindLimit, false);
    connectDigitLimit(DKMinNE, dataKindLimit, false);
    connect(DKBarChk, &QCheckBox::clicked, this, &TMainForm::DKBarChkClick);
    connect(DKBarBtn, &QPushButton::clicked, this, &TMainForm::DKBarBtnClick);
    connect(DKMstChk, &QCheckBox::clicked, this, &TMainForm::DKMstChkClick);
    connect(DKMstErrChk, &QCheckBox::clicked, this, &TMainForm::MarkChange);
    connect(DKMstFileSE, &TFileNameEdit::Changed, this, &TMainForm::MarkChange);
    return page;
}

QWidget *TMainForm::buildCollationPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *top = new QGridLayout;
    DousaCB = list("DousaCB", {QStringLiteral("１対１照合 数量入力"), QStringLiteral("１対Ｎ照合数カウント")},
                   page);
    CmpDatCntCB = list("CmpDatCntCB", {"0", "1", "2", "3", "4", "5"}, page);
    SuryouInputChk = formkit::named(new QCheckBox(QStringLiteral("数量入力"), page), "SuryouInputChk");
    top->addWidget(caption::label(QStringLiteral("動作モード"), DousaCB, page), 0, 0);
    top->addWidget(DousaCB, 0, 1);
    top->addWidget(SuryouInputChk, 0, 2);
    top->addWidget(caption::label(QStringLiteral("部分照合ﾃﾞｰﾀ数"), CmpDatCntCB, page), 1, 0);
    top->addWidget(CmpDatCntCB, 1, 1);
    v->addLayout(top);

    auto *source = new QGroupBox(QStringLiteral("照合元"), page);
    auto *s = new QGridLayout(source);
    MKNameSE = textEdit("MKNameSE", Model->NameMax, {}, source);
    MKBarBtn = formkit::button("MKBarBtn", QStringLiteral("バーコード読取設定"), source);
    MKMstChk = formkit::named(new QCheckBox(QStringLiteral("文字列表示マスターファイルを使用する"), source),
                              "MKMstChk");
    s->addWidget(caption::label(QStringLiteral("項目名"), MKNameSE, source), 0, 0);
    s->addWidget(MKNameSE, 0, 1);
    s->addWidget(MKBarBtn, 0, 2);
    s->addWidget(MKMstChk, 1, 0, 1, 3);
    MKMstPanel = formkit::named(new QFrame(source), "MKMstPanel");
    auto *m = new QGridLayout(MKMstPanel);
    SerchDatTopNE = numberEdit("SerchDatTopNE", 9999, MKMstPanel);
    SerchDatLenNE = numberEdit("SerchDatLenNE", 3500, MKMstPanel);
    MKMstFileSE = formkit::named(new TFileNameEdit(true, MKMstPanel), "MKMstFileSE");
    MKMstFieldSE = textEdit("MKMstFieldSE", 10, addins::FieldListKey, MKMstPanel);
    auto *search = new QHBoxLayout;
    search->addWidget(caption::label(QStringLiteral("検索ﾃﾞｰﾀ選択 ﾊﾞｰｺｰﾄﾞの"), SerchDatTopNE, MKMstPanel));
    search->addWidget(SerchDatTopNE);
    search->addWidget(caption::label(QStringLiteral("桁目から"), SerchDatLenNE, MKMstPanel));
    // The caption reads across the start's unit; read aloud, the length needs the caption's head
    // and its own unit.
    caption::name(SerchDatLenNE, QStringLiteral("検索ﾃﾞｰﾀ選択 桁"));
    search->addWidget(SerchDatLenNE);
    search->addWidget(new QLabel(QStringLiteral("桁"), MKMstPanel));
    search->addStretch();
    m->addLayout(search, 0, 0, 1, 2);
    m->addWidget(caption::label(QStringLiteral("表示用ﾏｽﾀｰﾌｧｲﾙ"), MKMstFileSE, MKMstPanel), 1, 0);
    m->addWidget(MKMstFileSE, 1, 1);
    m->addWidget(caption::label(QStringLiteral("ﾌｨｰﾙﾄﾞ情報"), MKMstFieldSE, MKMstPanel), 2, 0);
    m->addWidget(MKMstFieldSE, 2, 1);
    s->addWidget(MKMstPanel, 2, 0, 1, 3);
    v->addWidget(source);

    auto *target = new QGroupBox(QStringLiteral("照合先"), page);
    auto *t = new QGridLayout(target);
    SK1NameSE = textEdit("SK1NameSE", Model->NameMax, {}, target);
    SK1BarBtn = formkit::button("SK1BarBtn", QStringLiteral("バーコード読取設定"), target);
    t->addWidget(caption::label(QStringLiteral("項目名"), SK1NameSE, target), 0, 0);
    t->addWidget(SK1NameSE, 0, 1);
    t->addWidget(SK1BarBtn, 0, 2);
    v->addWidget(target);
    v->addStretch();

    connect(DousaCB, &QComboBox::activated, this, &TMainForm::DousaCBChange);
    connect(CmpDatCntCB, &QComboBox::activated, this, &TMainForm::DousaCBChange);
    connect(SuryouInputChk, &QCheckBox::clicked, this, &TMainForm::MKMstChkClick);
    connect(MKMstChk, &QCheckBox::clicked, this, &TMainForm::MKMstChkClick);
    connect(MKNameSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(SK1NameSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(MKMstFieldSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(SerchDatTopNE, &QLineEdit::textEdited, this, &TMainForm::SerchDatTopNEChange);
    connect(SerchDatLenNE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connectDigitLimit(SerchDatTopNE, {}, true);
    connect(MKBarBtn, &QPushButton::clicked, this, &TMainForm::MKBarBtnClick);
    connect(SK1BarBtn, &QPushButton::clicked, this, &TMainForm::SK1BarBtnClick);
    connect(MKMstFileSE, &TFileNameEdit::Changed, this, &TMainForm::MarkChange);
    return page;
}

QWidget *TMainForm::buildSavePage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    DSaveChk = formkit::named(new QCheckBox(QStringLiteral("照合結果を保存する"), page), "DSaveChk");
    v->addWidget(DSaveChk);
    DSaveGB = formkit::named(new QGroupBox(page), "DSaveGB");
    auto *g = new QVBoxLayout(DSaveGB);
    auto *head = new QGridLayout;
    SaveFileSE = formkit::named(new TFileNameEdit(true, DSaveGB), "SaveFileSE");
    QStringList counts;
    for (int i = 1; i <= SaveFieldMax; ++i)
        counts << (i <= 8 ? QString::number(i) : fullWidthNumber(i));
    SaveFieldsCB = list("SaveFieldsCB", counts, DSaveGB);
    SaveTypeCB = list("SaveTypeCB", SaveTypeItems(OneToOne), DSaveGB);
    QStringList stamps;
    for (const QString &item : TimeStampItems())
        stamps << item;
    TStampCB = list("TStampCB", stamps, DSaveGB);
    head->addWidget(caption::label(QStringLiteral("保存ファイル"), SaveFileSE, DSaveGB), 0, 0);
    head->addWidget(SaveFileSE, 0, 1);
    head->addWidget(caption::label(QStringLiteral("保存フィールド数"), SaveFieldsCB, DSaveGB), 0, 2);
    head->addWidget(SaveFieldsCB, 0, 3);
    head->addWidget(caption::label(QStringLiteral("保存条件"), SaveTypeCB, DSaveGB), 1, 0);
    head->addWidget(SaveTypeCB, 1, 1);
    head->addWidget(caption::label(QStringLiteral("タイムスタンプ"), TStampCB, DSaveGB), 1, 2);
    head->addWidget(TStampCB, 1, 3);
    g->addLayout(head);

    auto *scroll = formkit::named(new QScrollArea(DSaveGB), "FieldScrollBox");
    auto *rows = new QWidget;
    auto *r = new QGridLayout(rows);
    for (int i = 0; i < SaveFieldMax; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        pFLabel[std::size_t(i)] = new QLabel(QStringLiteral("フィールド") + fullWidthNumber(i + 1), rows);
        pSField[std::size_t(i)] = list(("SField" + n + "CB").constData(), {}, rows);
        pSField[std::size_t(i)]->setMinimumContentsLength(14);
        pPanel[std::size_t(i)] = formkit::named(new QFrame(rows), ("SFPanel" + n).constData());
        auto *p = new QHBoxLayout(pPanel[std::size_t(i)]);
        p->setContentsMargins(0, 0, 0, 0);
        pSFTopNE[std::size_t(i)] = numberEdit(("SFTop" + n + "NE").constData(), 9999, pPanel[std::size_t(i)]);
        pLenLabel[std::size_t(i)] = new QLabel(QStringLiteral("桁目から"), pPanel[std::size_t(i)]);
        pSFLenNE[std::size_t(i)] = numberEdit(("SFLen" + n + "NE").constData(), 3500, pPanel[std::size_t(i)]);
        p->addWidget(pSFTopNE[std::size_t(i)]);
        p->addWidget(pLenLabel[std::size_t(i)]);
        p->addWidget(pSFLenNE[std::size_t(i)]);
        p->addWidget(new QLabel(QStringLiteral("桁"), pPanel[std::size_t(i)]));
        p->addStretch();
        // A row's start and length are read by its caption and the unit after each.
        caption::link(pFLabel[std::size_t(i)], pSField[std::size_t(i)]);
        caption::link(pLenLabel[std::size_t(i)], pSFLenNE[std::size_t(i)]);
        caption::name(pSFTopNE[std::size_t(i)],
                      pFLabel[std::size_t(i)]->text() + QStringLiteral(" 桁目から"));
        caption::name(pSFLenNE[std::size_t(i)], pFLabel[std::size_t(i)]->text() + QStringLiteral(" 桁"));
        r->addWidget(pFLabel[std::size_t(i)], i, 0);
        r->addWidget(pSField[std::size_t(i)], i, 1);
        r->addWidget(pPanel[std::size_t(i)], i, 2);
        connect(pSField[std::size_t(i)], &QComboBox::activated, this, [this, i] { SFieldCBChange(i); });
        connect(pSFTopNE[std::size_t(i)], &QLineEdit::textEdited, this, [this, i] { FTopChange(i); });
        connect(pSFLenNE[std::size_t(i)], &QLineEdit::textEdited, this, [this, i] { FLenChange(i); });
        connectDigitLimit(pSFTopNE[std::size_t(i)], {}, true);
    }
    r->setRowStretch(SaveFieldMax, 1);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    g->addWidget(scroll, 1);
    ListView1 = formkit::named(new QTreeWidget(DSaveGB), "ListView1");
    g->addWidget(caption::label(QStringLiteral("送信データレイアウト"), ListView1, DSaveGB));
    ListView1->setColumnCount(SaveFieldMax);
    ListView1->setRootIsDecorated(false);
    ListView1->setFixedHeight(56);
    ListView1->setHeaderLabels(QStringList(SaveFieldMax, QString()));
    g->addWidget(ListView1);
    v->addWidget(DSaveGB, 1);

    connect(DSaveChk, &QCheckBox::clicked, this, &TMainForm::DSaveChkClick);
    connect(SaveFieldsCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(SaveTypeCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(TStampCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(SaveFileSE, &TFileNameEdit::Changed, this, &TMainForm::MarkChange);
    return page;
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

void TMainForm::DspDataKind()
{
    formkit::LoadingGuard loading(SetFlag);
    TTessaryState s = state();
    DKubunGB->setVisible(s.DKubun);
    ApplyDataKindDigits(s, *Model);
    const bool fixed = addins::DataTypeFixedDigits(s.DKType) > 0;
    DKMaxNE->SetMaxValue(4 * Model->NameMax);
    DKMinNE->SetMaxValue(4 * Model->NameMax);
    DKMaxNE->setEnabled(!fixed);
    DKMinNE->setEnabled(!fixed);
    DKMaxNE->setText(textOf(s.DKMax));
    DKMinNE->setText(textOf(s.DKMin));
    DKBarChk->setVisible(!fixed);
    DKBarBtn->setVisible(!fixed);
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    DKMstChk->setVisible(!fixed);
    DKMstPanel->setVisible(!fixed && DKMstChk->isChecked());
}

void TMainForm::DousaChangeDsp()
{
    formkit::LoadingGuard loading(SetFlag);
    const int dousa = std::max(0, DousaCB->currentIndex());
    const int chosen = std::max(0, SaveTypeCB->currentIndex());
    SuryouInputChk->setVisible(dousa == OneToOne);
    SaveTypeCB->clear();
    SaveTypeCB->addItems(SaveTypeItems(dousa));
    SaveTypeCB->setCurrentIndex(SaveTypeFor(chosen, dousa));
}

void TMainForm::refreshSavePage()
{
    formkit::LoadingGuard loading(SetFlag);
    SaveDatDef = GetSaveDef(state());
    CheckSaveDat(SaveDat, SaveDatDef, *Model);
    SetSaveDat();
    DspDataLayout();
}

void TMainForm::SetSaveDat()
{
    formkit::LoadingGuard loading(SetFlag);
    const QStringList items = GetSDefStr(SaveDatDef);
    const int used = std::max(0, SaveFieldsCB->currentIndex()) + 1;
    for (int i = 0; i < SaveFieldMax; ++i) {
        const std::size_t k = std::size_t(i);
        const bool shown = i < used;
        pFLabel[k]->setVisible(shown);
        pSField[k]->setVisible(shown);
        const TSaveDat &f = SaveDat[k];
        pSField[k]->clear();
        pSField[k]->addItems(items);
        pSField[k]->setCurrentIndex(std::max(0, int(SaveDatDef.indexOf(QLatin1Char(f.code)))));
        const RowPanel panel = PanelOf(f.code);
        pPanel[k]->setVisible(shown && panel != RowPanel::Hidden);
        pSFTopNE[k]->setVisible(panel == RowPanel::StartAndLength);
        pLenLabel[k]->setVisible(panel == RowPanel::StartAndLength);
        pSFTopNE[k]->setText(f.top > 0 ? QString::number(f.top) : QString());
        pSFLenNE[k]->setText(f.len > 0 ? QString::number(f.len) : QString());
    }
}

void TMainForm::DspDataLayout()
{
    ListView1->clear();
    auto *row = new QTreeWidgetItem(ListView1);
    const QList<PreviewColumn> columns = tessary::DspDataLayout(state());
    QTreeWidgetItem *header = ListView1->headerItem();
    for (int c = 0; c < SaveFieldMax; ++c) {
        if (c < columns.size()) {
            if (columns[c].width > 0) {
                header->setText(c, columns[c].caption);
                ListView1->setColumnWidth(c, columns[c].width);
            }
            row->setText(c, columns[c].cell);
        } else {
            header->setText(c, QString());
        }
    }
}

void TMainForm::CheckSDTLen(int row)
{
    const std::size_t k = std::size_t(row);
    SaveDat[k] = tessary::CheckSDTLen(SaveDat[k].code, valueOf(pSFTopNE[k]), valueOf(pSFLenNE[k]), *Model);
    formkit::LoadingGuard loading(SetFlag);
    pSFLenNE[k]->setText(QString::number(SaveDat[k].len));
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

// Handlers

void TMainForm::MarkChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
}

void TMainForm::DKubunChkClick()
{
    if (SetFlag)
        return;
    DKubunGB->setVisible(DKubunChk->isChecked());
    DspDataKind();
    ChangeFlag = true;
}

void TMainForm::DKTypeCBChange()
{
    if (SetFlag)
        return;
    DspDataKind();
    ChangeFlag = true;
}

void TMainForm::DKFontCBChange()
{
    // Not in the system's handler table, but a change of the display is a change of the job.
    if (SetFlag)
        return;
    ChangeFlag = true;
}

void TMainForm::DKMaxNEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    if (DKMaxNE->text() == QLatin1String("0"))
        DKMaxNE->clear();
    ChangeFlag = true;
}

void TMainForm::DKMinNEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    if (DKMinNE->text() == QLatin1String("0"))
        DKMinNE->clear();
    // With the largest empty there is nothing to compare with: it stays empty for CheckData.
    const std::optional<int> largest = valueOf(DKMaxNE);
    const std::optional<int> smallest = valueOf(DKMinNE);
    if (largest && smallest && *smallest > *largest)
        DKMaxNE->setText(DKMinNE->text());
    ChangeFlag = true;
}

void TMainForm::DKBarChkClick()
{
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::DKMstChkClick()
{
    DKMstPanel->setVisible(DKMstChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::MKMstChkClick()
{
    MKMstPanel->setVisible(MKMstChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::DousaCBChange()
{
    if (SetFlag)
        return;
    DousaChangeDsp();
    ChangeFlag = true;
}

void TMainForm::SerchDatTopNEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    if (SerchDatTopNE->text() == QLatin1String("0"))
        SerchDatTopNE->clear();
    ChangeFlag = true;
}

void TMainForm::DKBarBtnClick()
{
    openBarDialog('K');
}

void TMainForm::MKBarBtnClick()
{
    openBarDialog('M');
}

void TMainForm::SK1BarBtnClick()
{
    openBarDialog('C');
}

void TMainForm::DSaveChkClick()
{
    DSaveGB->setVisible(DSaveChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::SaveFieldsCBChange()
{
    if (SetFlag)
        return;
    refreshSavePage();
    ChangeFlag = true;
}

void TMainForm::SFieldCBChange(int row)
{
    if (SetFlag)
        return;
    const std::size_t k = std::size_t(row);
    const int index = pSField[k]->currentIndex();
    if (!SaveDatDef.isEmpty())
        SaveDat[k].code = char(SaveDatDef.at(std::clamp(index, 0, int(SaveDatDef.size()) - 1)).unicode());
    CheckSDTLen(row);
    refreshSavePage();
    ChangeFlag = true;
}

void TMainForm::FTopChange(int row)
{
    if (SetFlag)
        return;
    const std::size_t k = std::size_t(row);
    {
        formkit::LoadingGuard loading(SetFlag);
        if (pSFTopNE[k]->text() == QLatin1String("0"))
            pSFTopNE[k]->clear();
    }
    if (pSFTopNE[k]->text().isEmpty())
        SaveDat[k].top = 0;
    else
        CheckSDTLen(row);
    ChangeFlag = true;
}

void TMainForm::FLenChange(int row)
{
    if (SetFlag)
        return;
    const std::size_t k = std::size_t(row);
    {
        formkit::LoadingGuard loading(SetFlag);
        if (pSFLenNE[k]->text() == QLatin1String("0"))
            pSFLenNE[k]->clear();
    }
    if (pSFLenNE[k]->text().isEmpty())
        SaveDat[k].len = 0;
    else
        CheckSDTLen(row);
    DspDataLayout();
    ChangeFlag = true;
}

// Enter and the caret

QWidget *TMainForm::nextOnEnter(QWidget *control) const
{
    const auto filled = [](const QLineEdit *edit, QWidget *next) {
        return edit->text().isEmpty() ? nullptr : next;
    };
    if (control == DKNameSE)
        return filled(DKNameSE, DKTypeCB);
    if (control == DKTypeCB)
        return DKMaxNE;
    if (control == DKMaxNE)
        return DKMinNE;
    if (control == DKMinNE)
        return DKBarChk;
    if (control == DKMstFileSE)
        return filled(DKMstFileSE, DKMstFieldSE);
    if (control == DousaCB || control == CmpDatCntCB)
        return MKNameSE;
    if (control == MKNameSE)
        return filled(MKNameSE, MKBarBtn);
    if (control == MKMstFileSE)
        return filled(MKMstFileSE, MKMstFieldSE);
    if (control == SK1NameSE)
        return filled(SK1NameSE, SK1BarBtn);
    if (control == SaveFileSE)
        return SaveFieldsCB;
    if (control == TStampCB)
        return pSField[0];
    const int used = std::max(0, SaveFieldsCB->currentIndex()) + 1;
    const auto nextRow = [&](int i) { return pSField[std::size_t((i + 1) % used)]; };
    for (int i = 0; i < SaveFieldMax; ++i) {
        const std::size_t k = std::size_t(i);
        if (control == pSField[k])
            return PanelOf(SaveDat[k].code) == RowPanel::StartAndLength ? static_cast<QWidget *>(pSFTopNE[k])
                                                                        : nextRow(i);
        if (control == pSFTopNE[k])
            return pSFLenNE[k];
        if (control == pSFLenNE[k])
            return nextRow(i);
    }
    return nullptr;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<QWidget *>(watched);
    if (control != nullptr && PageControl1->isAncestorOf(control)) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (QWidget *next = nextOnEnter(control))
                    formkit::requestFocus(next);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            // NEditEnter, EditEnter: the caret goes to the end of the text.
            if (auto *edit = qobject_cast<QLineEdit *>(control))
                QMetaObject::invokeMethod(
                    edit,
                    [edit] {
                        edit->deselect();
                        edit->end(false);
                    },
                    Qt::QueuedConnection);
        }
    }
    return TAddInMainForm::eventFilter(watched, event);
}

} // namespace tessary
