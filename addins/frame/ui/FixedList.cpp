#include "FixedList.h"

#include <QKeyEvent>

TFixedList::TFixedList(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
}

void TFixedList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        event->accept();
        return;
    }
    // A printable character would pick an item by its first letter.
    if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
