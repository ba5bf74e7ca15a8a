#include "NEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "platform/UiService.h"

TNEdit::TNEdit(QWidget *parent) : FilteredLineEdit(parent)
{
    setMaxLength(NEditMaxLength);
    SetAlignment(TAlignment::taRightJustify);
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

void TNEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Left && caretForFilter() == 1 && text().startsWith(u'-')) {
        event->accept(); // the caret may not pass in front of a minus sign
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
    FilteredLineEdit::keyPressEvent(event);
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
