#include "CentredWindow.h"

#include "common/WindowPlacement.h"

#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <QWindow>

namespace {

QMargins marginsOf(const QWidget *window)
{
    return window != nullptr && window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

} // namespace

void centreOnShow(QWidget &window, const QShowEvent &event)
{
    const QScreen *screen = window.screen();
    if (event.spontaneous() || screen == nullptr)
        return;
    const QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    const QMargins margins = windowplacement::assumedFrameMargins(marginsOf(&window), marginsOf(owner));
    const QSize frame = window.size().grownBy(margins);
    const QRect available = screen->availableGeometry();
    const QRect over = owner != nullptr && owner->isVisible() ? owner->frameGeometry() : available;
    const QRect centred(over.center() - QPoint(frame.width() / 2, frame.height() / 2), frame);
    const QPoint corner = windowplacement::keptInside(centred, available);
    // The client area's place: a move() would leave the frame's offset to the window manager.
    window.setGeometry(QRect(corner + QPoint(margins.left(), margins.top()), window.size()));
}
