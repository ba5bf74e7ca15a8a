#include "ScreenFit.h"

#include "common/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace screenfit {

namespace {

bool placedOnScreen(const QWidget &widget)
{
    if (!widget.isWindow())
        return false;
    // Menus, tool tips and drop-down lists place themselves.
    const Qt::WindowType kind = widget.windowType();
    return kind == Qt::Window || kind == Qt::Dialog || kind == Qt::Tool;
}

QMargins frameMargins(const QWidget &widget)
{
    const QWindow *window = widget.windowHandle();
    return window ? window->frameMargins() : QMargins();
}

// The margins of another shown window, for a window that the window manager has not framed yet.
QMargins anotherWindowsMargins(const QWidget &except)
{
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &except && other->isVisible()) {
            const QMargins margins = frameMargins(*other);
            if (!margins.isNull())
                return margins;
        }
    }
    return {};
}

void keepOnScreen(QWidget &widget)
{
    const QScreen *screen = widget.screen();
    if (!screen)
        return;
    const QMargins margins =
        windowplacement::assumedFrameMargins(frameMargins(widget), anotherWindowsMargins(widget));
    const QRect frame = widget.geometry().marginsAdded(margins);
    const QPoint kept = windowplacement::keptInside(frame, screen->availableGeometry());
    if (kept == frame.topLeft())
        return;
    // A move of ours is no placement of the program's: a dialog shown again is centred over its
    // owner again.
    const bool placedByProgram = widget.testAttribute(Qt::WA_Moved);
    widget.move(kept);
    widget.setAttribute(Qt::WA_Moved, placedByProgram);
}

class Guard final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Resize) && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isVisible() && placedOnScreen(*widget)) {
                keepOnScreen(*widget);
                // Once Qt has centred a dialog over its owner and the window manager has framed it.
                if (type == QEvent::Show)
                    QTimer::singleShot(0, widget, [widget] { keepOnScreen(*widget); });
            }
        }
        return false;
    }
};

} // namespace

void install(QApplication &application)
{
    application.installEventFilter(new Guard(&application));
}

} // namespace screenfit
