#include "DialogSize.h"

#include <QLayout>
#include <QSize>
#include <QWidget>

void keepLargestSize(QWidget &window, int states, const std::function<void(int)> &show)
{
    // Measured as shown: the style polishes a widget, and may change its size, when it first shows.
    window.ensurePolished();
    QLayout *layout = window.layout();
    QSize largest = window.minimumSize();
    for (int state = 0; state < states; ++state) {
        show(state);
        layout->activate();
        largest = largest.expandedTo(window.sizeHint());
    }
    window.setFixedSize(largest);
    // Else the layout would raise the minimum over that size again as parts are shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
}
