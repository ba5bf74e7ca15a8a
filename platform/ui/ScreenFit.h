#pragma once

#include <QMargins>
#include <QRect>

class QApplication;
class QWidget;

namespace screenfit {

// Places every window of the application on the screen: a window is shown with its frame centred
// over its owner's (over the screen's available area when it has none), unless the program placed
// it itself; and when it is shown and whenever it grows, its frame is moved just enough to lie within
// the available area (a window larger than the area keeps its caption bar inside).
void install(QApplication &application);

// The frame the window manager draws, or will draw, around window: its own once it has framed the
// window, else that of its owner or of another shown window of the program, as all are framed alike.
QMargins expectedFrameMargins(const QWidget &window);

// Where the window's frame lies on the screen, with the frame reckoned as expectedFrameMargins does.
QRect expectedFrame(const QWidget &window);

} // namespace screenfit
