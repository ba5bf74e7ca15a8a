#pragma once

class QApplication;

namespace screenfit {

// Places every window of the application on the screen: a window is shown with its frame centred
// over its owner's (over the screen's available area when it has none), unless the program placed
// it itself; and when it is shown and whenever it grows, its frame is moved just enough to lie within
// the available area (a window larger than the area keeps its caption bar inside).
void install(QApplication &application);

} // namespace screenfit
