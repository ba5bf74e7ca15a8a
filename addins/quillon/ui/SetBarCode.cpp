#include "SetBarCode.h"

#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/quillon/DialogRules.h"
#include "addins/quillon/SaveLayout.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace quillon;
using addins::Symbology;
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

} // namespace

TSetBarCodeForm::TSetBarCodeForm(TBarDat &bar, bool &mainChangeFlag, const ModelLimits &limits, int model,
                                 const QString &itemName, QWidget *parent)
    : TSetBarCodeBase(mainChangeFlag, parent), bar_(bar), limits_(limits), model_(model)
{
    setObjectName(QStringLiteral("SetBarCodeForm"));
    setWindowTitle(itemName + QStringLiteral(" バーコード読取設定 (BHT-%1)").arg(model));

    GTINChk = named(new QCheckBox(QStringLiteral("JAN/EAN/UPC を GTINコードに変換")), "GTINChk");
    BarCodeGroup = named(new TSymbologyBoxes(this), "BarCodeGroup");
    DelCDChk =
        named(new QCheckBox(QStringLiteral("ITF/STF/NW7/Code39 のﾁｪｯｸﾃﾞｼﾞｯﾄをﾃﾞｰﾀに含めない")), "DelCDChk");

    DFormatCB = named(new TListCombo, "DFormatCB");
    DFormatCB->setItemsText(BFmtItemsText());
    FmtPanel =
        named(row({caption::label(QStringLiteral("データフォーマット"), DFormatCB, nullptr), DFormatCB}),
              "FmtPanel");
    SVChrSE = named(new TByteEdit, "SVChrSE");
    SVChrSE->setMaxBytes(1);
    SVChrSE->setFixedWidth(40);
    SVChrSE->setKeyFilter([](const QString &, int, QChar key) {
        if (key.isNull() || key == addins::BackspaceKey || SeparatorKey(key))
            return addins::KeyOutcome::type(key);
        return addins::KeyOutcome::refuse();
    });
    SVChrPanel =
        named(row({caption::label(QStringLiteral("区切り文字"), SVChrSE, nullptr), SVChrSE}), "SVChrPanel");

    DatTopNE = numberEdit("DatTopNE", limits.PosMaxDegits, limits.SpTopPos, QStringLiteral("1"));
    DatLenNE = numberEdit("DatLenNE", limits.PosMaxDegits, limits.BarMaxLen, QStringLiteral("16"));
    DSelLabel1 = named(new QLabel(QStringLiteral("桁目から            桁")), "DSelLabel1");
    DSelLabel2 = named(new QLabel(QStringLiteral("データNo")), "DSelLabel2");
    InpDatPanel = named(row({caption::label(QStringLiteral("データ選択"), DatTopNE, nullptr), DSelLabel2,
                             DatTopNE, DSelLabel1, DatLenNE}),
                        "InpDatPanel");
    // The caption reads across the start's unit; read aloud, the length needs the caption's head.
    caption::link(DSelLabel1, DatLenNE);
    caption::name(DatLenNE, QStringLiteral("データ選択 桁"));

    auto *check = named(new QGroupBox, "DaChkGroup");
    DaChkGroup = check;
    BarDatChk = named(new QCheckBox(QStringLiteral("デー検査を使用する")), "BarDatChk");
    ChkFldNoLabel = new QLabel(QStringLiteral("データＮｏ"));
    ChkFldNoNE = numberEdit("ChkFldNoNE", 2, 99, QStringLiteral("1"));
    ChkTopLabel = new QLabel(QStringLiteral("検査データ位置         桁目から"));
    ChkTopNE = numberEdit("ChkTopNE", 4, 9999, QStringLiteral("1"));
    ChkDataLabel = new QLabel(QStringLiteral("検査データ"));
    ChkDataSE = named(new TByteEdit, "ChkDataSE");
    ChkDataSE->setMaxBytes(32);
    ChkTypeLabel = named(new QLabel(QStringLiteral("検査方法")), "ChkTypeLabel");
    CmpOkNgCB = named(new TListCombo, "CmpOkNgCB");
    for (const QString &item : addins::DataCheckModeItems())
        CmpOkNgCB->addItem(item);
    auto *checkGrid = new QGridLayout(check);
    checkGrid->addWidget(BarDatChk, 0, 0, 1, 4);
    checkGrid->addWidget(ChkFldNoLabel, 1, 0);
    checkGrid->addWidget(ChkFldNoNE, 1, 1);
    checkGrid->addWidget(ChkTopLabel, 1, 2);
    checkGrid->addWidget(ChkTopNE, 1, 3);
    checkGrid->addWidget(ChkDataLabel, 2, 0);
    checkGrid->addWidget(ChkDataSE, 2, 1, 1, 3);
    checkGrid->addWidget(ChkTypeLabel, 3, 0);
    checkGrid->addWidget(CmpOkNgCB, 3, 1, 1, 3);
    caption::link(ChkFldNoLabel, ChkFldNoNE);
    caption::link(ChkTopLabel, ChkTopNE);
    // The label aligns its unit with blanks, which mean nothing read aloud.
    caption::name(ChkTopNE, ChkTopLabel->text());
    caption::link(ChkDataLabel, ChkDataSE);
    caption::link(ChkTypeLabel, CmpOkNgCB);

    DelCharChk = named(new QCheckBox(QStringLiteral("指定文字を削除する")), "DelCharChk");
    DelCharSE = named(new TByteEdit, "DelCharSE");
    DelCharSE->setMaxBytes(3);
    DelCharSE->setFixedWidth(60);
    DelCharSE->setKeyFilter(DelCharKey);
    DelCharPanel = named(row({caption::label(QStringLiteral("削除する文字"), DelCharSE, nullptr), DelCharSE}),
                         "DelCharPanel");
    formkit::keepPlaceWhenHidden(DelCharPanel);

    auto *right = new QVBoxLayout;
    right->addWidget(GTINChk);
    right->addWidget(DelCDChk);
    right->addWidget(FmtPanel);
    right->addWidget(SVChrPanel);
    right->addWidget(InpDatPanel);
    right->addWidget(check);
    right->addWidget(row({DelCharChk, DelCharPanel}));
    right->addStretch();
    right->addWidget(row({EndBtn, CancelBtn}));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(BarCodeGroup);
    layout->addLayout(right, 1);

    SetFlag = true;
    BarCodeGroup->setShown([model](Symbology s) {
        if (s == Symbology::Book)
            return model == 800 || model == 1300;
        return addins::ModelOffers(s, model);
    });
    connect(BarCodeGroup, &TSymbologyBoxes::Changed, this, &TSetBarCodeForm::BarChkClick);
    for (QCheckBox *box : {GTINChk, DelCDChk})
        connect(box, &QCheckBox::clicked, this, &TSetBarCodeForm::BarChkClick);
    connect(CmpOkNgCB, &QComboBox::activated, this, &TSetBarCodeForm::CBSEDataChange);
    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{ChkDataSE, DelCharSE, SVChrSE})
        connect(edit, &QLineEdit::textEdited, this, &TSetBarCodeForm::CBSEDataChange);
    for (TNEdit *edit : {ChkTopNE, ChkFldNoNE, DatTopNE, DatLenNE})
        connect(edit, &QLineEdit::textEdited, this, &TSetBarCodeForm::NEDataChange);
    connect(ChkTopNE, &TNEdit::KeyPress, this, [this](QChar &key) { TopNEKeyPress(ChkTopNE, key); });
    connect(DatTopNE, &TNEdit::KeyPress, this, [this](QChar &key) { TopNEKeyPress(DatTopNE, key); });
    connect(DFormatCB, &QComboBox::activated, this, &TSetBarCodeForm::DFormatCBChange);
    connect(BarDatChk, &QCheckBox::clicked, this, &TSetBarCodeForm::BarDatChkClick);
    connect(DelCharChk, &QCheckBox::clicked, this, &TSetBarCodeForm::DelCharChkClick);

    GetBar();
    DspSVChar();
    DspBarChk(BarDatChk->isChecked());
    DspSelDat();
    SetFlag = false;
    ChangeFlag = false;
}

