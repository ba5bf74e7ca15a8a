#include "SetBarCode.h"

#include "DialogSize.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/JobFieldRules.h"
#include "platform/Cp932.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <iterator>

using formkit::named;

namespace {

TNEdit *numberEdit(const QString &name, int digits, int minimum, int maximum, QWidget *parent)
{
    auto *edit = new TNEdit(parent);
    edit->setObjectName(name);
    edit->SetMaxDegits(digits);
    edit->SetMinValue(minimum);
    edit->SetMaxValue(maximum);
    edit->setMaxLength(digits);
    edit->setFixedWidth(16 + 9 * digits);
    return edit;
}

QLineEdit *textEdit(const QString &name, int maxLength, int width, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(width);
    return edit;
}

const char *const SymbologyNames[jobs::SymbologyCount] = {
    "JanChk", "BookChk",     "MagazinChk", "RssChk",        "ItfChk",
    "StfChk", "NW7Chk",      "Code39Chk",  "Code93Chk",     "Code128Chk",
    "QrChk",  "MaxiCodeChk", "PDF417Chk",  "DataMatrixChk", "CompositeChk"};
const char *const SymbologyCaptions[jobs::SymbologyCount] = {
    "JAN/EAN/UPC", "書籍コード", "雑誌コード", "GS1 DataBar", "ITF",
    "STF",         "NW7",        "Code39",     "Code93",      "GS1-128/EAN-128/Code128",
    "QRコード",    "MaxiCode",   "PDF417",     "Data Matrix", "EAN・UCC Composite"};
const char *const CheckDigitNames[4] = {"ItfCD", "StfCD", "NW7CD", "Code39CD"};

} // namespace

