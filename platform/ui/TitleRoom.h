#pragma once

#include <QString>

class QWidget;

namespace platform {

// The width a desktop title bar needs to show title whole: the text in a bold title font, and the
// window's icon and buttons beside it. The window manager cuts a longer title short, so a narrow
// box would read "業務… 信".
int titleBarWidth(const QString &title);

// Keeps window at least as wide as its title needs, also when the title changes later (the progress
// window learns its port after it was built). The window must have its layout already: a grid or a
// top-to-bottom box, whose width the room bounds.
void keepTitleWhole(QWidget &window);

} // namespace platform
