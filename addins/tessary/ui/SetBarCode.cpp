#include "SetBarCode.h"

#include "Main.h"
#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/Cp932.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

using addins::Symbology;

namespace {

TNEdit *numberEdit(const char *name, int max, QWidget *parent)
{
    auto *edit = formkit::named(new TNEdit(parent), name);
    edit->SetMaxDegits(4);
    edit->SetMinValue(0);
    edit->SetMaxValue(max);
    edit->setFixedWidth(56);
    return edit;
}

std::optional<int> valueOf(const QLineEdit *edit)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void showValue(QLineEdit *edit, int value)
{
    if (value > 0)
        edit->setText(QString::number(value));
}

// The terminal's two-dimensional codes and the book code are read on these models only.
bool FullReader(int model)
{
    return model == 300 || model == 500 || model == 600 || model == 800 || model == 1300;
}

// A delete character is one byte: multi-byte characters are refused like any other bad key.
addins::KeyOutcome SingleByteKey(const QString &, int, QChar key)
{
    if (key == addins::EnterKey)
        return addins::KeyOutcome::swallow();
    if (key == addins::BackspaceKey || key.isNull())
        return addins::KeyOutcome::type(key);
    return platform::cp932::byteLength(QString(key)) == 1 ? addins::KeyOutcome::type(key)
                                                          : addins::KeyOutcome::refuse();
}

QString fullWidthDigit(int n)
{
    return QString(QChar(u'０' + n));
}

} // namespace

