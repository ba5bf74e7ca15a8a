#pragma once

#include "common/ui/FormKit.h"

#include <QPointer>
#include <QWidget>
#include <optional>

// A formkit::WindowLock that gives the focus back: disabling a window drops its focus, so once the
// transfer or the settings program is over the focus would be nowhere instead of on the control the
// operator used.
class FocusKeepingLock {
public:
    explicit FocusKeepingLock(QWidget *window) : focus_(window->focusWidget()), lock_(window) {}
    ~FocusKeepingLock()
    {
        lock_.reset();
        if (!focus_.isNull())
            formkit::requestFocus(focus_);
    }
    FocusKeepingLock(const FocusKeepingLock &) = delete;
    FocusKeepingLock &operator=(const FocusKeepingLock &) = delete;

private:
    QPointer<QWidget> focus_;
    std::optional<formkit::WindowLock> lock_;
};
