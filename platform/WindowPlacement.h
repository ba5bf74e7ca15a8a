#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

namespace windowplacement {

// The top-left corner of a window's frame that keeps the frame within the screen's available area,
// moving it no further than needed. A frame larger than the area keeps its top-left corner, and so
// its caption bar, inside the area.
QPoint keptInside(const QRect &frame, const QRect &available);

// The top-left corner of a frame of the given size centred over another frame (the owner's, or the
// available area itself), as far as the available area lets it be.
QPoint centredOver(const QSize &frame, const QRect &over, const QRect &available);

// Whether frame margins the window system reports look like a frame: thin borders, and a caption bar,
// if any, at the top. While a window is being framed the system may report the distance to a part of the
// frame (a caption bar of 0) or to a frame of an older size (borders of hundreds of pixels).
bool plausibleFrame(const QMargins &margins);

// The frame margins to reckon with for a window whose own are not known yet (not yet framed by the
// window manager, or reported in passing): those of another window of the program, else a caption
// bar's worth.
QMargins assumedFrameMargins(const QMargins &own, const QMargins &another);

} // namespace windowplacement