TSetBarCodeForm::TSetBarCodeForm(TMainForm &main, BarRole role, QWidget *parent)
    : TSetBarCodeBase(main.ChangeFlag, parent), main_(main), role_(role)
{
    setObjectName(QStringLiteral("SetBarCodeForm"));
    const TModel &model = *main.Model;
    auto *top = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);

    BarTypeGB = formkit::named(new TSymbologyBoxes(this), "BarTypeGB");
    left->addWidget(BarTypeGB);
    auto *digits = new QHBoxLayout;
    BarMaxNE = numberEdit("BarMaxNE", model.BarMaxLen, this);
    BarMinNE = numberEdit("BarMinNE", model.BarMaxLen, this);
    digits->addWidget(caption::label(QStringLiteral("読取桁数 最大"), BarMaxNE, this));
    digits->addWidget(BarMaxNE);
    digits->addWidget(caption::label(QStringLiteral("桁 最小"), BarMinNE, this));
    // The caption reads across the maximum's unit; read aloud, the minimum needs the caption's head.
    caption::name(BarMinNE, QStringLiteral("読取桁数 最小"));
    digits->addWidget(BarMinNE);
    digits->addWidget(new QLabel(QStringLiteral("桁"), this));
    digits->addStretch();
    left->addLayout(digits);

    GTINChk =
        formkit::named(new QCheckBox(QStringLiteral("JAN/EAN/UPC を GTINコードに変換"), this), "GTINChk");
    DelCDChk = formkit::named(
        new QCheckBox(QStringLiteral("ITF/STF/NW7/Code39 のﾁｪｯｸﾃﾞｼﾞｯﾄをﾃﾞｰﾀに含めない"), this), "DelCDChk");
    right->addWidget(GTINChk);
    right->addWidget(DelCDChk);

    auto *format = new QHBoxLayout;
    DFormatLabel = new QLabel(QStringLiteral("データフォーマット"), this);
    DFormatCB = formkit::named(new TListCombo(this), "DFormatCB");
    for (const QString &item : FormatItems())
        DFormatCB->addItem(item);
    caption::link(DFormatLabel, DFormatCB);
    format->addWidget(DFormatLabel);
    format->addWidget(DFormatCB);
    format->addStretch();
    right->addLayout(format);

    BarDatChk = formkit::named(new QCheckBox(QStringLiteral("データチェックを使用する"), this), "BarDatChk");
    right->addWidget(BarDatChk);
    BarChkGB = formkit::named(new QGroupBox(this), "BarChkGB");
    auto *check = new QGridLayout(BarChkGB);
    auto *position = new QHBoxLayout;
    ChkFldNoLabel = new QLabel(QStringLiteral("データＮｏ"), BarChkGB);
    ChkFldNoNE = numberEdit("ChkFldNoNE", 99, BarChkGB);
    ChkFldNoNE->SetMaxDegits(2);
    ChkTopNE = numberEdit("ChkTopNE", 9999, BarChkGB);
    caption::link(ChkFldNoLabel, ChkFldNoNE);
    position->addWidget(ChkFldNoLabel);
    position->addWidget(ChkFldNoNE);
    position->addWidget(caption::label(QStringLiteral("チェックデータ位置"), ChkTopNE, BarChkGB));
    position->addWidget(ChkTopNE);
    position->addWidget(new QLabel(QStringLiteral("桁目から"), BarChkGB));
    position->addStretch();
    check->addLayout(position, 0, 0, 1, 2);
    ChkDataSE = formkit::named(new TByteEdit(BarChkGB), "ChkDataSE");
    ChkDataSE->setMaxBytes(32);
    check->addWidget(caption::label(QStringLiteral("チェックデータ"), ChkDataSE, BarChkGB), 1, 0);
    check->addWidget(ChkDataSE, 1, 1);
    CmpOkNgCB = formkit::named(new TListCombo(BarChkGB), "CmpOkNgCB");
    for (const QString &item : addins::DataCheckModeItems())
        CmpOkNgCB->addItem(item);
    check->addWidget(caption::label(QStringLiteral("チェック方法"), CmpOkNgCB, BarChkGB), 2, 0);
    check->addWidget(CmpOkNgCB, 2, 1);
    right->addWidget(BarChkGB);

    InpDatPanel = formkit::named(new QFrame(this), "InpDatPanel");
    auto *selection = new QHBoxLayout(InpDatPanel);
    InpDatTopNE = numberEdit("InpDatTopNE", 9999, InpDatPanel);
    InpDatLenNE = numberEdit("InpDatLenNE", 3500, InpDatPanel);
    selection->addWidget(caption::label(QStringLiteral("データ選択"), InpDatTopNE, InpDatPanel));
    selection->addWidget(InpDatTopNE);
    selection->addWidget(caption::label(QStringLiteral("桁目から"), InpDatLenNE, InpDatPanel));
    caption::name(InpDatLenNE, QStringLiteral("データ選択 桁"));
    selection->addWidget(InpDatLenNE);
    selection->addWidget(new QLabel(QStringLiteral("桁"), InpDatPanel));
    selection->addStretch();
    right->addWidget(InpDatPanel);

    CmpDatGB = formkit::named(new QGroupBox(this), "CmpDatGB");
    auto *rows = new QVBoxLayout(CmpDatGB);
    BarDataLabel = new QLabel(QStringLiteral("バーコードデータ"), CmpDatGB);
    rows->addWidget(BarDataLabel);
    for (int i = 0; i < CmpDataCount; ++i) {
        const std::size_t k = std::size_t(i);
        const QByteArray n = QByteArray::number(i + 1);
        CmpRow[k] = new QFrame(CmpDatGB);
        auto *row = new QHBoxLayout(CmpRow[k]);
        row->setContentsMargins(0, 0, 0, 0);
        const QString rowCaption = QStringLiteral("照合データ") + fullWidthDigit(i + 1);
        QLabel *rowLabel = new QLabel(rowCaption, CmpRow[k]);
        row->addWidget(rowLabel);
        CmpFixedPanel[k] = new QFrame(CmpRow[k]);
        auto *fixed = new QHBoxLayout(CmpFixedPanel[k]);
        fixed->setContentsMargins(0, 0, 0, 0);
        CmpTopNE[k] = numberEdit(("Cmp" + n + "TopNE").constData(), 9999, CmpFixedPanel[k]);
        CmpLenNE[k] = numberEdit(("Cmp" + n + "LenNE").constData(), 3500, CmpFixedPanel[k]);
        fixed->addWidget(CmpTopNE[k]);
        fixed->addWidget(new QLabel(QStringLiteral("桁目から"), CmpFixedPanel[k]));
        fixed->addWidget(CmpLenNE[k]);
        fixed->addWidget(new QLabel(QStringLiteral("桁"), CmpFixedPanel[k]));
        CmpDnoPanel[k] = new QFrame(CmpRow[k]);
        auto *number = new QHBoxLayout(CmpDnoPanel[k]);
        number->setContentsMargins(0, 0, 0, 0);
        CmpDnoNE[k] = numberEdit(("Cmp" + n + "DnoNE").constData(), 99, CmpDnoPanel[k]);
        CmpDnoNE[k]->SetMaxDegits(2);
        number->addWidget(caption::label(QStringLiteral("データＮｏ"), CmpDnoNE[k], CmpDnoPanel[k]));
        // The row's caption stands before them all; read aloud, each is told apart by its unit.
        caption::link(rowLabel, CmpTopNE[k]);
        caption::name(CmpTopNE[k], rowCaption + QStringLiteral(" 桁目から"));
        caption::name(CmpLenNE[k], rowCaption + QStringLiteral(" 桁"));
        caption::name(CmpDnoNE[k], rowCaption + QStringLiteral(" データＮｏ"));
        number->addWidget(CmpDnoNE[k]);
        row->addWidget(CmpFixedPanel[k]);
        row->addWidget(CmpDnoPanel[k]);
        row->addStretch();
        rows->addWidget(CmpRow[k]);
    }
    DelCharChk = formkit::named(new QCheckBox(QStringLiteral("指定文字を削除する"), CmpDatGB), "DelCharChk");
    DelCharPanel = formkit::named(new QFrame(CmpDatGB), "DelCharPanel");
    auto *del = new QHBoxLayout(DelCharPanel);
    del->setContentsMargins(0, 0, 0, 0);
    DelCharSE = formkit::named(new TByteEdit(DelCharPanel), "DelCharSE");
    DelCharSE->setMaxBytes(3);
    DelCharSE->setKeyFilter(SingleByteKey);
    del->addWidget(caption::label(QStringLiteral("削除する文字"), DelCharSE, DelCharPanel));
    del->addWidget(DelCharSE);
    del->addStretch();
    rows->addWidget(DelCharChk);
    rows->addWidget(DelCharPanel);
    right->addWidget(CmpDatGB);
    right->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    right->addLayout(buttons);

    // FormCreate
    formkit::LoadingGuard loading(SetFlag);
    const int bht = model.BhtType;
    BarTypeGB->setShown([bht](Symbology s) {
        if (s == Symbology::IQr)
            return bht == 1300;
        if (s == Symbology::Book || s == Symbology::Qr || s == Symbology::MaxiCode ||
            s == Symbology::Pdf417 || s == Symbology::DataMatrix || s == Symbology::Composite)
            return FullReader(bht);
        return true;
    });

    connect(BarTypeGB, &TSymbologyBoxes::Changed, this, &TSetBarCodeForm::BarChkClick);
    for (QCheckBox *box : {GTINChk, DelCDChk})
        connect(box, &QCheckBox::clicked, this, &TSetBarCodeForm::BarChkClick);
    connect(BarMaxNE, &QLineEdit::textEdited, this, &TSetBarCodeForm::BarMaxNEChange);
    for (TNEdit *edit : {BarMinNE, ChkFldNoNE, ChkTopNE, InpDatTopNE, InpDatLenNE})
        connect(edit, &QLineEdit::textEdited, this, &TSetBarCodeForm::NEDataChange);
    for (int i = 0; i < CmpDataCount; ++i)
        for (TNEdit *edit : {CmpTopNE[std::size_t(i)], CmpLenNE[std::size_t(i)], CmpDnoNE[std::size_t(i)]})
            connect(edit, &QLineEdit::textEdited, this, &TSetBarCodeForm::NEDataChange);
    for (TNEdit *edit : {ChkTopNE, InpDatTopNE})
        connectTopKey(edit);
    for (TNEdit *edit : CmpTopNE)
        connectTopKey(edit);
    connect(CmpOkNgCB, &QComboBox::activated, this, &TSetBarCodeForm::BarChkClick);
    connect(ChkDataSE, &QLineEdit::textEdited, this, &TSetBarCodeForm::BarChkClick);
    connect(DelCharSE, &QLineEdit::textEdited, this, &TSetBarCodeForm::BarChkClick);
    connect(DFormatCB, &QComboBox::activated, this, &TSetBarCodeForm::DFormatCBChange);
    connect(BarDatChk, &QCheckBox::clicked, this, &TSetBarCodeForm::BarDatChkClick);
    connect(DelCharChk, &QCheckBox::clicked, this, &TSetBarCodeForm::DelCharChkClick);

    GetBar();
    applyLayout();
    setWindowTitle(main.itemNameOf(role) + QStringLiteral(" バーコード読取設定 (BHT-") +
                   QString::number(bht) + QStringLiteral(")"));
    ChangeFlag = false;
}

