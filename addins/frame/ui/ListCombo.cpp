#include "ListCombo.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

TListCombo::TListCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
}

void TListCombo::setItemsText(const QString &text)
{
    QStringList items = text.split(QStringLiteral("\r\n"));
    if (!items.isEmpty() && items.back().isEmpty())
        items.removeLast();
    const int index = currentIndex();
    clear();
    addItems(items);
    setCurrentIndex(std::min(index, int(items.size()) - 1));
}

void TListCombo::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint()) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TListCombo::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
}
