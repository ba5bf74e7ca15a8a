#pragma once

#include <functional>

class QWidget;

// Fixes window at the largest size its layout asks for in any of the states that show(0) to
// show(states - 1) put it in, and at no less than its minimum size: it then neither grows nor
// shrinks under the operator as parts of it are shown and hidden. The caller shows the real state
// afterwards.
void keepLargestSize(QWidget &window, int states, const std::function<void(int)> &show);
