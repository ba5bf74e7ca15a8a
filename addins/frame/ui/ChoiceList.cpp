#include "ChoiceList.h"

#include <QKeyEvent>

TChoiceList::TChoiceList(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
}

void TChoiceList::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint()) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