void TSetBarCodeForm::setLengthMaximum(int maximum)
{
    BarMinNE->SetMaxValue(maximum);
    InpDatLenNE->SetMaxValue(maximum);
    for (TNEdit *edit : CmpLenNE)
        edit->SetMaxValue(maximum);
}

void TSetBarCodeForm::GetBar()
{
    const TModel &model = *main_.Model;
    TBarDat bar = main_.barOf(role_);
    BarTypeGB->GetBar(bar.BarType, bar.BarUser);
    const int m = bar.BMax > model.BarMaxLen || bar.BMax < 1 ? model.BarMaxLen : bar.BMax;
    BarMaxNE->setText(QString::number(m));
    setLengthMaximum(m);
    BarMinNE->setText(QString::number(std::max(1, std::min(bar.BMin, m))));
    GTINChk->setChecked(bar.BGTIN);
    DelCDChk->setChecked(bar.BDelCD);

    const int count = main_.state().CmpDatCnt;
    const bool formatEnabled = role_ != BarRole::DataKind && count > 0;
    format_ = formatEnabled ? std::clamp(bar.BFmt, 0, FormatCount - 1) : FixedLengthFormat;
    // Format 8 has no list item: none is chosen, and the stored letter stays until another is.
    DFormatCB->setCurrentIndex(format_ < DFormatCB->count() ? format_ : -1);

    BarDatChk->setChecked(bar.BChkMode > 0);
    CmpOkNgCB->setCurrentIndex(addins::DataCheckListIndex(bar.BChkMode));
    showValue(ChkFldNoNE, bar.BChkDNo);
    showValue(ChkTopNE, bar.BChkTop);
    ChkDataSE->setBoundedText(bar.BChkStr);

    for (int i = 0; i < CmpDataCount; ++i) {
        const std::size_t k = std::size_t(i);
        if (bar.DTop[k] > m && bar.DTop[k] != model.SpTopPos)
            bar.DTop[k] = m;
        if (bar.Dlen[k] > m)
            bar.Dlen[k] = m;
    }
    if (role_ == BarRole::DataKind) {
        showValue(InpDatTopNE, bar.DTop[0]);
        showValue(InpDatLenNE, bar.Dlen[0]);
    } else if (count == 0) {
        for (QLineEdit *edit : {static_cast<QLineEdit *>(CmpTopNE[0]), static_cast<QLineEdit *>(CmpLenNE[0]),
                                static_cast<QLineEdit *>(CmpDnoNE[0]), static_cast<QLineEdit *>(InpDatTopNE),
                                static_cast<QLineEdit *>(InpDatLenNE)})
            edit->setText(QStringLiteral("1"));
    } else {
        // Both kinds of row are filled, so a change of format never starts from empty edits.
        for (int i = 0; i < CmpDataCount; ++i) {
            const std::size_t k = std::size_t(i);
            showValue(CmpDnoNE[k], bar.DIdNo[k]);
            showValue(CmpTopNE[k], bar.DTop[k]);
            showValue(CmpLenNE[k], bar.Dlen[k]);
        }
    }
    DelCharChk->setChecked(role_ != BarRole::DataKind && bar.DelChrCn >= 1);
    DelCharSE->setBoundedText(bar.DelChar);
}