TSetBarCodeForm::TSetBarCodeForm(TGyData &job, bool group, int index, const QString &aiTable, QWidget *parent)
    : QDialog(parent), job_(job), target_{&job, group, index}, aiTable_(aiTable)
{
    setObjectName(QStringLiteral("SetBarCodeForm"));
    setWindowTitle(QStringLiteral("バーゴード読取設定"));

    // Symbologies.
    BarGroup = named(new QGroupBox(QStringLiteral("読取バーコード"), this), "BarGroup");
    BarGroup->setFocusPolicy(Qt::TabFocus);
    auto *barGrid = new QGridLayout(BarGroup);
    for (int sym = 0; sym < jobs::SymbologyCount; ++sym) {
        SymbologyChk[sym] =
            named(new QCheckBox(QString::fromUtf8(SymbologyCaptions[sym]), BarGroup), SymbologyNames[sym]);
    }
    int row = 0;
    for (int sym : {jobs::SymJan, jobs::SymBook, jobs::SymMagazine, jobs::SymRss})
        barGrid->addWidget(SymbologyChk[sym], row++, 0);
    for (int slot = 0; slot < 4; ++slot) {
        const int sym = jobs::CheckDigitSymbologies[slot];
        CheckDigitGroup[slot] =
            named(new QGroupBox(QStringLiteral("ﾁｪｯｸﾃﾞｼﾞｯﾄ"), BarGroup), CheckDigitNames[slot]);
        CheckDigitNone[slot] = new QRadioButton(QStringLiteral("なし"), CheckDigitGroup[slot]);
        CheckDigitRead[slot] = new QRadioButton(QStringLiteral("あり"), CheckDigitGroup[slot]);
        CheckDigitNone[slot]->setChecked(true);
        auto *radios = new QHBoxLayout(CheckDigitGroup[slot]);
        radios->setContentsMargins(4, 0, 4, 0);
        radios->addWidget(CheckDigitNone[slot]);
        radios->addWidget(CheckDigitRead[slot]);
        barGrid->addWidget(SymbologyChk[sym], slot, 1);
        barGrid->addWidget(CheckDigitGroup[slot], slot, 2);
    }
    row = 0;
    for (int sym : {jobs::SymCode93, jobs::SymCode128, jobs::SymQr, jobs::SymMaxiCode, jobs::SymPDF417,
                    jobs::SymDataMatrix, jobs::SymComposite})
        barGrid->addWidget(SymbologyChk[sym], row++, 3);
    UserBarChk = named(new QCheckBox(QStringLiteral("ユーザー定義"), BarGroup), "UserBarChk");
    UserBarSE = textEdit(QStringLiteral("UserBarSE"), 32, 260, BarGroup);
    formkit::dropEnter(UserBarSE);
    caption::name(UserBarSE, UserBarChk->text());
    auto *userRow = new QHBoxLayout;
    userRow->addWidget(UserBarChk);
    userRow->addWidget(UserBarSE);
    userRow->addStretch(1);
    barGrid->addLayout(userRow, 7, 0, 1, 4);

    // Length, conversions, format.
    BarMaxNE = numberEdit(QStringLiteral("BarMaxNE"), 4, 1, MaxDataLen, this);
    BarMinNE = numberEdit(QStringLiteral("BarMinNE"), 4, 1, MaxDataLen, this);
    auto *lengthRow = new QHBoxLayout;
    lengthRow->addWidget(caption::label(QStringLiteral("読取桁数  最大"), BarMaxNE, this));
    lengthRow->addWidget(BarMaxNE);
    lengthRow->addWidget(new QLabel(QStringLiteral("桁    最小"), this));
    // The caption reads across the maximum's unit; read aloud, the minimum needs the caption's head.
    caption::name(BarMinNE, QStringLiteral("読取桁数 最小"));
    lengthRow->addWidget(BarMinNE);
    lengthRow->addWidget(new QLabel(QStringLiteral("桁"), this));
    lengthRow->addStretch(1);
    GTINChk = named(new QCheckBox(QStringLiteral("JAN/EAN/UPC を GTINコードに変換"), this), "GTINChk");
    DelCDChk = named(new QCheckBox(QStringLiteral("ITF/STF/NW7/Code39 のﾁｪｯｸﾃﾞｼﾞｯﾄをﾃﾞｰﾀに含めない"), this),
                     "DelCDChk");
    DFormatCB = named(new TListCombo(this), "DFormatCB");
    DFormatCB->addItems({QStringLiteral("固定長"), QStringLiteral("カンマ( , )区切り"),
                         QStringLiteral("コロン( : )区切り"), QStringLiteral("セミコロン( ; )区切り"),
                         QStringLiteral("スペース区切り"), QStringLiteral("タブ記号区切り"),
                         QStringLiteral("CR記号区切り"), QStringLiteral("ＡＩコード")});
    auto *formatRow = new QHBoxLayout;
    formatRow->addWidget(caption::label(QStringLiteral("データ形式"), DFormatCB, this));
    formatRow->addWidget(DFormatCB);
    formatRow->addStretch(1);

    // Data check.
    auto *checkGroup = named(new QGroupBox(QStringLiteral("データ検査"), this), "DatChkGroup");
    BarDatChk = named(new QCheckBox(QStringLiteral("使用する"), checkGroup), "BarDatChk");
    ChkNoLabel = named(new QLabel(QStringLiteral("データＮｏ"), checkGroup), "ChkNoLabel");
    ChkFldNoNE = numberEdit(QStringLiteral("ChkFldNoNE"), 2, 1, 99, checkGroup);
    ChkAISE = textEdit(QStringLiteral("ChkAISE"), 4, 50, checkGroup);
    formkit::dropEnter(ChkAISE);
    ChkTopLabel = named(new QLabel(QStringLiteral("検査データ位置"), checkGroup), "ChkTopLabel");
    ChkTopNE = numberEdit(QStringLiteral("ChkTopNE"), 4, 0, 9999, checkGroup);
    ChkLenLabel = named(new QLabel(QStringLiteral("桁目から"), checkGroup), "ChkLenLabel");
    ChkLenNE = numberEdit(QStringLiteral("ChkLenNE"), 2, 0, 60, checkGroup);
    ChkLenUnit = new QLabel(QStringLiteral("桁"), checkGroup);
    ChkTypeLabel = new QLabel(QStringLiteral("比較方法"), checkGroup);
    ChkDatTypeCB = named(new TListCombo(checkGroup), "ChkDatTypeCB");
    ChkDataLabel = named(new QLabel(QStringLiteral("比較データ"), checkGroup), "ChkDataLabel");
    ChkDataSE = textEdit(QStringLiteral("ChkDataSE"), jobs::ChkStrBytes, 260, checkGroup);
    formkit::dropEnter(ChkDataSE);
    ChkNgCB = named(new TListCombo(checkGroup), "ChkNgCB");
    ChkNgCB->addItems({QStringLiteral("＜＞ 比較データ"), QStringLiteral(" ＝  比較データ"),
                       QStringLiteral(" ＜  比較データ"), QStringLiteral("＜＝ 比較データ"),
                       QStringLiteral("＞＝  比較データ"), QStringLiteral(" ＞   比較データ")});
    // The number and the AI code share their label, which reads and is the buddy of whichever is
    // shown (dataCheckDisplay); the length reads across the start's caption.
    caption::name(ChkFldNoNE, QStringLiteral("データＮｏ"));
    caption::name(ChkAISE, QStringLiteral("ＡＩコード"));
    caption::link(ChkTopLabel, ChkTopNE);
    caption::name(ChkLenNE, QStringLiteral("検査データ桁数"));
    caption::link(ChkTypeLabel, ChkDatTypeCB);
    caption::link(ChkDataLabel, ChkDataSE);
    caption::name(ChkNgCB, checkGroup->title());
    auto *checkGrid = new QGridLayout(checkGroup);
    checkGrid->addWidget(BarDatChk, 0, 0);
    auto *positionRow = new QHBoxLayout;
    positionRow->addWidget(ChkNoLabel);
    positionRow->addWidget(ChkFldNoNE);
    positionRow->addWidget(ChkAISE);
    positionRow->addWidget(ChkTopLabel);
    positionRow->addWidget(ChkTopNE);
    positionRow->addWidget(ChkLenLabel);
    positionRow->addWidget(ChkLenNE);
    positionRow->addWidget(ChkLenUnit);
    positionRow->addStretch(1);
    checkGrid->addLayout(positionRow, 1, 0, 1, 3);
    checkGrid->addWidget(ChkTypeLabel, 2, 0);
    checkGrid->addWidget(ChkDatTypeCB, 2, 1, Qt::AlignLeft);
    checkGrid->addWidget(ChkDataLabel, 3, 0);
    checkGrid->addWidget(ChkDataSE, 3, 1, Qt::AlignLeft);
    checkGrid->addWidget(ChkNgCB, 3, 2, Qt::AlignLeft);

    // Distribution.
    auto *fwGroup = named(new QGroupBox(QStringLiteral("データ振り分け"), this), "FWGroup");
    BFWDatChk = named(new QCheckBox(QStringLiteral("使用する"), fwGroup), "BFWDatChk");
    FWKNumLabel = new QLabel(QStringLiteral("振り分け数"), fwGroup);
    FWKNumCB = named(new TListCombo(fwGroup), "FWKNumCB");
    caption::link(FWKNumLabel, FWKNumCB);
    FWGrid = new QWidget(fwGroup);
    auto *rows = new QVBoxLayout(FWGrid);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    for (int i = 0; i < MaxFWCount; ++i) {
        FWRow[i] = new QWidget(FWGrid);
        FWRow[i]->setFixedHeight(24);
        auto *line = new QHBoxLayout(FWRow[i]);
        line->setContentsMargins(0, 0, 0, 0);
        FWFixedPart[i] = new QWidget(FWRow[i]);
        FWTopNE[i] = numberEdit(jobs::FWTopName(i), 4, 1, 9999, FWFixedPart[i]);
        FWLengthNE[i] = numberEdit(jobs::FWLengthName(i), 4, 1, MaxDataLen, FWFixedPart[i]);
        auto *fixed = new QHBoxLayout(FWFixedPart[i]);
        fixed->setContentsMargins(0, 0, 0, 0);
        fixed->addWidget(FWTopNE[i]);
        fixed->addWidget(new QLabel(QStringLiteral("桁目から"), FWFixedPart[i]));
        fixed->addWidget(FWLengthNE[i]);
        fixed->addWidget(new QLabel(QStringLiteral("桁  →"), FWFixedPart[i]));
        FWDatNoPart[i] = new QWidget(FWRow[i]);
        FWDatNoNE[i] = numberEdit(jobs::FWDatNoName(i), 2, 1, 99, FWDatNoPart[i]);
        auto *datNo = new QHBoxLayout(FWDatNoPart[i]);
        datNo->setContentsMargins(0, 0, 0, 0);
        datNo->addWidget(new QLabel(QStringLiteral("データＮｏ"), FWDatNoPart[i]));
        datNo->addWidget(FWDatNoNE[i]);
        datNo->addWidget(new QLabel(QStringLiteral("→"), FWDatNoPart[i]));
        FWAiCdPart[i] = new QWidget(FWRow[i]);
        FWAiCdSE[i] = textEdit(jobs::FWAiCdName(i), 4, 50, FWAiCdPart[i]);
        formkit::dropEnter(FWAiCdSE[i]);
        auto *ai = new QHBoxLayout(FWAiCdPart[i]);
        ai->setContentsMargins(0, 0, 0, 0);
        ai->addWidget(new QLabel(QStringLiteral("ＡＩコード　"), FWAiCdPart[i]));
        ai->addWidget(FWAiCdSE[i]);
        ai->addWidget(new QLabel(QStringLiteral("→"), FWAiCdPart[i]));
        FWDstCB[i] = named(new TListCombo(FWRow[i]), "");
        FWDstCB[i]->setObjectName(jobs::FWDstName(i));
        FWDstCB[i]->setMinimumWidth(170);
        // A row's captions sit between its fields; read aloud, each field says what it is and its row.
        const QString rowNo = QString::number(i + 1);
        caption::name(FWTopNE[i], QStringLiteral("振り分けデータ先頭") + rowNo);
        caption::name(FWLengthNE[i], QStringLiteral("振り分けデータ桁数") + rowNo);
        caption::name(FWDatNoNE[i], QStringLiteral("振り分けデータＮｏ") + rowNo);
        caption::name(FWAiCdSE[i], QStringLiteral("振り分けＡＩコード") + rowNo);
        caption::name(FWDstCB[i], QStringLiteral("振り分け先項目") + rowNo);
        line->addWidget(FWFixedPart[i]);
        line->addWidget(FWDatNoPart[i]);
        line->addWidget(FWAiCdPart[i]);
        line->addWidget(FWDstCB[i]);
        line->addStretch(1);
        rows->addWidget(FWRow[i]);
    }
    FWDstCB[0]->setEnabled(false);
    auto *fwLayout = new QVBoxLayout(fwGroup);
    auto *fwHead = new QHBoxLayout;
    fwHead->addWidget(BFWDatChk);
    fwHead->addWidget(FWKNumLabel);
    fwHead->addWidget(FWKNumCB);
    fwHead->addStretch(1);
    fwLayout->addLayout(fwHead);
    fwLayout->addWidget(FWGrid);

    EndBtn = formkit::button("EndBtn", QStringLiteral("確定"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);

    // The symbologies and the data format at the left, the check and the distribution of the read
    // data at the right: with all ten distribution rows the dialog still fits a small screen.
    auto *left = new QVBoxLayout;
    left->addWidget(BarGroup);
    left->addLayout(lengthRow);
    left->addWidget(GTINChk);
    left->addWidget(DelCDChk);
    left->addLayout(formatRow);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(checkGroup);
    right->addWidget(fwGroup);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);

    // Handlers.
    for (int sym = 0; sym < jobs::SymbologyCount; ++sym) {
        const bool checkDigit =
            std::find(jobs::CheckDigitSymbologies.begin(), jobs::CheckDigitSymbologies.end(), sym) !=
            jobs::CheckDigitSymbologies.end();
        connect(SymbologyChk[sym], &QCheckBox::clicked, this,
                checkDigit ? &TSetBarCodeForm::CheckDigitSymbologyClick : &TSetBarCodeForm::changed);
    }
    for (int slot = 0; slot < 4; ++slot)
        for (QRadioButton *radio : {CheckDigitNone[slot], CheckDigitRead[slot]})
            connect(radio, &QRadioButton::clicked, this, &TSetBarCodeForm::CheckDigitSymbologyClick);
    connect(UserBarChk, &QCheckBox::clicked, this, &TSetBarCodeForm::UserBarChkClick);
    for (QCheckBox *box : {GTINChk, DelCDChk})
        connect(box, &QCheckBox::clicked, this, &TSetBarCodeForm::changed);
    connect(ChkNgCB, &QComboBox::activated, this, &TSetBarCodeForm::changed);
    connect(DFormatCB, &QComboBox::activated, this, &TSetBarCodeForm::DFormatCBChange);
    connect(BarDatChk, &QCheckBox::clicked, this, &TSetBarCodeForm::BarDatChkClick);
    connect(BFWDatChk, &QCheckBox::clicked, this, &TSetBarCodeForm::BFWDatChkClick);
    connect(FWKNumCB, &QComboBox::activated, this, &TSetBarCodeForm::BFWDatChkClick);
    connect(ChkDatTypeCB, &QComboBox::activated, this, &TSetBarCodeForm::ChkDatTypeCBChange);
    std::vector<TNEdit *> numbers = {BarMaxNE, BarMinNE, ChkFldNoNE, ChkTopNE, ChkLenNE};
    for (int i = 0; i < MaxFWCount; ++i) {
        numbers.insert(numbers.end(), {FWTopNE[i], FWLengthNE[i], FWDatNoNE[i]});
        connect(FWDstCB[i], &QComboBox::activated, this, &TSetBarCodeForm::changed);
        connect(FWAiCdSE[i], &QLineEdit::textEdited, this, [this, i] {
            textChanged(
                FWAiCdSE[i], lastAiCd_[i], [](const QString &, int, QChar k) { return jobs::DigitKey(k); },
                4);
        });
        connect(FWTopNE[i], &TNEdit::KeyPress, this, [this, i](QChar &key) { startKey(FWTopNE[i], key); });
    }
    for (TNEdit *edit : numbers)
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { numberChanged(edit); });
    connect(ChkTopNE, &TNEdit::KeyPress, this, [this](QChar &key) { startKey(ChkTopNE, key); });
    connect(UserBarSE, &QLineEdit::textEdited, this,
            [this] { textChanged(UserBarSE, lastUserBar_, jobs::UserBarKey, 32); });
    connect(ChkAISE, &QLineEdit::textEdited, this, [this] {
        textChanged(
            ChkAISE, lastChkAi_, [](const QString &, int, QChar k) { return jobs::DigitKey(k); }, 4);
    });
    connect(ChkDataSE, &QLineEdit::textEdited, this, [this] {
        const bool text = ChkDatTypeCB->currentIndex() == 0;
        textChanged(ChkDataSE, lastChkData_, text ? jobs::KeyRule() : jobs::KeyRule(jobs::ChkDataKey),
                    text ? jobs::ChkStrBytes : 10);
    });
    connect(EndBtn, &QPushButton::clicked, this, &TSetBarCodeForm::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetBarCodeForm::reject);

    FormCreate();
}

