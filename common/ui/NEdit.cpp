#include "NEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "platform/UiService.h"

TNEdit::TNEdit(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(NEditMaxLength);
    SetAlignment(TAlignment::taRightJustify);
    // A drop would insert text the filter never saw.
    setAcceptDrops(false);
}

void TNEdit::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    Qt::Alignment horizontal = Qt::AlignRight;
    if (alignment == TAlignment::taLeftJustify)
        horizontal = Qt::AlignLeft;
    else if (alignment == TAlignment::taCenter)
        horizontal = Qt::AlignHCenter;
    setAlignment(horizontal | Qt::AlignVCenter);
}

int TNEdit::caretForFilter() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TNEdit::typeCharacter(QChar key)
{
    NEditInput input;
    input.text = text();
    input.caret = caretForFilter();
    input.allSelected = hasSelectedText() && selectionStart() == 0 && selectionLength() == input.text.size();
    input.readOnly = isReadOnly();
    const NEditOutcome outcome = NEditFilterKey(input, key, settings_);

    if (outcome.beep)
        platform::ui().beep();
    if (outcome.setText) {
        // Replaced as an edit, not with setText, so that undo and textEdited see it like typing.
        if (outcome.text != text()) {
            selectAll();
            insert(outcome.text);
        }
        setCursorPosition(qBound(0, outcome.caret, int(text().size())));
    }
    if (outcome.key == NEditOutcome::Key::Discard)
        return;

    QChar typed = key;
    emit KeyPress(typed);
    if (typed.isNull())
        return;
    if (outcome.key == NEditOutcome::Key::TypeOverAll)
        selectAll();
    if (typed == u'\b')
        backspace();
    else if (typed.isPrint())
        insert(QString(typed));
}

void TNEdit::typeText(const QString &text)
{
    for (const QChar c : text)
        typeCharacter(c);
}

void TNEdit::pasteFiltered()
{
    typeText(QGuiApplication::clipboard()->text());
}

void TNEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Left && caretForFilter() == 1 && text().startsWith(u'-')) {
        event->accept(); // the caret may not pass in front of a minus sign
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        typeCharacter(u'\r');
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    if (key == Qt::Key_Backspace && !control) {
        typeCharacter(u'\b');
        event->accept();
        return;
    }
    // What the base control would type (AltGr combinations included) goes through the filter;
    // Ctrl shortcuts and editing keys stay with the base.
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint() && !control) {
        typeText(typed);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TNEdit::focusInEvent(QFocusEvent *event)
{
    if (!autoSelect_) {
        // The base selects everything on Tab focus by itself.
        QFocusEvent plain(event->type(), Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&plain);
        return;
    }
    QLineEdit::focusInEvent(event);
    // Coming back from a popup (such as the context menu) is not entering the control.
    if (event->reason() != Qt::PopupFocusReason)
        selectAll();
}

void TNEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty() && event->replacementLength() == 0) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // The composition shows as usual; what is committed is typed character by character.
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composing);
    typeText(event->commitString());
    event->accept();
}

QMenu *TNEdit::createFilteredContextMenu()
{
    QMenu *menu = createStandardContextMenu();
    // The base names its actions only by their (translated) captions, shortcut after a tab.
    const QString pasteCaption = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) == pasteCaption) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TNEdit::pasteFiltered);
            action->setObjectName(QStringLiteral("edit-paste"));
        }
    }
    return menu;
}

void TNEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createFilteredContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TNEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the X11 selection.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        if (rect().contains(event->position().toPoint())) {
            deselect();
            typeText(QGuiApplication::clipboard()->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
