#include "OwnerPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform {
namespace {

QMargins marginsOf(const QWidget &widget)
{
    const QWindow *handle = widget.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

const QWidget *ownerOf(const QWidget &window)
{
    return window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
}

} // namespace

QMargins assumedFrameMargins(const QWidget &window)
{
    if (const QMargins own = marginsOf(window); !own.isNull())
        return own;
    if (const QWidget *owner = ownerOf(window)) {
        if (const QMargins margins = marginsOf(*owner); !margins.isNull())
            return margins;
    }
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible()) {
            if (const QMargins margins = marginsOf(*other); !margins.isNull())
                return margins;
        }
    }
    return {};
}

QRect assumedFrame(const QWidget &window)
{
    return window.geometry().marginsAdded(assumedFrameMargins(window));
}

void moveFrameTo(QWidget &window, const QPoint &frame)
{
    if (!window.testAttribute(Qt::WA_WState_Created)) {
        window.move(frame); // taken as the frame's place
        return;
    }
    // A created window is moved by its inner area; before the window manager has framed it, that
    // area lies where the frame's corner was asked to go.
    const QPoint knownFrame = window.geometry().topLeft() - window.pos();
    const QMargins margins = assumedFrameMargins(window);
    window.move(frame + QPoint(margins.left(), margins.top()) - knownFrame);
}

QPoint frameCentredOverOwner(const QWidget &window)
{
    const QWidget *owner = ownerOf(window);
    const QScreen *screen = owner != nullptr ? owner->screen() : window.screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect over = owner != nullptr ? assumedFrame(*owner) : area;
    const QSize frame = window.size().grownBy(assumedFrameMargins(window));
    QPoint place(over.x() + (over.width() - frame.width()) / 2,
                 over.y() + (over.height() - frame.height()) / 2);
    if (area.isValid()) {
        place.setX(
            std::clamp(place.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
        place.setY(
            std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    }
    return place;
}

} // namespace platform
