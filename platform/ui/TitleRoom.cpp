#include "TitleRoom.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QPointer>
#include <QSpacerItem>
#include <QWidget>

namespace platform {

int titleBarWidth(const QString &title)
{
    // Window managers draw titles bold, mostly at the size of the application's font.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Icon, iconify, maximize and close, each about as wide as the bar is high, and the margins.
    const int button = metrics.height() + 6;
    return metrics.horizontalAdvance(title) + 4 * button + 24;
}

namespace {

// A row of no height in the window's layout, as wide as the title needs: the layout, and a message
// box's own sizing, which reads the layout's minimum, never go narrower.
class TitleKeeper final : public QObject {
public:
    TitleKeeper(QWidget &window, QLayout &layout, QSpacerItem *room)
        : QObject(&window), window_(window), layout_(&layout), room_(room)
    {
        fit();
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &window_ && event->type() == QEvent::WindowTitleChange)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit()
    {
        // A window that rebuilt its layout (a message box does when its icon changes) took the room
        // with the old one.
        if (layout_.isNull() || window_.layout() != layout_)
            return;
        room_->changeSize(titleBarWidth(window_.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
        layout_->invalidate();
    }

    QWidget &window_;
    QPointer<QLayout> layout_;
    QSpacerItem *room_;
};

} // namespace

void keepTitleWhole(QWidget &window)
{
    QLayout *layout = window.layout();
    if (layout == nullptr)
        return;
    auto *room = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    auto *box = qobject_cast<QBoxLayout *>(layout);
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        grid->addItem(room, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (box != nullptr &&
               (box->direction() == QBoxLayout::TopToBottom || box->direction() == QBoxLayout::BottomToTop)) {
        box->addSpacerItem(room);
    } else {
        // Beside the other items the room would add to their width instead of bounding it.
        delete room;
        window.setMinimumWidth(titleBarWidth(window.windowTitle()));
        return;
    }
    new TitleKeeper(window, *layout, room);
}

} // namespace platform
