#include "PosixSerialPort.h"

#include "platform/Registry.h"

#include <QByteArray>
#include <QtGlobal>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

int LineControl::getAttributes(int fd, termios &attributes)
{
    return ::tcgetattr(fd, &attributes);
}

int LineControl::setAttributes(int fd, const termios &attributes)
{
    return ::tcsetattr(fd, TCSANOW, &attributes);
}

namespace {

// A write that cannot get rid of its bytes within this time fails, as the line's write time-out.
constexpr int WriteTimeoutMs = 20000;
// Longest single poll while a write waits for room, so a stuck device is noticed in steps.
constexpr int WritePollStepMs = 100;

bool speedConstant(int speed, speed_t &constant)
{
    switch (speed) {
    case 9600:
        constant = B9600;
        return true;
    case 19200:
        constant = B19200;
        return true;
    case 38400:
        constant = B38400;
        return true;
    case 57600:
        constant = B57600;
        return true;
    case 115200:
        constant = B115200;
        return true;
    case 460800:
        constant = B460800;
        return true;
    default:
        return false;
    }
}

class PosixSerialPort final : public SerialPort {
public:
    explicit PosixSerialPort(int fd) : fd_(fd) {}
    ~PosixSerialPort() override
    {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_); // also releases the lock
    }
    PosixSerialPort(const PosixSerialPort &) = delete;
    PosixSerialPort &operator=(const PosixSerialPort &) = delete;

    bool queueStatus(PortQueueStatus &status) override
    {
        if (failed_)
            return false;
        int in = 0;
        if (::ioctl(fd_, FIONREAD, &in) != 0)
            return fail();
        int out = 0;
        // A pty has no output queue of its own to report: nothing is waiting on our side.
        if (::ioctl(fd_, TIOCOUTQ, &out) != 0) {
            if (errno != ENOTTY && errno != EINVAL)
                return fail();
            out = 0;
        }
        status.inQueue = in;
        status.outQueue = out;
        return true;
    }

    qint64 read(char *buffer, qint64 maxBytes) override
    {
        if (failed_)
            return -1;
        if (maxBytes <= 0)
            return 0;
        const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(maxBytes));
        if (n > 0)
            return n;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                return 0;
            fail();
            return -1;
        }
        // End of file on a tty means the other side hung up, unless it simply has nothing.
        if (hungUp()) {
            fail();
            return -1;
        }
        return 0;
    }

    bool waitForInput(int timeoutMs) override
    {
        if (failed_)
            return false;
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, qMax(0, timeoutMs));
        if (r <= 0)
            return false; // time-out, or a signal: the caller asks again
        if (p.revents & POLLIN) {
            int in = 0;
            if (::ioctl(fd_, FIONREAD, &in) == 0 && in > 0)
                return true;
        }
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
            fail();
        return false;
    }

    bool write(const char *data, qint64 size) override
    {
        if (failed_)
            return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WriteTimeoutMs);
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return fail();
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0)
                return fail();
            pollfd p{fd_, POLLOUT, 0};
            const int r = ::poll(&p, 1, static_cast<int>(qMin<qint64>(left, WritePollStepMs)));
            if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                return fail();
        }
        return true;
    }

    bool purge() override
    {
        if (failed_)
            return false;
        // Only what came in is discarded. What we wrote is on its way to the terminal: the engine
        // purges right after its last ACK or CAN, and a flushed output queue (on a pty, the other
        // side's unread input) would take that byte back, leaving the terminal waiting.
        if (::tcflush(fd_, TCIFLUSH) != 0)
            return fail();
        return true;
    }

    void clearError() override { failed_ = false; }

private:
    bool fail()
    {
        failed_ = true;
        return false;
    }

    bool hungUp() const
    {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
    }

    int fd_;
    bool failed_ = false;
};

PortOpenError openErrorFor(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return PortOpenError::NoDevice;
    case EBUSY:
        return PortOpenError::InUse;
    default:
        return PortOpenError::Failed;
    }
}

// Sets the line and checks that the device took it; leaves the reason in error, and the system's
// error number in systemError (0 where the device took a call and did not do what it was asked).
bool configureLine(int fd, speed_t speed, LineControl &control, PortOpenError &error, int &systemError)
{
    auto refused = [&](PortOpenError reason) {
        systemError = errno;
        error = reason;
        return false;
    };
    termios t{};
    errno = 0;
    if (control.getAttributes(fd, t) != 0)
        return refused(PortOpenError::LineRefused);
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (control.setAttributes(fd, t) != 0)
        return refused(PortOpenError::LineRefused);
    // The speed goes on its own, so that a refusal is told apart from any other failure.
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0 || control.setAttributes(fd, t) != 0)
        return refused(PortOpenError::SpeedRefused);
    // A device may accept the call and keep its old speed: only a read-back tells.
    termios check{};
    if (control.getAttributes(fd, check) != 0)
        return refused(PortOpenError::LineRefused);
    if (::cfgetospeed(&check) != speed || ::cfgetispeed(&check) != speed) {
        errno = 0;
        return refused(PortOpenError::SpeedRefused);
    }
    return true;
}

