#include "SetBz.h"

#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/ReturnMoves.h"
#include "addins/quillon/DialogRules.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/UiService.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace quillon;
using formkit::named;

namespace {

TNEdit *numberEdit(const char *name, int digits, int maxValue)
{
    auto *edit = named(new TNEdit, name);
    edit->SetMaxDegits(digits);
    edit->SetMaxValue(maxValue);
    edit->setFixedWidth(60);
    return edit;
}

QWidget *withUnit(QWidget *edit, const QString &unit)
{
    auto *panel = new QWidget;
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(unit));
    layout->addStretch();
    return panel;
}

} // namespace

TSetBzForm::TSetBzForm(TBzDat &target, bool &mainChangeFlag, QChar type, int model, QWidget *parent)
    : QDialog(parent), target_(target), mainChangeFlag_(mainChangeFlag)
{
    setObjectName(QStringLiteral("SetBzForm"));
    WavFileSE = named(new TByteEdit, "WavFileSE");
    WavFileSE->setMaxBytes(12);
    WavFileSE->setKeyFilter(addins::FileNameKey);
    WavFileSE->setToolTip(QStringLiteral("WAVファイル名を入力してください"));
    WavFileSE->setFixedWidth(120);
    WavPanel = named(withUnit(WavFileSE, QString()), "WavPanel");
    BzHzNE = numberEdit("BzHzNE", 4, 5000);
    BzCountNE = numberEdit("BzCountNE", 2, 99);
    BzOnTimeNE = numberEdit("BzOnTimeNE", 2, 99);
    BzOffTimeNE = numberEdit("BzOffTimeNE", 2, 99);
    BpVibCB = named(new TListCombo, "BpVibCB");
    BpVibCB->addItems(
        {QStringLiteral("ブザー"), QStringLiteral("バイブレータ"), QStringLiteral("ブザー＋バイブレータ")});
    EndBtn = formkit::button("EndBtn", QStringLiteral("確定"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    EndBtn->setEnabled(false);

    auto *form = new QFormLayout;
    // Each edit sits in a panel with its unit: the row's caption names the edit, not the panel.
    const auto unitRow = [this, form](const QString &text, QWidget *edit, QWidget *panel) {
        form->addRow(caption::label(text, edit, this), panel);
    };
    unitRow(QStringLiteral("WAVファイル"), WavFileSE, WavPanel);
    unitRow(QStringLiteral("周波数"), BzHzNE, withUnit(BzHzNE, QStringLiteral("Ｈｚ")));
    unitRow(QStringLiteral("鳴動回数"), BzCountNE, withUnit(BzCountNE, QStringLiteral("回")));
    unitRow(QStringLiteral("鳴動時間"), BzOnTimeNE, withUnit(BzOnTimeNE, QStringLiteral("1/10秒")));
    unitRow(QStringLiteral("休止時間"), BzOffTimeNE, withUnit(BzOffTimeNE, QStringLiteral("1/10秒")));
    form->addRow(caption::label(QStringLiteral("動作デバイス"), BpVibCB, this), BpVibCB);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    auto *moves = new ReturnMoves(this);
    using When = ReturnMoves::When;
    moves->add(WavFileSE, BzHzNE, When::Filled);
    moves->add(BzHzNE, BzCountNE, When::Filled);
    moves->add(BzCountNE, BzOnTimeNE, When::Filled);
    moves->add(BzOnTimeNE, BzOffTimeNE, When::Filled);
    moves->add(BzOffTimeNE, EndBtn, When::Filled);

    SetFlag = true;
    const bool ok = type == u'O';
    BzDat = target;
    setWindowTitle(ok ? QStringLiteral("OKブザー設定") : QStringLiteral("NGブザー設定"));
    const bool wav = model == 800 || model == 1300;
    WavFileSE->setBoundedText(wav ? BzDat.WavFile : QString());
    OldWavFile = BzDat.WavFile;
    BzHzNE->setText(QString::number(NormaliseBzHz(BzDat.BzHz, 0)));
    BzCountNE->setText(QString::number(BzDat.Count));
    BzOnTimeNE->setText(QString::number(BzDat.OnTime));
    BzOffTimeNE->setText(QString::number(BzDat.OffTime));
    BpVibCB->setCurrentIndex(BzDat.BpVib < 0 || BzDat.BpVib > 2 ? 0 : BzDat.BpVib);
    WavPanel->setEnabled(wav);

    connect(WavFileSE, &QLineEdit::textEdited, this, &TSetBzForm::WavFileSEChange);
    for (TNEdit *edit : {BzHzNE, BzCountNE, BzOnTimeNE, BzOffTimeNE})
        connect(edit, &QLineEdit::textEdited, this, &TSetBzForm::DataChange);
    connect(BpVibCB, &QComboBox::activated, this, &TSetBzForm::DataChange);
    connect(EndBtn, &QPushButton::clicked, this, &TSetBzForm::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetBzForm::CancelBtnClick);
    SetFlag = false;
}

void TSetBzForm::WavFileSEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    const addins::ChangeCheck check =
        WavFileChange(WavFileSE->text(), OldWavFile, WavFileSE->cursorPosition());
    if (check.accepted) {
        OldWavFile = check.text;
    } else {
        WavFileSE->setBoundedText(check.text);
        WavFileSE->setCursorPosition(check.caret);
        platform::ui().beep();
    }
    changed_ = true;
    EndBtn->setEnabled(true);
}

void TSetBzForm::DataChange()
{
    if (SetFlag)
        return;
    changed_ = true;
    EndBtn->setEnabled(true);
}

void TSetBzForm::EndBtnClick()
{
    const DialogFailure failure = CheckBzDialog(
        {WavFileSE->text(), BzHzNE->text(), BzCountNE->text(), BzOnTimeNE->text(), BzOffTimeNE->text()});
    if (!failure.passed()) {
        formkit::requestFocus(findChild<QWidget *>(failure.focus));
        formkit::showInputError(failure.message);
        return;
    }
    BzDat.WavFile = WavFileSE->text();
    // The terminal cannot sound 3 to 61 Hz; what it plays (62) is what is stored.
    BzDat.BzHz = NormaliseBzHz(int(NumberOf(BzHzNE->text()).value_or(0)), 0);
    BzDat.Count = int(NumberOf(BzCountNE->text()).value_or(1));
    BzDat.OnTime = int(NumberOf(BzOnTimeNE->text()).value_or(1));
    BzDat.OffTime = int(NumberOf(BzOffTimeNE->text()).value_or(1));
    BzDat.BpVib = BpVibCB->currentIndex();
    target_ = BzDat;
    if (changed_)
        mainChangeFlag_ = true;
    accept();
}

void TSetBzForm::CancelBtnClick()
{
    reject();
}
