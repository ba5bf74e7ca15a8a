#include "ComMain.h"

#include "comm/ui/ComForm.h"

namespace comm {

bool YmReady = false;
int YmHandle = -1;
QString PortName;
std::unique_ptr<TComForm> ComForm;
bool Busy = false;
int LastResult = 0;
QString RcvFileName;
QString FieldList;
TComModeSettings Mode;
std::unique_ptr<platform::SerialPort> YmPort;

void resetLibraryState()
{
    // The window's worker uses the port: the window goes first.
    ComForm.reset();
    YmPort.reset();
    YmReady = false;
    YmHandle = -1;
    PortName.clear();
    Busy = false;
    LastResult = 0;
    RcvFileName.clear();
    FieldList.clear();
    Mode = TComModeSettings{};
}

} // namespace comm
