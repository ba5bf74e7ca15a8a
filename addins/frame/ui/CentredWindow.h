#pragma once

class QShowEvent;
class QWidget;

// Places an add-in program's window, before the window manager maps it, so that its frame, caption
// bar and all, is centred over its owner's frame (over the screen's available area when it has
// none) and lies within that area. Qt's own placement guesses at frames it has not seen and puts a
// window tens of pixels off the centre. Called from the window's showEvent; a show that the window
// system reports (a restore) leaves the window where it is.
void centreOnShow(QWidget &window, const QShowEvent &event);
