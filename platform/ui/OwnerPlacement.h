#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace platform {

// The frame the window manager draws around window: its own once it has one, else that of its
// owner or of another shown window of the program, as they are all framed alike.
QMargins assumedFrameMargins(const QWidget &window);

// The window's frame: its own once the window manager has told its size, else the assumed one. Qt
// learns a frame some time after the window is shown.
QRect assumedFrame(const QWidget &window);

// Where window's frame lies centred over its owner's frame (over the screen's available area when
// it has none), kept within that area.
QPoint frameCentredOverOwner(const QWidget &window);

// Moves window so that its frame's corner lies at frame, also before the window manager has framed it.
void moveFrameTo(QWidget &window, const QPoint &frame);

} // namespace platform
