#pragma once

class QApplication;

namespace screenfit {

// Keeps every window of the application on the screen: when a window is shown and whenever it
// grows, its frame is moved just enough to lie within the screen's available area (a window larger
// than the area keeps its caption bar inside). Dialogs are first centred over their owner by Qt.
void install(QApplication &application);

} // namespace screenfit
