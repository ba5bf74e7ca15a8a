#pragma once

// The communication conditions dialog's rules apart from its widgets: how the main form's values
// map onto the controls and back, the port check with its messages, and storing the conditions.

#include "platform/UiService.h"

#include <QString>
#include <QStringList>

namespace platform {
class LineControl;
class TRegistry;
} // namespace platform

namespace comm {

// The main form's communication values, handed to the dialog and written back by "更新".
struct ComConditions {
    int ComP = 1;
    int ComSpeed = 115200;
    int RcvMode = 1;
    int WrMode = 1;
    QString ComPort = QStringLiteral("COM1");
};

// Where the dialog's controls stand.
struct ComControlState {
    int portIndex = 0;      // "COM1".."COM9"
    int speedIndex = 0;     // "115.2kbps", "460.8kbps"
    bool continuous = true; // "連続受信"
    int writeModeIndex = 1; // "上書き", "追加"
};

QStringList comPortItems();
QStringList comSpeedItems();
QStringList writeModeItems();

// "COMn".
QString comPortName(int portNumber);
// The line speed of a speed item.
int speedOfIndex(int speedIndex);

// The controls for the values; a port number outside 1 to 9 shows COM1, as the main form uses it.
ComControlState controlsFor(const ComConditions &conditions);
// The values the controls stand for, ComPort built from ComP.
ComConditions conditionsFor(const ComControlState &controls);

enum class PortCheck {
    Usable,
    PortUnusable, // absent, held by another opener, or not a serial device
    LineRefused,  // opened, but the speed or another line setting was refused
};

// Opens the port exclusively at the speed with the line settings of a transfer, and closes it at
// once. The line control stands in a device that refuses settings; null uses the system's calls.
PortCheck checkPort(int portNumber, int speed, platform::LineControl *control = nullptr);

QString portUnusableMessage(const QString &portName);
QString speedRefusedMessage(int portNumber);
QString lineSettingsFailedMessage();
// The message of a failed check: the port's, or for a refused line the 460.8 kbps one when that
// speed was tried, else the general one. Empty for a usable port.
QString portCheckMessage(PortCheck result, int portNumber, int speed);
QString storeFailedMessage();

// How the dialog's boxes are shown.
platform::MsgStyle conditionsMessageStyle();

// Writes ComPort (the number), ComSpeed, RcvMode and WrMode into the communication key, created
// when missing; false as soon as the key cannot be opened or a value cannot be written.
bool storeConditions(platform::TRegistry &registry, const ComConditions &conditions);

} // namespace comm
