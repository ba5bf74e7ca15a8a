#pragma once

#include "platform/SerialPort.h"

#include <QString>
#include <memory>

struct termios;

// The serial port on a POSIX system: a tty device (a cradle's serial or USB adapter, a Bluetooth
// serial device, or a pty in tests) in raw 8N1 mode without flow control. purge() discards the
// input only: bytes already written always reach the line.
namespace platform {

// Where a port's device path was taken from, so that a port that will not open can be traced.
enum class DeviceSource {
    None,        // the name is no port
    Environment, // the variable HARBROOK_PORT_COMn
    Store,       // the Device value under the port's subkey of the communication settings
    Default,     // /dev/ttyS{n-1}
};

struct SerialDevice {
    QString path; // empty for a name that is no port
    DeviceSource source = DeviceSource::None;
};

// The device that a port name "COM1".."COM9" (any letter case) stands for: the environment
// variable HARBROOK_PORT_COMn when it is set and not empty, else the Device value under the port's
// subkey of the communication settings, else /dev/ttyS{n-1}. No path for any other name.
SerialDevice resolveSerialDevice(const QString &comName);
// resolveSerialDevice(comName).path
QString serialDevicePath(const QString &comName);

// The terminal-control calls the port makes while it configures the line. A test stands in a
// device that refuses a speed; everything else uses the system's calls.
class LineControl {
public:
    virtual ~LineControl() = default;
    virtual int getAttributes(int fd, termios &attributes);
    virtual int setAttributes(int fd, const termios &attributes);
};

// Opens the device exclusively and sets the line: raw 8N1, receiver on, modem lines ignored, no
// hardware or software flow control, DTR and RTS on, the speed in bit/s (9600, 19200, 38400,
// 57600, 115200 or 460800). Null on failure, with the reason in error.
std::unique_ptr<SerialPort> openSerialDevice(const QString &devicePath, int speed, PortOpenError &error,
                                             LineControl *control = nullptr);

// openSerialDevice on the device that the port name resolves to; NoDevice when it resolves to none.
std::unique_ptr<SerialPort> openSerialPort(const QString &comName, int speed, PortOpenError &error);

// What an open that failed came to: the device tried, the kind of failure, and the reason in the
// system's words (its error text) or, where the system gave none, in ours.
struct PortOpenFailure {
    SerialDevice device;
    PortOpenError error = PortOpenError::None;
    QString reason;
};

// openSerialPort that also tells which device it tried and why that failed.
std::unique_ptr<SerialPort> openSerialPort(const QString &comName, int speed, PortOpenFailure &failure);

} // namespace platform