void TSetBarCodeForm::applyLayout()
{
    const BarDialogLayout l = LayoutBarDialog(role_, main_.state().CmpDatCnt, format_, BarDatChk->isChecked(),
                                              DelCharChk->isChecked());
    DFormatLabel->setEnabled(l.formatEnabled);
    DFormatCB->setEnabled(l.formatEnabled);
    BarChkGB->setVisible(l.dataCheckShown);
    ChkFldNoLabel->setVisible(l.checkNumberShown);
    ChkFldNoNE->setVisible(l.checkNumberShown);
    InpDatPanel->setVisible(l.selectionShown);
    CmpDatGB->setTitle(l.groupCaption);
    BarDataLabel->setVisible(l.headShown);
    for (int i = 0; i < CmpDataCount; ++i) {
        const std::size_t k = std::size_t(i);
        CmpRow[k]->setVisible(l.rowShown[k]);
        CmpFixedPanel[k]->setVisible(!l.rowsByNumber);
        CmpDnoPanel[k]->setVisible(l.rowsByNumber);
    }
    DelCharChk->setVisible(l.delCharShown);
    DelCharPanel->setVisible(l.delCharPanelShown);
    CmpDatGB->setVisible(l.delCharShown || l.headShown);
}

BarDialogInput TSetBarCodeForm::input() const
{
    BarDialogInput in;
    in.role = role_;
    in.partialCount = main_.state().CmpDatCnt;
    in.letters = BarTypeGB->SChkSetBar();
    in.BarMax = valueOf(BarMaxNE);
    in.BarMin = valueOf(BarMinNE);
    in.dataCheck = BarDatChk->isChecked();
    in.format = format_;
    in.ChkFldNo = valueOf(ChkFldNoNE);
    in.ChkTop = valueOf(ChkTopNE);
    in.ChkData = ChkDataSE->text();
    in.InpDatTop = valueOf(InpDatTopNE);
    in.InpDatLen = valueOf(InpDatLenNE);
    for (int i = 0; i < CmpDataCount; ++i) {
        const std::size_t k = std::size_t(i);
        in.CmpTop[k] = valueOf(CmpTopNE[k]);
        in.CmpLen[k] = valueOf(CmpLenNE[k]);
        in.CmpDno[k] = valueOf(CmpDnoNE[k]);
    }
    in.delChar = DelCharChk->isChecked();
    in.DelChar = DelCharSE->text();
    return in;
}

