#include "SetBarCode.h"

#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using formkit::named;
using marrent::TBarDat;

namespace {

TNEdit *digits(const char *name, int maxDigits, int maxValue, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(maxDigits);
    edit->SetMaxValue(maxValue);
    return edit;
}

// The value of a numeric edit, or fallback when it holds none.
int valueOr(const QLineEdit *edit, int fallback)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

TSetBarCodeForm::TSetBarCodeForm(TBarDat &bar, char setBarType, const QString &itemName,
                                 const marrent::ModelLimits &limits, bool &mainChangeFlag, QWidget *parent)
    : TSetBarCodeBase(mainChangeFlag, parent), bar_(bar), setBarType_(setBarType), limits_(limits)
{
    const QString subject = setBarType == 'P' ? QStringLiteral("商品コード") : itemName;
    setWindowTitle(subject + QStringLiteral(" バーコード読取設定 (BHT-%1)").arg(limits.BhtType));

    Symbologies = named(new TSymbologyBoxes(this), "BarTypeGroup");
    BarMaxNE = digits("BarMaxNE", 4, limits.BarMaxLen, this);
    BarMinNE = digits("BarMinNE", 4, limits.BarMaxLen, this);
    BarMaxNE->setText(QStringLiteral("16"));
    BarMinNE->setText(QStringLiteral("1"));
    GTINChk = named(new QCheckBox(QStringLiteral("JAN/EAN/UPC を GTINコードに変換"), this), "GTINChk");
    DelCDChk = named(new QCheckBox(QStringLiteral("ITF/STF/NW7/Code39 のﾁｪｯｸﾃﾞｼﾞｯﾄをﾃﾞｰﾀに含めない"), this),
                     "DelCDChk");
    DFormatLabel = new QLabel(QStringLiteral("データフォーマット"), this);
    DFormatCB = named(new TListCombo(this), "DFormatCB");
    DFormatCB->addItems(marrent::FormatItems());
    SpCodePanel = named(new QWidget(this), "SpCodePanel");
    BSpCodeNE = digits("BSpCodeNE", 3, 255, SpCodePanel);
    BSpCodeNE->setText(QStringLiteral("44"));
    BarDatChk = named(new QCheckBox(QStringLiteral("データチェックを使用する"), this), "BarDatChk");
    ChkGroup = named(new QGroupBox(this), "ChkGroup");
    ChkFldNoLabel = new QLabel(QStringLiteral("データＮｏ"), ChkGroup);
    ChkFldNoNE = digits("ChkFldNoNE", 2, 99, ChkGroup);
    ChkTopNE = digits("ChkTopNE", 4, 3500, ChkGroup);
    ChkDataSE = named(new TByteEdit(ChkGroup), "ChkDataSE");
    ChkDataSE->setMaxBytes(32);
    CmpOkNgCB = named(new TListCombo(ChkGroup), "CmpOkNgCB");
    CmpOkNgCB->addItems({addins::DataCheckModeItems()[0], addins::DataCheckModeItems()[1]});
    InpDatFixPanel = named(new QWidget(this), "InpDatFixPanel");
    InpDatTopNE = digits("InpDatTopNE", 4, limits.BarMaxLen, InpDatFixPanel);
    InpDatLenNE =
        digits("InpDatLenNE", 2, setBarType == 'D' ? limits.DKMaxStd : limits.NameMax, InpDatFixPanel);
    InpDatNoPanel = named(new QWidget(this), "InpDatNoPanel");
    InpDatNoNE = digits("InpDatNoNE", 4, 9999, InpDatNoPanel);

    auto *digitsRow = new QHBoxLayout;
    digitsRow->addWidget(caption::label(QStringLiteral("読取最大桁数"), BarMaxNE, this));
    digitsRow->addWidget(BarMaxNE);
    digitsRow->addWidget(caption::label(QStringLiteral("読取最小桁数"), BarMinNE, this));
    digitsRow->addWidget(BarMinNE);
    digitsRow->addStretch();
    auto *spRow = new QHBoxLayout(SpCodePanel);
    spRow->setContentsMargins(0, 0, 0, 0);
    spRow->addWidget(
        caption::label(QStringLiteral("区切りコード　　　　　（0～255）"), BSpCodeNE, SpCodePanel));
    // The label spaces its range out with blanks, which mean nothing read aloud.
    caption::name(BSpCodeNE, QStringLiteral("区切りコード　　　　　（0～255）"));
    spRow->addWidget(BSpCodeNE);
    auto *formatRow = new QHBoxLayout;
    caption::link(DFormatLabel, DFormatCB);
    formatRow->addWidget(DFormatLabel);
    formatRow->addWidget(DFormatCB);
    formatRow->addWidget(SpCodePanel);
    formatRow->addStretch();
    auto *chk = new QGridLayout(ChkGroup);
    caption::link(ChkFldNoLabel, ChkFldNoNE);
    chk->addWidget(ChkFldNoLabel, 0, 0);
    chk->addWidget(ChkFldNoNE, 0, 1);
    chk->addWidget(caption::label(QStringLiteral("チェックデータ位置"), ChkTopNE, ChkGroup), 0, 2);
    chk->addWidget(ChkTopNE, 0, 3);
    chk->addWidget(caption::label(QStringLiteral("チェックデータ"), ChkDataSE, ChkGroup), 1, 0);
    chk->addWidget(ChkDataSE, 1, 1, 1, 3);
    chk->addWidget(caption::label(QStringLiteral("チェック方法"), CmpOkNgCB, ChkGroup), 2, 0);
    chk->addWidget(CmpOkNgCB, 2, 1, 1, 3);
    auto *fix = new QHBoxLayout(InpDatFixPanel);
    fix->setContentsMargins(0, 0, 0, 0);
    fix->addWidget(caption::label(QStringLiteral("開始位置"), InpDatTopNE, InpDatFixPanel));
    fix->addWidget(InpDatTopNE);
    fix->addWidget(caption::label(QStringLiteral("桁数"), InpDatLenNE, InpDatFixPanel));
    fix->addWidget(InpDatLenNE);
    fix->addStretch();
    auto *no = new QHBoxLayout(InpDatNoPanel);
    no->setContentsMargins(0, 0, 0, 0);
    no->addWidget(caption::label(QStringLiteral("データＮｏ"), InpDatNoNE, InpDatNoPanel));
    no->addWidget(InpDatNoNE);
    no->addStretch();
    auto *select = new QGroupBox(QStringLiteral("入力データ選択"), this);
    auto *selectLayout = new QVBoxLayout(select);
    selectLayout->addWidget(InpDatFixPanel);
    selectLayout->addWidget(InpDatNoPanel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);

    auto *right = new QVBoxLayout;
    right->addLayout(digitsRow);
    right->addWidget(GTINChk);
    right->addWidget(DelCDChk);
    right->addLayout(formatRow);
    right->addWidget(BarDatChk);
    right->addWidget(ChkGroup);
    right->addWidget(select);
    right->addStretch();
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(Symbologies);
    layout->addLayout(right);

    SetFlag = true;
    connect(Symbologies, &TSymbologyBoxes::Changed, this, &TSetBarCodeForm::BoxChange);
    for (QCheckBox *box : {GTINChk, DelCDChk})
        connect(box, &QCheckBox::clicked, this, &TSetBarCodeForm::BoxChange);
    for (TNEdit *edit :
         {BarMaxNE, BarMinNE, ChkFldNoNE, ChkTopNE, InpDatTopNE, InpDatLenNE, InpDatNoNE, BSpCodeNE})
        connect(edit, &QLineEdit::textEdited, this, &TSetBarCodeForm::NEditChange);
    connect(ChkDataSE, &QLineEdit::textEdited, this, &TSetBarCodeForm::BoxChange);
    connect(CmpOkNgCB, &QComboBox::activated, this, &TSetBarCodeForm::BoxChange);
    connect(DFormatCB, &QComboBox::activated, this, &TSetBarCodeForm::DFormatCBChange);
    connect(BarDatChk, &QCheckBox::clicked, this, &TSetBarCodeForm::BarDatChkClick);

    // On 900 the book code box is hidden like the two-dimensional ones, but a ticked one (a stored
    // "a") is still written.
    const int bht = limits.BhtType;
    Symbologies->setShown(
        [bht](addins::Symbology s) {
            return addins::ModelOffers(s, bht) && !(s == addins::Symbology::Book && bht == 900);
        },
        addins::ShownOnModel(bht));
    GetBar();
    DspBarChkInp();
    SetFlag = false;
    ChangeFlag = false;
}

void TSetBarCodeForm::GetBar()
{
    Symbologies->GetBar(bar_.BarType, bar_.BarUser);
    if (bar_.BMax > 0)
        BarMaxNE->setText(QString::number(std::min(bar_.BMax, 3500)));
    if (bar_.BMin > 0)
        BarMinNE->setText(QString::number(std::min(bar_.BMin, 3500)));
    GTINChk->setChecked(bar_.BGTIN);
    DelCDChk->setChecked(bar_.BDelCD);
    // Only the product code can use separated formats.
    const bool product = setBarType_ == 'P';
    DFormatLabel->setEnabled(product);
    DFormatCB->setEnabled(product);
    DFormatCB->setCurrentIndex(product ? std::clamp(bar_.BFmt, 0, marrent::FormatCount - 1) : 0);
    if (DFormatCB->currentIndex() == marrent::SeparatorFormat)
        BSpCodeNE->setText(QString::number(bar_.BSpCode));
    if (bar_.BChkMode > 0) {
        BarDatChk->setChecked(true);
        CmpOkNgCB->setCurrentIndex(addins::DataCheckListIndex(bar_.BChkMode));
        ChkFldNoNE->setText(QString::number(bar_.BChkDNo));
        ChkTopNE->setText(QString::number(bar_.BChkTop));
        ChkDataSE->setBoundedText(bar_.BChkStr);
    } else {
        CmpOkNgCB->setCurrentIndex(0);
    }
    const int top = std::max(bar_.DTop, 1);
    if (separated()) {
        InpDatNoNE->setText(QString::number(top));
        InpDatLenNE->setText(QStringLiteral("1"));
    } else {
        InpDatTopNE->setText(QString::number(top));
        InpDatLenNE->setText(QString::number(std::max(bar_.DLen, 1)));
    }
}

bool TSetBarCodeForm::separated() const
{
    return DFormatCB->currentIndex() > 0;
}

void TSetBarCodeForm::DspBarChkInp()
{
    InpDatFixPanel->setVisible(!separated());
    InpDatNoPanel->setVisible(separated());
    SpCodePanel->setVisible(DFormatCB->currentIndex() == marrent::SeparatorFormat);
    ChkGroup->setVisible(BarDatChk->isChecked());
    ChkFldNoLabel->setVisible(separated());
    ChkFldNoNE->setVisible(separated());
}

void TSetBarCodeForm::BoxChange()
{
    markChanged();
}

void TSetBarCodeForm::NEditChange()
{
    if (SetFlag)
        return;
    if (auto *edit = qobject_cast<TNEdit *>(sender()); edit && edit->text() == QStringLiteral("0"))
        edit->clear();
    markChanged();
}

void TSetBarCodeForm::DFormatCBChange()
{
    if (SetFlag)
        return;
    DspBarChkInp();
    markChanged();
}

void TSetBarCodeForm::BarDatChkClick()
{
    if (SetFlag)
        return;
    DspBarChkInp();
    markChanged();
}

bool TSetBarCodeForm::CheckBar()
{
    const auto fail = [this](QWidget *control, const char16_t *message) {
        ShowBarError(control, QString::fromUtf16(message));
        return false;
    };
    if (Symbologies->SChkSetBar().isEmpty())
        return fail(Symbologies, u"読取バーコードを入力してください。");
    if (BarMaxNE->text().isEmpty())
        return fail(BarMaxNE, u"読取最大桁数を入力してください。");
    if (BarMinNE->text().isEmpty())
        return fail(BarMinNE, u"読取最小桁数を入力してください。");
    const int max = valueOr(BarMaxNE, 0);
    if (max < valueOr(BarMinNE, 9999))
        return fail(BarMaxNE, u"読取最大/最小桁数を再入力してください。");
    if (DFormatCB->currentIndex() == marrent::SeparatorFormat && BSpCodeNE->text().isEmpty())
        return fail(BSpCodeNE, u"区切りコードを入力してください。");
    if (BarDatChk->isChecked()) {
        if (separated() && ChkFldNoNE->text().isEmpty())
            return fail(ChkFldNoNE, u"データチェックのデータＮｏを入力してください。");
        if (ChkTopNE->text().isEmpty())
            return fail(ChkTopNE, u"データチェックのチェックデータ位置を入力してください。");
        if (ChkDataSE->text().isEmpty())
            return fail(ChkDataSE, u"チェックデータを入力してください。");
    }
    if (!separated()) {
        if (InpDatTopNE->text().isEmpty())
            return fail(InpDatTopNE, u"入力データ選択位置を入力してください。");
        if (InpDatLenNE->text().isEmpty())
            return fail(InpDatLenNE, u"入力データ選択桁数を入力してください。");
        const int top = valueOr(InpDatTopNE, 0);
        if (top < 1 || top > max || valueOr(InpDatLenNE, 9999) > max)
            return fail(InpDatTopNE, u"読取ﾊﾞｰｺｰﾄﾞの入力ﾃﾞｰﾀ選択を再設定してください。");
    } else if (InpDatNoNE->text().isEmpty()) {
        return fail(InpDatNoNE, u"入力データ選択のデータＮｏを入力してください。");
    }
    return true;
}

void TSetBarCodeForm::SetBar()
{
    bar_.BarType = Symbologies->SChkSetBar();
    bar_.BarUser = Symbologies->userBar();
    bar_.BMax = valueOr(BarMaxNE, limits_.BarMaxLen);
    bar_.BMin = valueOr(BarMinNE, 1);
    bar_.BGTIN = GTINChk->isChecked();
    bar_.BDelCD = DelCDChk->isChecked();
    bar_.BFmt = DFormatCB->currentIndex();
    bar_.BSpCode =
        bar_.BFmt == marrent::SeparatorFormat ? qint16(std::clamp(valueOr(BSpCodeNE, 0), 0, 255)) : 0;
    const addins::DataCheck check =
        addins::DataCheckFromDialog(BarDatChk->isChecked(), CmpOkNgCB->currentIndex(), valueOr(ChkFldNoNE, 1),
                                    valueOr(ChkTopNE, 1), ChkDataSE->text());
    bar_.BChkMode = check.BChkMode;
    bar_.BChkDNo = check.BChkDNo;
    bar_.BChkTop = check.BChkTop;
    bar_.BChkStr = check.BChkStr;
    if (separated()) {
        bar_.DTop = valueOr(InpDatNoNE, 0);
        bar_.DLen = 1;
    } else {
        bar_.DTop = valueOr(InpDatTopNE, 0);
        bar_.DLen = valueOr(InpDatLenNE, 9999);
    }
}
