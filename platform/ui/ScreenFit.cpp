#include "ScreenFit.h"

#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace screenfit {

namespace {

// Marks a window this guard placed, as against one the program placed itself (a stored position).
constexpr char placedHere[] = "screenfit_placed";
// Marks a window shown but not yet on the screen: it may still take its size from its texts (as a
// message box does), and the window manager has yet to frame it.
constexpr char settling[] = "screenfit_settling";

bool placedOnScreen(const QWidget &widget)
{
    if (!widget.isWindow())
        return false;
    // Menus, tool tips and drop-down lists place themselves.
    const Qt::WindowType kind = widget.windowType();
    return kind == Qt::Window || kind == Qt::Dialog || kind == Qt::Tool;
}

QMargins frameMargins(const QWidget *widget)
{
    const QWindow *window = widget ? widget->windowHandle() : nullptr;
    return window ? window->frameMargins() : QMargins();
}

const QWidget *ownerOf(const QWidget &widget)
{
    const QWidget *owner = widget.parentWidget() ? widget.parentWidget()->window() : nullptr;
    return owner && owner->isVisible() ? owner : nullptr;
}

// Places the frame's top-left corner at corner, through the window's own area: the frame of a window
// not yet mapped is only a guess.
void placeFrame(QWidget &widget, const QPoint &corner, const QMargins &margins)
{
    widget.setGeometry(QRect(corner + QPoint(margins.left(), margins.top()), widget.size()));
}

void keepOnScreen(QWidget &widget)
{
    const QScreen *screen = widget.screen();
    if (!screen)
        return;
    const QMargins margins = expectedFrameMargins(widget);
    const QRect frame = widget.geometry().marginsAdded(margins);
    const QPoint kept = windowplacement::keptInside(frame, screen->availableGeometry());
    if (kept == frame.topLeft())
        return;
    // Keeping a window on the screen does not make its place the program's choice.
    const bool placedByProgram = widget.testAttribute(Qt::WA_Moved);
    placeFrame(widget, kept, margins);
    widget.setAttribute(Qt::WA_Moved, placedByProgram);
}

// Centres the frame over the owner's frame, or over the screen, with the frame reckoned in: Qt's own
// placement guesses the caption bar and lands a first window tens of pixels off.
void centre(QWidget &widget)
{
    const QScreen *screen = widget.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QWidget *owner = ownerOf(widget);
    const QMargins margins = expectedFrameMargins(widget);
    const QSize frame = widget.size().grownBy(margins);
    placeFrame(widget,
               windowplacement::centredOver(frame, owner ? expectedFrame(*owner) : available, available),
               margins);
    widget.setProperty(placedHere, true);
}

// A window on the screen for the first time since it was shown: framed, at its size. One placed by
// the guard is centred again with the real frame and size, a few pixels at most.
void settle(QWidget &widget)
{
    if (!widget.property(settling).toBool())
        return;
    widget.setProperty(settling, false);
    if (widget.property(placedHere).toBool())
        centre(widget);
    keepOnScreen(widget);
}

class Guard final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Expose) {
            if (auto *window = qobject_cast<QWindow *>(watched)) {
                if (QWidget *widget = QWidget::find(window->winId()))
                    settle(*widget);
            }
            return false;
        }
        if (type != QEvent::Show && type != QEvent::Resize && type != QEvent::Hide)
            return false;
        if (!watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (!placedOnScreen(*widget))
            return false;
        if (type == QEvent::Hide) {
            // Shown again, it is centred again, unless the program places it meanwhile.
            if (widget->property(placedHere).toBool()) {
                widget->setProperty(placedHere, false);
                widget->setAttribute(Qt::WA_Moved, false);
            }
            return false;
        }
        if (!widget->isVisible())
            return false;
        // While a window is being mapped the window system may report sizes it had before Qt sized
        // it; placing it by those would resize it to them.
        if (type == QEvent::Resize && event->spontaneous() && widget->property(settling).toBool())
            return false;
        if (type == QEvent::Show && !event->spontaneous()) {
            widget->setProperty(settling, true);
            if (!widget->testAttribute(Qt::WA_Moved))
                centre(*widget);
        } else if (type == QEvent::Resize && widget->property(settling).toBool() &&
                   widget->property(placedHere).toBool()) {
            // Sized as it is shown (a message box to its texts).
            centre(*widget);
        }
        keepOnScreen(*widget);
        return false;
    }
};

} // namespace

QMargins expectedFrameMargins(const QWidget &widget)
{
    QMargins another = frameMargins(ownerOf(widget));
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (windowplacement::plausibleFrame(another))
            break;
        if (other != &widget && other->isVisible())
            another = frameMargins(other);
    }
    return windowplacement::assumedFrameMargins(frameMargins(&widget), another);
}

QRect expectedFrame(const QWidget &window)
{
    return window.geometry().marginsAdded(expectedFrameMargins(window));
}

void install(QApplication &application)
{
    application.installEventFilter(new Guard(&application));
}

} // namespace screenfit
