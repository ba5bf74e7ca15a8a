#include "FormKit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QSizePolicy>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace formkit {
namespace {

bool isEnterKey(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

bool isEnter(const QKeyEvent *key)
{
    // The keypad's Enter carries the keypad modifier; any other modifier makes it another key.
    return isEnterKey(key) && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Return or Enter presses the button that has the focus, as Space does. A push button this way is
// not an auto-default one: that one would become the window's default once it had the focus and be
// pressed later by Return in an edit.
template <typename Button> class EnterPressed final : public Button {
public:
    using Button::Button;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (isEnter(event)) {
            if (!event->isAutoRepeat())
                this->click();
            event->accept();
            return;
        }
        Button::keyPressEvent(event);
    }
};

class EnterDrop final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent *>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = named(new EnterPressed<QPushButton>(caption, parent), name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QToolButton *toolButton(QToolBar *bar, const char *name, const QString &caption)
{
    auto *b = named(new EnterPressed<QToolButton>(bar), name);
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::StrongFocus);
    bar->addWidget(b);
    return b;
}

void keepPlaceWhenHidden(QWidget *control)
{
    QSizePolicy policy = control->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    control->setSizePolicy(policy);
}

void dropEnter(QWidget *control)
{
    control->installEventFilter(new EnterDrop(control));
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
    : window_(window), focus_(window->focusWidget()), closeRefusal_(new CloseRefusal(window)),
      wasEnabled_(window->isEnabled())
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
    // Disabling the window took the focus from the control the operator used.
    if (wasEnabled_ && !focus_.isNull())
        requestFocus(focus_);
}

} // namespace formkit
