#include "FilteredLineEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "common/UnheldText.h"
#include "platform/UiService.h"

FilteredLineEdit::FilteredLineEdit(QWidget *parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
}

void FilteredLineEdit::typeText(const QString &text)
{
    insert(text);
}

void FilteredLineEdit::enterText(const QString &text)
{
    if (isReadOnly() || text.isEmpty())
        return;
    // Refused whole, before any filter: the field keeps its text.
    const QString refusal = unheld::refusalMessage(text);
    if (!refusal.isEmpty()) {
        platform::MsgStyle style;
        style.icon = platform::MsgIcon::Exclamation;
        platform::ui().messageBox(refusal, unheld::Caption, style);
        return;
    }
    typeText(text);
}

void FilteredLineEdit::pasteFiltered()
{
    enterText(QGuiApplication::clipboard()->text());
}

void FilteredLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    // What the base control would type (AltGr combinations included) goes through the change path;
    // Ctrl shortcuts and editing keys stay with the base.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    const QString typed = event->text();
    // By code point: a character outside the BMP starts with a surrogate, which is not printable.
    if (!typed.isEmpty() && QChar::isPrint(typed.toUcs4().front()) && !control) {
        enterText(typed);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty() && event->replacementLength() == 0) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // The composition shows as usual; what is committed takes the change path.
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composing);
    enterText(event->commitString());
    event->accept();
}

QMenu *FilteredLineEdit::createFilteredContextMenu()
{
    QMenu *menu = createStandardContextMenu();
    // The base names its actions only by their (translated) captions, shortcut after a tab.
    const QString pasteCaption = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) == pasteCaption) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &FilteredLineEdit::pasteFiltered);
            action->setObjectName(QStringLiteral("edit-paste"));
        }
    }
    return menu;
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createFilteredContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void FilteredLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the X11 selection.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        if (rect().contains(event->position().toPoint())) {
            deselect();
            enterText(QGuiApplication::clipboard()->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
