#include "ListCombo.h"

#include <QAbstractItemView>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

bool typedText(const QKeyEvent &key)
{
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

TListCombo::TListCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    // The open list searches by typed letters too, and Return there takes the item it landed on.
    view()->installEventFilter(this);
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

bool TListCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view()) {
        if (event->type() == QEvent::KeyPress && typedText(*static_cast<QKeyEvent *>(event)))
            return true;
        if (event->type() == QEvent::InputMethod) {
            event->accept();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void TListCombo::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit EnterPressed();
        return;
    }
    if (typedText(*event)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TListCombo::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
}
