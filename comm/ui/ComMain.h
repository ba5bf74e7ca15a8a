#pragma once

// The communication library's state: one set per process, used on the user-interface thread only.
// The transfer worker never touches it; the progress window copies the worker's result in before
// it clears Busy, and the waiting operation reads the result only after that.

#include "comm/CorlissRules.h"
#include "platform/SerialPort.h"

#include <QPointer>
#include <QString>
#include <memory>

class TComForm;

namespace comm {

extern bool YmReady;
extern int YmHandle;                      // the open port, -1 when none is open
extern QString PortName;                  // the open port's name as the caller passed it, empty when none
extern std::unique_ptr<TComForm> ComForm; // the open port's progress window
extern bool Busy;                         // a transfer runs: from its start until its progress window closes
extern int LastResult;
extern QString RcvFileName;
extern QString FieldList; // send: the list handed to the worker; receive: the last file's list
extern TComModeSettings Mode;

// The port behind YmHandle.
extern std::unique_ptr<platform::SerialPort> YmPort;

// Back to the state before YmInitialize: the window and the port are closed, a running transfer is
// ended first. For tests, which share one process between cases.
void resetLibraryState();

} // namespace comm