void TSetBarCodeForm::FormCreate()
{
    const formkit::LoadingGuard loading(SetFlag);
    ChkDatTypeCB->addItems(target_.comparisonNames());
    CmpDat = target_.comparisonCodes();
    const int n = target_.distributionCount();
    for (int i = 1; i <= n; ++i)
        FWKNumCB->addItem(QString::number(i));
    const QStringList names = target_.distributionNames();
    for (QComboBox *box : FWDstCB)
        box->addItems(names);
    // One size for every format with the check and all distribution rows shown.
    BarDatChk->setChecked(true);
    BFWDatChk->setChecked(true);
    FWKNumCB->setCurrentIndex(FWKNumCB->count() - 1);
    static const int formats[] = {jobs::FormatFixed, 1, jobs::FormatAi};
    keepLargestSize(*this, int(std::size(formats)), [this](int state) {
        DFormatCB->setCurrentIndex(formats[state]);
        dataCheckDisplay();
        distributionDisplay();
    });
    load(jobs::GetBar(target_));
    ChangeFlag = false;
    EndBtn->setEnabled(false);
}

void TSetBarCodeForm::load(const jobs::BarCodeControls &c)
{
    for (int sym = 0; sym < jobs::SymbologyCount; ++sym)
        SymbologyChk[sym]->setChecked(c.symbology[sym]);
    for (int slot = 0; slot < 4; ++slot) {
        (c.checkDigit[slot] ? CheckDigitRead : CheckDigitNone)[slot]->setChecked(true);
        CheckDigitGroup[slot]->setEnabled(c.symbology[jobs::CheckDigitSymbologies[slot]]);
    }
    UserBarChk->setChecked(c.user);
    UserBarSE->setText(lastUserBar_ = c.userBar);
    BarMaxNE->setText(c.barMax);
    BarMinNE->setText(c.barMin);
    GTINChk->setChecked(c.gtin);
    DelCDChk->setChecked(c.delCD);
    DFormatCB->setCurrentIndex(c.format);
    BarDatChk->setChecked(c.datChk);
    ChkFldNoNE->setText(c.chkFldNo);
    ChkAISE->setText(lastChkAi_ = c.chkAi);
    ChkTopNE->setText(c.chkTop);
    ChkLenNE->setText(c.chkLen);
    ChkDatTypeCB->setCurrentIndex(c.cmpType);
    ChkDataSE->setText(lastChkData_ = c.chkData);
    ChkNgCB->setCurrentIndex(c.chkNg);
    BFWDatChk->setChecked(c.fwDatChk);
    FWKNumCB->setCurrentIndex(c.fwKNum);
    for (int i = 0; i < MaxFWCount; ++i) {
        FWDstCB[i]->setCurrentIndex(c.dst[i]);
        FWTopNE[i]->setText(c.top[i]);
        FWLengthNE[i]->setText(c.length[i]);
        FWDatNoNE[i]->setText(c.datNo[i]);
        FWAiCdSE[i]->setText(lastAiCd_[i] = c.aiCd[i]);
    }
    userMode();
    dataCheckDisplay();
    distributionDisplay();
}

