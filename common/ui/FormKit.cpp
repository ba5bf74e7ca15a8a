#include "FormKit.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QWidget>

namespace formkit {

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

platform::MsgStyle inputErrorStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Exclamation;
    style.modality = platform::MsgModality::Task;
    style.foreground = true;
    return style;
}

platform::MsgStyle questionStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Question;
    style.buttons = platform::MsgButtons::YesNo;
    return style;
}

platform::MsgStyle stopStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Stop;
    return style;
}

platform::MsgStyle informationStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Information;
    return style;
}

void showInputError(const QString &text)
{
    platform::ui().messageBox(text, InputErrorCaption, inputErrorStyle());
}

bool askYes(const QString &text, const QString &caption)
{
    return platform::ui().messageBox(text, caption, questionStyle()) == platform::MsgResult::Yes;
}

namespace {

bool canTakeFocus(const QWidget *widget)
{
    return widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus);
}

class CloseRefusal : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool requestFocus(QWidget *target)
{
    if (target == nullptr)
        return false;
    if (target->isVisible() && target->isEnabled()) {
        target->setFocus(Qt::OtherFocusReason);
        return true;
    }
    const QWidget *window = target->window();
    for (QWidget *next = target->nextInFocusChain(); next != nullptr && next != target;
         next = next->nextInFocusChain()) {
        if (next->window() == window && canTakeFocus(next)) {
            next->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return false;
}

WindowLock::WindowLock(QWidget *window)
    : window_(window), closeRefusal_(new CloseRefusal(window)), wasEnabled_(window->isEnabled())
{
    window->installEventFilter(closeRefusal_);
    window->setEnabled(false);
}

WindowLock::~WindowLock()
{
    if (window_.isNull())
        return;
    window_->removeEventFilter(closeRefusal_);
    delete closeRefusal_;
    window_->setEnabled(wasEnabled_);
}

} // namespace formkit
