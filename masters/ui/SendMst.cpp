#include "SendMst.h"

#include "comm/ui/CorlissL.h"
#include "comm/ui/TransferPort.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "masters/MasterEditRules.h"
#include "masters/SendMstRules.h"
#include "platform/Cp932.h"
#include "platform/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using formkit::named;

TSendMstForm::TSendMstForm(const QString &comPort, int comSpeed, const QString &bhtName,
                           const QString &sendFile, const std::vector<int> &widths, QWidget *parent)
    : QDialog(parent), widths_(widths)
{
    setObjectName(QStringLiteral("SendMstForm"));
    setWindowTitle(masters::SendDialogCaption);
    Label1 = named(new QLabel(this), "Label1");
    Label2 = named(new QLabel(QStringLiteral("マスターファイル名"), this), "Label2");
    MfNameSE = named(new QLineEdit(this), "MfNameSE");
    MfNameSE->setAttribute(Qt::WA_InputMethodEnabled, false);
    MfNameSE->setFixedWidth(140);
    caption::link(Label2, MfNameSE);
    SendBtn = formkit::button("SendBtn", QStringLiteral("送信"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);

    auto *name = new QHBoxLayout;
    name->addWidget(Label2);
    name->addWidget(MfNameSE);
    name->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SendBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(name);
    layout->addLayout(buttons);

    MfNameSE->installEventFilter(this);
    connect(MfNameSE, &QLineEdit::textEdited, this, &TSendMstForm::MfNameSEChange);
    connect(SendBtn, &QPushButton::clicked, this, &TSendMstForm::SendBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSendMstForm::CancelBtnClick);

    // FormCreate
    ComPort = comPort;
    ComSpeed = comSpeed;
    BhtFile = bhtName;
    MfNameSE->setText(bhtName);
    SendFile = sendFile;
    Label1->setText(QString(masters::SendHint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    SendBtn->setEnabled(!MfNameSE->text().isEmpty());
}

bool TSendMstForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MfNameSE && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // MfNameSEKeyPress: only character keys are filtered; cursor keys and shortcuts pass.
        const QString text = enter ? QStringLiteral("\r") : key->text();
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && text.size() == 1 && (enter || text.at(0).isPrint())) {
            const int caret =
                MfNameSE->hasSelectedText() ? MfNameSE->selectionStart() : MfNameSE->cursorPosition();
            const masters::NameKey outcome = masters::MfNameSEKeyPress(MfNameSE->text(), caret, text.at(0));
            switch (outcome.action) {
            case masters::NameKey::Action::Pass:
                break;
            case masters::NameKey::Action::Swallow:
                return true;
            case masters::NameKey::Action::Refuse:
                platform::ui().beep();
                return true;
            case masters::NameKey::Action::Type: {
                // A typed key passed the filter at its caret: only the name's extension is left to check.
                typing_ = true;
                MfNameSE->insert(QString(outcome.key));
                MfNameSEChange();
                typing_ = false;
                return true;
            }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSendMstForm::MfNameSEChange()
{
    QString name = MfNameSE->text();
    // Pasted text goes through the key filter as if typed; what a deletion leaves was typed before,
    // so only its characters are looked at.
    bool accepted = true;
    if (typing_) {
        // Checked key by key already.
    } else if (name.size() < BhtFile.size()) {
        accepted = std::all_of(name.begin(), name.end(), [](QChar c) {
            return masters::MfNameSEKeyPress(QStringLiteral("A"), 1, c).action !=
                   masters::NameKey::Action::Refuse;
        });
    } else {
        accepted = masters::typedName(name).has_value();
    }
    if (!accepted || masters::isRefusedBhtName(name)) {
        const int caret = std::max(0, MfNameSE->cursorPosition() - 1);
        MfNameSE->setText(BhtFile);
        MfNameSE->setCursorPosition(std::min(caret, static_cast<int>(BhtFile.size())));
        platform::ui().beep();
    } else {
        if (name != name.toUpper()) {
            const int caret = MfNameSE->cursorPosition();
            name = name.toUpper();
            MfNameSE->setText(name);
            MfNameSE->setCursorPosition(caret);
        }
        BhtFile = name;
    }
    SendBtn->setEnabled(!MfNameSE->text().isEmpty());
}

void TSendMstForm::SendBtnClick()
{
    const QString name = MfNameSE->text();
    if (name.isEmpty())
        return;
    {
        const formkit::WindowLock lock(this);
        SentName = name;
        const int handle = openTransferPort(this, ComPort, ComSpeed);
        if (handle != -1) {
            const int result =
                YmSendFile(handle, platform::cp932::encode(SendFile), platform::cp932::encode(name),
                           platform::cp932::encode(masters::fieldList(widths_)));
            YmErrorMsg(masters::MasterSendOperation, result);
            YmComClose(handle);
        }
    }
    accept();
}

void TSendMstForm::CancelBtnClick()
{
    reject();
}