jobs::BarCodeControls TSetBarCodeForm::controls() const
{
    jobs::BarCodeControls c;
    for (int sym = 0; sym < jobs::SymbologyCount; ++sym)
        c.symbology[sym] = SymbologyChk[sym]->isChecked();
    for (int slot = 0; slot < 4; ++slot)
        c.checkDigit[slot] = CheckDigitRead[slot]->isChecked();
    c.user = UserBarChk->isChecked();
    c.userBar = UserBarSE->text();
    c.barMax = BarMaxNE->text();
    c.barMin = BarMinNE->text();
    c.gtin = GTINChk->isChecked();
    c.delCD = DelCDChk->isChecked();
    c.format = DFormatCB->currentIndex();
    c.datChk = BarDatChk->isChecked();
    c.chkFldNo = ChkFldNoNE->text();
    c.chkAi = ChkAISE->text();
    c.chkTop = ChkTopNE->text();
    c.chkLen = ChkLenNE->text();
    c.cmpType = ChkDatTypeCB->currentIndex();
    c.chkData = ChkDataSE->text();
    c.chkNg = ChkNgCB->currentIndex();
    c.fwDatChk = BFWDatChk->isChecked();
    c.fwKNum = FWKNumCB->currentIndex();
    for (int i = 0; i < MaxFWCount; ++i) {
        c.dst[i] = i == 0 ? 0 : FWDstCB[i]->currentIndex();
        c.top[i] = FWTopNE[i]->text();
        c.length[i] = FWLengthNE[i]->text();
        c.datNo[i] = FWDatNoNE[i]->text();
        c.aiCd[i] = FWAiCdSE[i]->text();
    }
    return c;
}