void TSetBarCodeForm::GetBar()
{
    BarCodeGroup->GetBar(bar_.BarType, bar_.BarUser);
    GTINChk->setChecked(bar_.BGTIN);
    DelCDChk->setChecked(bar_.BDelCD);
    format_ = std::clamp(bar_.BFmt, 0, int(FmtLetterA));
    // A stored format without a list item shows none and stays until another is chosen.
    DFormatCB->setCurrentIndex(format_ < BarFormatItems ? format_ : -1);
    if (format_ == FmtSeparator && !bar_.SVChar.isNull())
        SVChrSE->setBoundedText(QString(bar_.SVChar));
    if (bar_.BChkMode > 0) {
        BarDatChk->setChecked(true);
        CmpOkNgCB->setCurrentIndex(addins::DataCheckListIndex(bar_.BChkMode));
        ChkFldNoNE->setText(QString::number(bar_.BChkDNo));
        ChkTopNE->setText(QString::number(bar_.BChkTop));
        ChkDataSE->setBoundedText(bar_.BChkStr);
    }
    int top = bar_.DTop < 1 ? 1 : bar_.DTop;
    if (top > limits_.BarMaxLen && top != limits_.SpTopPos)
        top = limits_.BarMaxLen;
    const int len = std::clamp(bar_.Dlen, 1, limits_.BarMaxLen);
    DatTopNE->setText(QString::number(top));
    DatLenNE->setText(QString::number(len));
    DelCharChk->setChecked(!bar_.DelChar.isEmpty());
    DelCharSE->setBoundedText(bar_.DelChar);
    DelCharPanel->setVisible(!bar_.DelChar.isEmpty());
}

