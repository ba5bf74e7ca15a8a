#include "SetBt.h"

#include "DialogSize.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;

namespace {

const QString Caption = QStringLiteral("Bluetooth設定");

QLineEdit *textEdit(const char *name, int maxLength, QWidget *parent)
{
    auto *edit = named(new QLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(150);
    // Names, addresses and keys are half-width.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    return edit;
}

} // namespace

TSetBtForm::TSetBtForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetBtForm"));
    setWindowTitle(QStringLiteral("Bluetooth通信環境設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    DevName = textEdit("DevName", 16, this);
    ModeCB = named(new TListCombo(this), "ModeCB");
    ModeCB->addItems({QStringLiteral("マスタ"), QStringLiteral("スレーブ")});
    TimeOutNE = named(new TNEdit(this), "TimeOutNE");
    TimeOutNE->SetMaxDegits(3);
    TimeOutNE->SetMinValue(1);
    TimeOutNE->SetMaxValue(255);
    TimeOutNE->setMaxLength(3);
    TimeOutNE->setFixedWidth(43);
    BtAdrLabel = named(new QLabel(QStringLiteral("ﾃﾞｰﾀ転送先ｱﾄﾞﾚｽ"), this), "BtAdrLabel");
    BtAdrSE = textEdit("BtAdrSE", 12, this);
    SecurityCB = named(new TListCombo(this), "SecurityCB");
    SecurityCB->addItems({QStringLiteral("なし"), QStringLiteral("サービス"), QStringLiteral("リンク")});
    PassKeyLabel = named(new QLabel(QStringLiteral("パスキー"), this), "PassKeyLabel");
    PassKeySE = textEdit("PassKeySE", 16, this);
    EndBtn = formkit::button("EndBtn", QStringLiteral("確定"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("取消"), this);
    formkit::dropEnter(BtAdrSE);

    auto *grid = new QGridLayout;
    grid->addWidget(caption::label(QStringLiteral("デバイス名"), DevName, this), 0, 0);
    grid->addWidget(DevName, 0, 1, Qt::AlignLeft);
    grid->addWidget(caption::label(QStringLiteral("動作モード"), ModeCB, this), 1, 0);
    grid->addWidget(ModeCB, 1, 1, Qt::AlignLeft);
    auto *timeOut = new QHBoxLayout;
    timeOut->addWidget(TimeOutNE);
    timeOut->addWidget(new QLabel(QStringLiteral("秒"), this));
    timeOut->addStretch(1);
    grid->addWidget(caption::label(QStringLiteral("接続時ﾀｲﾑｱｳﾄ"), TimeOutNE, this), 2, 0);
    grid->addLayout(timeOut, 2, 1);
    caption::link(BtAdrLabel, BtAdrSE);
    grid->addWidget(BtAdrLabel, 3, 0);
    grid->addWidget(BtAdrSE, 3, 1, Qt::AlignLeft);
    grid->addWidget(caption::label(QStringLiteral("セキュリティ"), SecurityCB, this), 4, 0);
    grid->addWidget(SecurityCB, 4, 1, Qt::AlignLeft);
    caption::link(PassKeyLabel, PassKeySE);
    grid->addWidget(PassKeyLabel, 5, 0);
    grid->addWidget(PassKeySE, 5, 1, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // The size with the address and the pass key shown: their rows come and go, the dialog stays.
    keepLargestSize(*this, 1, [](int) {});

    connect(ModeCB, &QComboBox::activated, this, &TSetBtForm::ModeCBChange);
    connect(SecurityCB, &QComboBox::activated, this, &TSetBtForm::SecurityCBChange);
    connect(EndBtn, &QPushButton::clicked, this, &TSetBtForm::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetBtForm::CancelBtnClick);
    connect(DevName, &QLineEdit::textEdited, this,
            [this] { filterEdit(DevName, lastDevName_, basepage::BtNameKey); });
    connect(PassKeySE, &QLineEdit::textEdited, this,
            [this] { filterEdit(PassKeySE, lastPassKey_, basepage::BtNameKey); });
    connect(BtAdrSE, &QLineEdit::textEdited, this,
            [this] { filterEdit(BtAdrSE, lastAdr_, basepage::BtAdrFilter); });

    fill(basepage::BtFormValues());
}

void TSetBtForm::fill(const basepage::BtFormValues &v)
{
    DevName->setText(v.DevName);
    ModeCB->setCurrentIndex(v.ModeCB);
    BtAdrSE->setText(v.BtAdrSE);
    TimeOutNE->setText(v.TimeOutNE);
    SecurityCB->setCurrentIndex(v.SecurityCB);
    PassKeySE->setText(v.PassKeySE);
    lastDevName_ = DevName->text();
    lastAdr_ = BtAdrSE->text();
    lastPassKey_ = PassKeySE->text();
    ModeCBChange();
    SecurityCBChange();
}

basepage::BtFormValues TSetBtForm::values() const
{
    return {DevName->text(),   ModeCB->currentIndex(),     BtAdrSE->text(),
            TimeOutNE->text(), SecurityCB->currentIndex(), PassKeySE->text()};
}

void TSetBtForm::filterEdit(QLineEdit *edit, QString &last, basepage::KeyFilter filter)
{
    const basepage::FileNameText typed = basepage::TypeEdited(last, edit->text(), filter);
    if (typed.text != edit->text()) {
        edit->setText(typed.text);
        edit->setCursorPosition(typed.caret);
    }
    if (typed.beep)
        platform::ui().beep();
    last = typed.text;
}

void TSetBtForm::ModeCBChange()
{
    const bool shown = basepage::BtAdrVisible(ModeCB->currentIndex());
    BtAdrLabel->setVisible(shown);
    BtAdrSE->setVisible(shown);
}

void TSetBtForm::SecurityCBChange()
{
    const bool shown = basepage::BtPassKeyVisible(SecurityCB->currentIndex());
    PassKeyLabel->setVisible(shown);
    PassKeySE->setVisible(shown);
}

void TSetBtForm::EndBtnClick()
{
    const platform::MsgStyle style = formkit::inputErrorStyle();
    if (DevName->text().isEmpty()) {
        platform::ui().messageBox(QStringLiteral("デバイス名を入力してください。"), Caption, style);
        formkit::requestFocus(DevName);
        return;
    }
    if (TimeOutNE->text().isEmpty()) {
        platform::ui().messageBox(QStringLiteral("タイムアウトを入力してください。"), Caption, style);
        formkit::requestFocus(TimeOutNE);
        return;
    }
    accept();
}

void TSetBtForm::CancelBtnClick()
{
    DevName->clear();
    reject();
}