void TSetBarCodeForm::userMode()
{
    const bool user = UserBarChk->isChecked();
    UserBarSE->setEnabled(user);
    for (QCheckBox *box : SymbologyChk)
        box->setEnabled(!user);
    for (int slot = 0; slot < 4; ++slot)
        CheckDigitGroup[slot]->setEnabled(!user &&
                                          SymbologyChk[jobs::CheckDigitSymbologies[slot]]->isChecked());
    DelCDChk->setEnabled(jobs::DelCDEnabled(controls()));
}

void TSetBarCodeForm::dataCheckDisplay()
{
    const bool on = BarDatChk->isChecked();
    const int format = DFormatCB->currentIndex();
    const int type = ChkDatTypeCB->currentIndex();
    const bool fields = format >= 1 && format <= 6;
    ChkNoLabel->setText(format == jobs::FormatAi ? QStringLiteral("ＡＩコード")
                                                 : QStringLiteral("データＮｏ"));
    ChkNoLabel->setBuddy(format == jobs::FormatAi ? ChkAISE : ChkFldNoNE);
    ChkNoLabel->setVisible(on && (fields || format == jobs::FormatAi));
    ChkFldNoNE->setVisible(on && fields);
    ChkAISE->setVisible(on && format == jobs::FormatAi);
    for (QWidget *w : std::initializer_list<QWidget *>{ChkTopLabel, ChkTopNE, ChkLenLabel, ChkLenNE,
                                                       ChkLenUnit, ChkTypeLabel, ChkDatTypeCB, ChkNgCB})
        w->setVisible(on);
    const bool compared = type == 0 || type == 1;
    ChkDataLabel->setVisible(on && compared);
    ChkDataSE->setVisible(on && compared);
    ChkDataSE->setMaxLength(type == 1 ? 10 : jobs::ChkStrBytes);
}