void TSetBarCodeForm::DspSVChar()
{
    SVChrPanel->setVisible(format_ == FmtSeparator);
}

void TSetBarCodeForm::DspBarChk(bool on)
{
    const bool separated = format_ > FmtFixed;
    ChkFldNoLabel->setVisible(on && separated);
    ChkFldNoNE->setVisible(on && separated);
    for (QWidget *w : std::initializer_list<QWidget *>{ChkTopLabel, ChkTopNE, ChkDataLabel, ChkDataSE,
                                                       ChkTypeLabel, CmpOkNgCB})
        w->setVisible(on);
}

void TSetBarCodeForm::DspSelDat()
{
    const bool fixed = format_ == FmtFixed;
    DSelLabel1->setVisible(fixed);
    DatLenNE->setVisible(fixed);
    DSelLabel2->setVisible(!fixed);
    // A separated format makes the start a data number, read by the label before it.
    caption::name(DatTopNE, fixed ? QStringLiteral("データ選択") : QStringLiteral("データ選択 データNo"));
}

void TSetBarCodeForm::TopNEKeyPress(TNEdit *edit, QChar &key)
{
    if (!key.isDigit())
        return;
    if (!StartDigitKept(edit->text() + key, limits_)) {
        key = QChar();
        return;
    }
    markChanged();
}

bool TSetBarCodeForm::CheckBar()
{
    BarDialogInput in;
    in.letters = BarCodeGroup->SChkSetBar();
    in.format = format_;
    in.separatorShown = SVChrPanel->isVisibleTo(this);
    in.separator = SVChrSE->text();
    in.dataCheck = BarDatChk->isChecked();
    in.chkFldNo = ChkFldNoNE->text();
    in.chkTop = ChkTopNE->text();
    in.chkData = ChkDataSE->text();
    in.datTop = DatTopNE->text();
    in.datLen = DatLenNE->text();
    in.delChar = DelCharChk->isChecked();
    in.delText = DelCharSE->text();
    const DialogFailure failure = CheckBarDialog(in, limits_);
    if (failure.passed())
        return true;
    ShowBarError(findChild<QWidget *>(failure.focus), failure.message);
    return false;
}

void TSetBarCodeForm::SetBar()
{
    TBarDat bar;
    bar.BarType = BarCodeGroup->SChkSetBar();
    bar.BarUser = BarCodeGroup->userBar();
    bar.BGTIN = GTINChk->isChecked();
    bar.BDelCD = DelCDChk->isChecked();
    bar.BFmt = format_;
    bar.SVChar = format_ == FmtSeparator && !SVChrSE->text().isEmpty() ? SVChrSE->text().at(0) : QChar();
    const addins::DataCheck check = addins::DataCheckFromDialog(
        BarDatChk->isChecked(), CmpOkNgCB->currentIndex(), int(NumberOf(ChkFldNoNE->text()).value_or(1)),
        int(NumberOf(ChkTopNE->text()).value_or(1)), ChkDataSE->text());
    bar.BChkMode = check.BChkMode;
    bar.BChkDNo = check.BChkDNo;
    bar.BChkTop = check.BChkTop;
    bar.BChkStr = check.BChkStr;
    bar.DTop = int(NumberOf(DatTopNE->text()).value_or(1));
    bar.Dlen = int(NumberOf(DatLenNE->text()).value_or(1));
    bar.DelChar = DelCharChk->isChecked() ? DelCharSE->text() : QString();
    bar_ = bar;
}

void TSetBarCodeForm::BarChkClick()
{
    markChanged();
}

void TSetBarCodeForm::CBSEDataChange()
{
    markChanged();
}

void TSetBarCodeForm::NEDataChange()
{
    if (SetFlag)
        return;
    auto *edit = qobject_cast<TNEdit *>(sender());
    if (edit && edit->text() == QStringLiteral("0"))
        edit->setText(QString());
    markChanged();
}

void TSetBarCodeForm::DFormatCBChange()
{
    if (SetFlag)
        return;
    format_ = DFormatCB->currentIndex();
    DspSVChar();
    DspBarChk(BarDatChk->isChecked());
    DspSelDat();
    markChanged();
}

void TSetBarCodeForm::BarDatChkClick()
{
    DspBarChk(BarDatChk->isChecked());
    markChanged();
}

void TSetBarCodeForm::DelCharChkClick()
{
    if (SetFlag)
        return;
    DelCharPanel->setVisible(DelCharChk->isChecked());
    markChanged();
}
