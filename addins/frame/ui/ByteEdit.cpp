#include "ByteEdit.h"

#include "addins/frame/ByteText.h"
#include "common/FerPrgLib.h"
#include "platform/UiService.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

TByteEdit::TByteEdit(QWidget *parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
}

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

void TByteEdit::pasteFiltered()
{
    typeText(QGuiApplication::clipboard()->text());
}

void TByteEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (filter_)
            filter_(text(), cursorPosition(), addins::EnterKey);
        event->accept();
        emit EnterPressed();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint() && !control) {
        typeText(typed);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TByteEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty() && event->replacementLength() == 0) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composing);
    typeText(event->commitString());
    event->accept();
}

QMenu *TByteEdit::createFilteredContextMenu()
{
    QMenu *menu = createStandardContextMenu();
    const QString pasteCaption = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) == pasteCaption) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TByteEdit::pasteFiltered);
            action->setObjectName(QStringLiteral("edit-paste"));
        }
    }
    return menu;
}

void TByteEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createFilteredContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TByteEdit::mouseReleaseEvent(QMouseEvent *event)
{
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