void TSetBarCodeForm::distributionDisplay()
{
    const bool on = BFWDatChk->isChecked();
    FWKNumLabel->setVisible(on);
    FWKNumCB->setVisible(on);
    FWGrid->setVisible(on);
    const int rows = FWKNumCB->currentIndex() + 1;
    const int format = DFormatCB->currentIndex();
    for (int i = 0; i < MaxFWCount; ++i) {
        FWRow[i]->setVisible(on && i < rows);
        FWFixedPart[i]->setVisible(format == jobs::FormatFixed);
        FWDatNoPart[i]->setVisible(format >= 1 && format <= 6);
        FWAiCdPart[i]->setVisible(format == jobs::FormatAi);
        FWRow[i]->updateGeometry();
    }
    // The rows' parts lie too deep for the dialog to learn of their new width by itself.
    for (QWidget *w = FWGrid; w != this; w = w->parentWidget())
        w->updateGeometry();
}

void TSetBarCodeForm::changed()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    EndBtn->setEnabled(true);
}

void TSetBarCodeForm::CheckDigitSymbologyClick()
{
    if (SetFlag)
        return;
    for (int slot = 0; slot < 4; ++slot)
        CheckDigitGroup[slot]->setEnabled(SymbologyChk[jobs::CheckDigitSymbologies[slot]]->isChecked());
    DelCDChk->setEnabled(jobs::DelCDEnabled(controls()));
    changed();
}

