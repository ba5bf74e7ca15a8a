#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

// The serial link to the terminal's cradle or Bluetooth serial device. The transfer engine works
// against this interface only, so it runs against a fake port in unit tests and a pty in
// integration tests.
namespace platform {

struct PortQueueStatus {
    int inQueue = 0;  // bytes received and waiting to be read
    int outQueue = 0; // bytes written and not yet sent
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // False when the port failed.
    virtual bool queueStatus(PortQueueStatus &status) = 0;
    // Reads at most maxBytes of what is waiting, without waiting; 0 when nothing waits, -1 on failure.
    virtual qint64 read(char *buffer, qint64 maxBytes) = 0;
    // Waits at most timeoutMs (a bounded poll, never a spin) until input waits or the port fails.
    // True when input waits.
    virtual bool waitForInput(int timeoutMs) = 0;
    // Writes all bytes; false on failure.
    virtual bool write(const char *data, qint64 size) = 0;
    // Discards what is queued both ways.
    virtual bool purge() = 0;
    // Clears a failure state so the port can be used again.
    virtual void clearError() = 0;
};

enum class PortOpenError {
    None,
    NoDevice,     // the port name resolves to no device
    InUse,        // another program holds the port
    SpeedRefused, // the device refuses the line speed
    LineRefused,  // the device opened but refuses the other line settings
    Failed,       // any other failure to open the device
};

} // namespace platform