bool TSetBarCodeForm::CheckBar()
{
    const std::optional<BarDialogFailure> failure = CheckBarDialog(input(), *main_.Model);
    if (!failure)
        return true;
    ShowBarError(findChild<QWidget *>(failure->control), failure->message);
    return false;
}

void TSetBarCodeForm::SetBar()
{
    const TModel &model = *main_.Model;
    const BarDialogInput in = input();
    TBarDat &bar = main_.barOf(role_);
    bar.BarType = in.letters;
    bar.BarUser = BarTypeGB->userBar();
    bar.BMax = in.BarMax.value_or(model.BarMaxLen);
    bar.BMin = in.BarMin.value_or(1);
    bar.BGTIN = GTINChk->isChecked();
    bar.BDelCD = DelCDChk->isChecked();
    bar.BFmt = format_;
    const addins::DataCheck check = addins::DataCheckFromDialog(
        in.dataCheck, CmpOkNgCB->currentIndex(), in.ChkFldNo.value_or(1), in.ChkTop.value_or(1), in.ChkData);
    bar.BChkMode = check.BChkMode;
    bar.BChkDNo = check.BChkDNo;
    bar.BChkTop = check.BChkTop;
    bar.BChkStr = check.BChkStr;
    if (role_ == BarRole::DataKind) {
        bar.DIdNo[0] = 1;
        bar.DTop[0] = in.InpDatTop.value_or(1);
        bar.Dlen[0] = in.InpDatLen.value_or(1);
    } else {
        for (int i = 0; i < CmpDataCount; ++i) {
            const std::size_t k = std::size_t(i);
            if (Delimited(format_)) {
                bar.DIdNo[k] = in.CmpDno[k].value_or(1);
                bar.DTop[k] = 1;
                bar.Dlen[k] = 1;
            } else {
                bar.DIdNo[k] = 1;
                bar.DTop[k] = in.CmpTop[k].value_or(1);
                bar.Dlen[k] = in.CmpLen[k].value_or(1);
            }
        }
    }
    bar.DelChar = in.DelChar;
    bar.DelChrCn =
        role_ != BarRole::DataKind && in.delChar ? int(platform::cp932::byteLength(in.DelChar)) : 0;
}

void TSetBarCodeForm::connectTopKey(TNEdit *edit)
{
    // TopNEKeyPress
    connect(edit, &TNEdit::KeyPress, this, [this, edit](QChar &key) {
        if (!key.isDigit())
            return;
        const TModel &model = *main_.Model;
        const int a = valueOf(BarMaxNE).value_or(model.BarMaxLen);
        const int value = (edit->text() + key).toInt();
        const bool step = value == 9 || value == 99 || value == 999 || value == model.SpTopPos;
        if (!step) {
            markChanged();
            if (value > a)
                key = QChar();
        }
    });
}

void TSetBarCodeForm::BarChkClick()
{
    if (SetFlag)
        return;
    markChanged();
}

void TSetBarCodeForm::NEDataChange()
{
    if (SetFlag)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(sender()); edit && edit->text() == QLatin1String("0")) {
        formkit::LoadingGuard loading(SetFlag);
        edit->clear();
    }
    markChanged();
}

void TSetBarCodeForm::BarMaxNEChange()
{
    if (SetFlag)
        return;
    if (const std::optional<int> largest = valueOf(BarMaxNE)) {
        formkit::LoadingGuard loading(SetFlag);
        setLengthMaximum(*largest);
        if (valueOf(BarMinNE).value_or(0) > *largest)
            BarMinNE->setText(QString::number(*largest));
    }
    markChanged();
}

void TSetBarCodeForm::DFormatCBChange()
{
    if (SetFlag)
        return;
    format_ = std::max(0, DFormatCB->currentIndex());
    applyLayout();
    markChanged();
}

void TSetBarCodeForm::BarDatChkClick()
{
    if (SetFlag)
        return;
    applyLayout();
    markChanged();
}

void TSetBarCodeForm::DelCharChkClick()
{
    if (SetFlag)
        return;
    applyLayout();
    markChanged();
}

} // namespace tessary