void TSetBarCodeForm::UserBarChkClick()
{
    if (SetFlag)
        return;
    userMode();
    changed();
}

void TSetBarCodeForm::DFormatCBChange()
{
    if (SetFlag)
        return;
    dataCheckDisplay();
    distributionDisplay();
    changed();
}

void TSetBarCodeForm::BarDatChkClick()
{
    if (SetFlag)
        return;
    dataCheckDisplay();
    changed();
}

void TSetBarCodeForm::BFWDatChkClick()
{
    if (SetFlag)
        return;
    if (BFWDatChk->isChecked() && FWKNumCB->currentIndex() < 0) {
        const formkit::LoadingGuard loading(SetFlag);
        FWKNumCB->setCurrentIndex(0);
    }
    distributionDisplay();
    changed();
}

void TSetBarCodeForm::ChkDatTypeCBChange()
{
    if (SetFlag)
        return;
    if (ChkDatTypeCB->currentIndex() == 1 && !ChkDataSE->text().isEmpty()) {
        const formkit::LoadingGuard loading(SetFlag);
        ChkDataSE->setText(lastChkData_ = jobs::ChkDataAsNumber(ChkDataSE->text()));
    }
    dataCheckDisplay();
    changed();
}

void TSetBarCodeForm::numberChanged(TNEdit *edit)
{
    if (SetFlag)
        return;
    if (edit->text() == QLatin1String("0")) {
        const formkit::LoadingGuard loading(SetFlag);
        edit->clear();
    }
    changed();
}

