#pragma once

#include <QSize>

class QWidget;

// Checks of a shown window as an operator sees it: nothing cut, nothing off the screen.
namespace testsupport {

// The largest window area that still fits, with its caption bar and borders, on the smallest screen
// the operators use (1366x768, or 1280x800 for the width).
inline constexpr QSize largestWindow{1270, 730};

// Fails, naming the control, for each visible label, check box, radio button, push button or group
// box title of the window whose text does not fit the place it has (a wrapping label: the height its
// width needs); and when the window is too narrow for the caption bar to show its title whole.
void expectTextsWhole(const QWidget &window);

// Fails when the window is larger than largestWindow.
void expectFitsScreen(const QWidget &window);

} // namespace testsupport
