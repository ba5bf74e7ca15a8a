#include "common/ui/Caption.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

namespace caption {

namespace {

// Qt names a control after its buddy label's current text, but only from a label with the same
// parent; a list or a table reads only its accessible name, and a combo box on Linux gives its
// current item as its name and announces its caption as the label it is labelled by.
bool namedByBuddy(const QLabel *label, const QWidget *control)
{
    return label->parentWidget() == control->parentWidget() &&
           !qobject_cast<const QAbstractItemView *>(control) && !qobject_cast<const QComboBox *>(control);
}

// A plain tool button as assistive technology sees it, pressed once the call that pressed it is over.
class QueuedPressButton final : public QAccessibleWidget {
public:
    explicit QueuedPressButton(QToolButton *button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            // "&&" shows one ampersand; a single one marks the mnemonic and is not read.
            QString caption = button()->text();
            caption.replace(QLatin1String("&&"), QStringLiteral("\u0001"));
            caption.remove(QLatin1Char('&'));
            return caption.replace(QChar(1), QLatin1Char('&'));
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!widget()->isEnabled())
            return;
        // The button as context: a button gone before the call returned is not clicked.
        QTimer::singleShot(0, button(), &QAbstractButton::click);
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QToolButton *button() const { return static_cast<QToolButton *>(widget()); }
};

QAccessibleInterface *queuedPressFactory(const QString &className, QObject *object)
{
    // Exactly a tool button: a subclass (a tool bar's extension arrow) has Qt's handling of its own.
    if (!object || object->metaObject() != &QToolButton::staticMetaObject ||
        className != QLatin1String(QToolButton::staticMetaObject.className()))
        return nullptr;
    auto *button = static_cast<QToolButton *>(object);
    if (button->menu() || button->isCheckable())
        return nullptr;
    return new QueuedPressButton(button);
}

} // namespace

void pressToolButtonsAfterTheCall()
{
    // The factory installed last is asked first, so this one comes before Qt's own.
    static const bool installed = [] {
        QAccessible::installFactory(queuedPressFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

void link(QLabel *label, QWidget *control)
{
    label->setBuddy(control);
    if (!namedByBuddy(label, control))
        name(control, label->text());
}

QLabel *label(const QString &text, QWidget *control, QWidget *parent)
{
    auto *created = new QLabel(text, parent);
    link(created, control);
    return created;
}

void name(QWidget *control, const QString &caption)
{
    // Blanks that align a caption on the form mean nothing read aloud.
    control->setAccessibleName(caption.simplified());
}

} // namespace caption