void TSetBarCodeForm::textChanged(QLineEdit *edit, QString &last, const jobs::KeyRule &rule, int maxLength)
{
    if (SetFlag)
        return;
    const jobs::TypedChange typed = rule ? jobs::typeThrough(last, edit->text(), rule)
                                         : jobs::TypedChange{true, edit->text(), edit->cursorPosition()};
    const QString text = rule ? typed.text : edit->text();
    const bool refused = !typed.accepted || platform::cp932::byteLength(text) > maxLength;
    {
        const formkit::LoadingGuard loading(SetFlag);
        const int caret = refused ? std::max(0, typed.caret) : typed.caret;
        if (refused || text != edit->text()) {
            edit->setText(refused ? last : text);
            edit->setCursorPosition(std::min(caret, int(edit->text().size())));
        }
    }
    if (refused) {
        platform::ui().beep();
        return;
    }
    last = text;
    changed();
}

void TSetBarCodeForm::startKey(TNEdit *edit, QChar &key)
{
    if (key < u'0' || key > u'9')
        return;
    ChangeFlag = true;
    if (!jobs::StartDigitAllowed(edit->text() + key, BarMaxNE->text())) {
        key = QChar();
        platform::ui().beep();
    }
}

void TSetBarCodeForm::EndBtnClick()
{
    const jobs::BarCodeControls c = controls();
    const QString table = aiTable_;
    if (const auto fault =
            jobs::CheckBarCode(c, [table](const QString &code) { return jobs::ExistsAi(table, code); })) {
        if (auto *control = findChild<QWidget *>(fault->control))
            formkit::requestFocus(control);
        formkit::showInputError(fault->message);
        return;
    }
    TKoData &item = (target_.group ? job_.GrKoDa : job_.DaKoDa)[BoundedCount(target_.index, MaxKoCount - 1)];
    jobs::SetBar(c, target_, item);
    Confirmed = true;
    ChangeFlag = false;
    accept();
}

bool TSetBarCodeForm::FormCloseQuery()
{
    return !ChangeFlag || formkit::askYes(QStringLiteral("変更したデータを破棄してもいいですか？"),
                                          QStringLiteral("バーコード読取設定"));
}

void TSetBarCodeForm::reject()
{
    if (!closing_ && !FormCloseQuery())
        return;
    QDialog::reject();
}

void TSetBarCodeForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event);
    closing_ = false;
}
