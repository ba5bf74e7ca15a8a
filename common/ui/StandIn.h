#pragma once

#include "platform/UiService.h"

#include <memory>

class QWidget;

namespace programstart {

// Someone other than the operator at a program's boxes and keys. The programs an operator runs link
// NoStandIn.cpp and so never have one; the tests' own builds of the same programs link a library
// that plays an operator from a script or logs every box unseen.
class OperatorStandIn {
public:
    virtual ~OperatorStandIn() = default;
    // The UI service the program uses for its whole run.
    virtual platform::UiService &ui() = 0;
    // Called once with the main form, just before its loop runs.
    virtual void formShown(QWidget &form) = 0;
    // False ends the program with exit code 3 before any window shows: a stand-in that cannot do
    // what it was asked must not pass for a run that did.
    virtual bool ready() const = 0;
};

// The stand-in this build of the program links, made around the widget UI service once the
// application exists; null for the operator at the keyboard.
std::unique_ptr<OperatorStandIn> makeStandIn(platform::UiService &widgetUi);

// Makes service the UI service until the end of the scope, however the program block ends.
class InstalledUi {
public:
    explicit InstalledUi(platform::UiService &service) : previous_(platform::setUi(&service)) {}
    ~InstalledUi() { platform::setUi(previous_); }
    InstalledUi(const InstalledUi &) = delete;
    InstalledUi &operator=(const InstalledUi &) = delete;

private:
    platform::UiService *previous_;
};

} // namespace programstart
