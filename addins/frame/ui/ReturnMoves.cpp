#include "ReturnMoves.h"

#include "common/ui/FormKit.h"

#include <QKeyEvent>
#include <QLineEdit>

void ReturnMoves::add(QWidget *from, QWidget *to, When when)
{
    QPointer<QWidget> target(to);
    add(from, Target([target] { return target.data(); }), when);
}

void ReturnMoves::add(QWidget *from, Target to, When when)
{
    moves_.push_back({from, std::move(to), when});
    from->installEventFilter(this);
}

bool ReturnMoves::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QObject::eventFilter(watched, event);
    for (const Move &move : moves_) {
        if (move.from != watched)
            continue;
        if (move.when == When::Filled) {
            const auto *edit = qobject_cast<QLineEdit *>(move.from.data());
            if (edit && edit->text().isEmpty())
                return true;
        }
        if (QWidget *target = move.to())
            formkit::requestFocus(target);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
