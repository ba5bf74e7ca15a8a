#include "ByteEdit.h"

#include "addins/frame/ByteText.h"
#include "common/FerPrgLib.h"
#include "platform/UiService.h"

#include <QKeyEvent>

TByteEdit::TByteEdit(QWidget *parent) : FilteredLineEdit(parent) {}

void TByteEdit::setMaxBytes(int maxBytes)
{
    maxBytes_ = maxBytes;
    if (maxBytes_ > 0)
        setBoundedText(text());
}

void TByteEdit::setBoundedText(const QString &value)
{
    setText(maxBytes_ > 0 ? CutToBytes(value, maxBytes_) : value);
}

void TByteEdit::typeText(const QString &typed)
{
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectedText().size());
    const addins::InsertionResult result = addins::FilterInsertion(rest, caret, typed, filter_, maxBytes_);
    for (int i = 0; i < result.beeps; ++i)
        platform::ui().beep();
    if (result.text == rest)
        return;
    // Replaced as an edit, so that undo and textEdited see it as typing.
    selectAll();
    insert(result.text);
    setCursorPosition(result.caret);
}

void TByteEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (filter_)
            filter_(text(), cursorPosition(), addins::EnterKey);
        event->accept();
        emit EnterPressed();
        return;
    }
    FilteredLineEdit::keyPressEvent(event);
}