QString systemErrorText(int error)
{
    char buffer[256];
    // The GNU strerror_r: the text may be a static one rather than the buffer.
    return QString::fromLocal8Bit(::strerror_r(error, buffer, sizeof buffer));
}

// The Device value under the port's subkey of the communication settings, empty when none is set.
QString configuredDevice(const QString &comName)
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll\\") +
                                  comName))
        return {};
    return registry.ReadString(QStringLiteral("Device")).value_or(QString()).trimmed();
}

} // namespace

namespace {

// openSerialDevice, with the reason of a failure in the system's words or ours.
std::unique_ptr<SerialPort> openDevice(const QString &devicePath, int speed, LineControl &lines,
                                       PortOpenError &error, QString &reason)
{
    error = PortOpenError::None;
    reason.clear();
    auto failed = [&](PortOpenError kind, const QString &why) -> std::unique_ptr<SerialPort> {
        error = kind;
        reason = why;
        return nullptr;
    };
    if (devicePath.isEmpty())
        return failed(PortOpenError::NoDevice, QStringLiteral("no device"));
    speed_t speedValue{};
    if (!speedConstant(speed, speedValue))
        return failed(PortOpenError::SpeedRefused, QStringLiteral("no line speed of %1 bit/s").arg(speed));
    const QByteArray path = devicePath.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        return failed(openErrorFor(openError), systemErrorText(openError));
    }
    // The reason is taken before close, which may change errno.
    auto refuse = [&](PortOpenError kind, const QString &why) -> std::unique_ptr<SerialPort> {
        ::close(fd);
        return failed(kind, why);
    };
    if (!::isatty(fd))
        return refuse(PortOpenError::Failed, QStringLiteral("not a terminal device"));
    // TIOCEXCL keeps other openers out of the device (root passes it); the lock also stops root
    // programs of ours, and is gone with the process that held it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return refuse(PortOpenError::InUse, QStringLiteral("held by another program"));
        return refuse(PortOpenError::Failed, systemErrorText(errno));
    }
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL)
        return refuse(PortOpenError::Failed, systemErrorText(errno));
    PortOpenError lineError = PortOpenError::None;
    int lineSystemError = 0;
    if (!configureLine(fd, speedValue, lines, lineError, lineSystemError)) {
        if (lineSystemError != 0)
            return refuse(lineError, systemErrorText(lineSystemError));
        return refuse(lineError, lineError == PortOpenError::SpeedRefused
                                     ? QStringLiteral("the device does not take %1 bit/s").arg(speed)
                                     : QStringLiteral("the device does not take the line settings"));
    }
    int modemLines = TIOCM_DTR | TIOCM_RTS;
    // A pty has no modem lines.
    if (::ioctl(fd, TIOCMBIS, &modemLines) != 0 && errno != ENOTTY && errno != EINVAL)
        return refuse(PortOpenError::LineRefused, systemErrorText(errno));
    if (::tcflush(fd, TCIOFLUSH) != 0)
        return refuse(PortOpenError::Failed, systemErrorText(errno));
    return std::make_unique<PosixSerialPort>(fd);
}

} // namespace

std::unique_ptr<SerialPort> openSerialDevice(const QString &devicePath, int speed, PortOpenError &error,
                                             LineControl *control)
{
    LineControl systemControl;
    QString reason;
    return openDevice(devicePath, speed, control ? *control : systemControl, error, reason);
}

SerialDevice resolveSerialDevice(const QString &comName)
{
    const QString name = comName.toUpper();
    if (name.size() != 4 || !name.startsWith(QLatin1String("COM")) || name.at(3) < QLatin1Char('1') ||
        name.at(3) > QLatin1Char('9'))
        return {};
    const QString fromEnvironment = qEnvironmentVariable(("HARBROOK_PORT_" + name).toLatin1().constData());
    if (!fromEnvironment.isEmpty())
        return {fromEnvironment, DeviceSource::Environment};
    const QString configured = configuredDevice(name);
    if (!configured.isEmpty())
        return {configured, DeviceSource::Store};
    return {QStringLiteral("/dev/ttyS%1").arg(name.at(3).digitValue() - 1), DeviceSource::Default};
}

QString serialDevicePath(const QString &comName)
{
    return resolveSerialDevice(comName).path;
}

std::unique_ptr<SerialPort> openSerialPort(const QString &comName, int speed, PortOpenError &error)
{
    PortOpenFailure failure;
    std::unique_ptr<SerialPort> port = openSerialPort(comName, speed, failure);
    error = failure.error;
    return port;
}

std::unique_ptr<SerialPort> openSerialPort(const QString &comName, int speed, PortOpenFailure &failure)
{
    failure = {};
    failure.device = resolveSerialDevice(comName);
    LineControl systemControl;
    return openDevice(failure.device.path, speed, systemControl, failure.error, failure.reason);
}

} // namespace platform
