#include "WindowPlacement.h"

#include <algorithm>

namespace windowplacement {

namespace {

// One axis: the start that keeps [start, start + length) within [low, high), or low when it cannot.
int keptOnAxis(int start, int length, int low, int high)
{
    start = std::min(start, high - length);
    return std::max(start, low);
}

} // namespace

QPoint keptInside(const QRect &frame, const QRect &available)
{
    return {keptOnAxis(frame.x(), frame.width(), available.left(), available.left() + available.width()),
            keptOnAxis(frame.y(), frame.height(), available.top(), available.top() + available.height())};
}

QPoint centredOver(const QSize &frame, const QRect &over, const QRect &available)
{
    // Twice the centre, halved once: an odd-sized owner does not shift the window by a pixel.
    const QPoint corner((2 * over.x() + over.width() - frame.width()) / 2,
                        (2 * over.y() + over.height() - frame.height()) / 2);
    return keptInside(QRect(corner, frame), available);
}

bool plausibleFrame(const QMargins &margins)
{
    const auto border = [&](int width) { return width >= 0 && width <= 32 && width <= margins.top(); };
    return !margins.isNull() && margins.top() <= 96 && border(margins.left()) && border(margins.right()) &&
           border(margins.bottom());
}

QMargins assumedFrameMargins(const QMargins &own, const QMargins &another)
{
    if (plausibleFrame(own))
        return own;
    if (plausibleFrame(another))
        return another;
    // Before any window is mapped: a common window manager's caption bar and borders.
    return {4, 28, 4, 4};
}

} // namespace windowplacement
