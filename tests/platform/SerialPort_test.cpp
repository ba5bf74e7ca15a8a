#include "platform/PosixSerialPort.h"
#include "platform/Registry.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "tests/support/TestIsolation.h"

using platform::PortOpenError;
using platform::PortQueueStatus;
using platform::SerialPort;

namespace {

// A pty pair: the test plays the terminal on the master side, the port opens the slave by path.
struct Pty {
    int master = -1;
    int slave = -1;
    QString slavePath;

    Pty()
    {
        termios raw{};
        ::cfmakeraw(&raw);
        char name[128] = {};
        if (::openpty(&master, &slave, name, &raw, nullptr) != 0)
            ADD_FAILURE() << "openpty failed: " << errno;
        slavePath = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        closeMaster();
        if (slave >= 0)
            ::close(slave);
    }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void send(const QByteArray &bytes) const
    {
        ASSERT_EQ(::write(master, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    // What arrived at the master within the time, at most count bytes.
    QByteArray receive(qsizetype count, int timeoutMs = 2000) const
    {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < timeoutMs) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n =
                ::read(master, buffer, size_t(qMin<qsizetype>(sizeof buffer, count - got.size())));
            if (n > 0)
                got.append(buffer, n);
        }
        return got;
    }
};

std::unique_ptr<SerialPort> openPath(const QString &path, int speed, PortOpenError &error)
{
    return platform::openSerialDevice(path, speed, error);
}

// Bytes written by the master reach the slave's input queue a moment later.
bool waitQueued(SerialPort &port, int count)
{
    for (int i = 0; i < 100; ++i) {
        PortQueueStatus status;
        if (port.queueStatus(status) && status.inQueue >= count)
            return true;
        port.waitForInput(20);
    }
    return false;
}

class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value) : name_(name) { qputenv(name, value); }
    ~ScopedEnv() { qunsetenv(name_); }

private:
    const char *name_;
};

TEST(SerialDevicePath, ResolvesPortNames)
{
    const ScopedEnv com2("HARBROOK_PORT_COM2", "/dev/rfcomm0");
    const ScopedEnv com5("HARBROOK_PORT_COM5", "");
    const struct {
        const char *name;
        const char *path;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"com3", "/dev/ttyS2"},
        {"COM9", "/dev/ttyS8"},
        {"COM2", "/dev/rfcomm0"},
        {"COM5", "/dev/ttyS4"}, // an empty override counts as none
        {"COM0", ""},
        {"COM10", ""},
        {"COMX", ""},
        {"LPT1", ""},
        {"COM", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(platform::serialDevicePath(QString::fromLatin1(c.name)), QString::fromLatin1(c.path))
            << c.name;
}

TEST(SerialDevicePath, TakesTheDeviceOfThePortsSettingsBelowTheEnvironment)
{
    platform::TRegistry registry;
    ASSERT_TRUE(
        registry.OpenKey(QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll\\COM6"), true));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("Device"), QStringLiteral("/dev/ttyUSB0")));
    ASSERT_TRUE(
        registry.OpenKey(QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll\\COM7"), true));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("Device"), QString()));
    registry.CloseKey();

    EXPECT_EQ(platform::serialDevicePath(QStringLiteral("COM6")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(platform::serialDevicePath(QStringLiteral("com6")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(platform::serialDevicePath(QStringLiteral("COM7")), QStringLiteral("/dev/ttyS6"));
    EXPECT_EQ(platform::serialDevicePath(QStringLiteral("COM8")), QStringLiteral("/dev/ttyS7"));
    const ScopedEnv com6("HARBROOK_PORT_COM6", "/dev/pts/99");
    EXPECT_EQ(platform::serialDevicePath(QStringLiteral("COM6")), QStringLiteral("/dev/pts/99"));
}

TEST(SerialDevicePath, TellsWhereThePathCameFrom)
{
    platform::TRegistry registry;
    ASSERT_TRUE(
        registry.OpenKey(QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll\\COM6"), true));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("Device"), QStringLiteral("/dev/ttyUSB0")));
    registry.CloseKey();
    const ScopedEnv com2("HARBROOK_PORT_COM2", "/dev/rfcomm0");
    using platform::DeviceSource;
    const struct {
        const char *name;
        const char *path;
        DeviceSource source;
    } cases[] = {
        {"COM2", "/dev/rfcomm0", DeviceSource::Environment},
        {"COM6", "/dev/ttyUSB0", DeviceSource::Store},
        {"com1", "/dev/ttyS0", DeviceSource::Default},
        {"COM10", "", DeviceSource::None},
    };
    for (const auto &c : cases) {
        const platform::SerialDevice device = platform::resolveSerialDevice(QString::fromLatin1(c.name));
        EXPECT_EQ(device.path, QString::fromLatin1(c.path)) << c.name;
        EXPECT_EQ(device.source, c.source) << c.name;
    }
}

TEST(SerialPort, AFailedOpenTellsTheDeviceTriedAndWhy)
{
    const QString plain = testsupport::caseFolder() + QStringLiteral("/not-a-tty");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Pty held;
    PortOpenError error;
    const auto holder = openPath(held.slavePath, 115200, error);
    ASSERT_NE(holder, nullptr);

    const struct {
        QString path;
        PortOpenError error;
        QString reason;
    } cases[] = {
        {QStringLiteral("/nonexistent/ttyX"), PortOpenError::NoDevice,
         QString::fromLocal8Bit(std::strerror(ENOENT))},
        {plain, PortOpenError::Failed, QStringLiteral("not a terminal device")},
        {held.slavePath, PortOpenError::InUse, QStringLiteral("held by another program")},
    };
    for (const auto &c : cases) {
        const ScopedEnv com4("HARBROOK_PORT_COM4", c.path.toLocal8Bit());
        platform::PortOpenFailure failure;
        EXPECT_EQ(platform::openSerialPort(QStringLiteral("COM4"), 115200, failure), nullptr);
        EXPECT_EQ(failure.device.path, c.path);
        EXPECT_EQ(failure.device.source, platform::DeviceSource::Environment);
        EXPECT_EQ(failure.error, c.error) << c.path.toStdString();
        EXPECT_EQ(failure.reason, c.reason) << c.path.toStdString();
    }
    Pty free;
    const ScopedEnv com4("HARBROOK_PORT_COM4", free.slavePath.toLocal8Bit());
    platform::PortOpenFailure failure;
    EXPECT_NE(platform::openSerialPort(QStringLiteral("COM4"), 115200, failure), nullptr);
    EXPECT_EQ(failure.error, PortOpenError::None);
    EXPECT_EQ(failure.reason, QString());
}

TEST(SerialPort, OpensThroughTheOverrideAndCarriesBytesBothWays)
{
    Pty pty;
    const ScopedEnv com4("HARBROOK_PORT_COM4", pty.slavePath.toLocal8Bit());
    PortOpenError error = PortOpenError::Failed;
    auto port = platform::openSerialPort(QStringLiteral("COM4"), 115200, error);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(error, PortOpenError::None);

    const QByteArray frame("\x01\x00\xff"
                           "data\x00\x18",
                           9);
    ASSERT_TRUE(port->write(frame.constData(), frame.size()));
    EXPECT_EQ(pty.receive(frame.size()), frame);

    char buffer[64];
    EXPECT_EQ(port->read(buffer, sizeof buffer), 0); // nothing waits
    pty.send(QByteArray("C\x06\x15", 3));
    ASSERT_TRUE(waitQueued(*port, 3));
    PortQueueStatus status;
    ASSERT_TRUE(port->queueStatus(status));
    EXPECT_EQ(status.inQueue, 3);
    EXPECT_EQ(status.outQueue, 0);
    // A read takes no more than asked for; the rest waits for the next read.
    EXPECT_EQ(port->read(buffer, 2), 2);
    EXPECT_EQ(QByteArray(buffer, 2), QByteArray("C\x06"));
    EXPECT_EQ(port->read(buffer, sizeof buffer), 1);
    EXPECT_EQ(buffer[0], '\x15');
}

TEST(SerialPort, WaitForInputIsBoundedAndWakesOnInput)
{
    Pty pty;
    PortOpenError error;
    auto port = openPath(pty.slavePath, 460800, error);
    ASSERT_NE(port, nullptr);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(port->waitForInput(100));
    EXPECT_GE(timer.elapsed(), 90);
    EXPECT_LT(timer.elapsed(), 1000);

    std::thread terminal([&] {
        ::usleep(50000);
        pty.send("C");
    });
    timer.restart();
    EXPECT_TRUE(port->waitForInput(5000));
    EXPECT_LT(timer.elapsed(), 2000);
    terminal.join();
}

TEST(SerialPort, SetsARawLineAtTheSpeed)
{
    for (const int speed : {115200, 460800, 9600}) {
        Pty pty;
        PortOpenError error;
        auto port = openPath(pty.slavePath, speed, error);
        ASSERT_NE(port, nullptr) << speed;
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.slave, &t), 0);
        const speed_t expected = speed == 115200 ? B115200 : speed == 460800 ? B460800 : B9600;
        EXPECT_EQ(::cfgetospeed(&t), expected) << speed;
        EXPECT_EQ(::cfgetispeed(&t), expected) << speed;
        EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), tcflag_t(0));
        EXPECT_EQ(t.c_oflag & OPOST, tcflag_t(0));
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
    }
}

// A device that takes the line settings but not the speed, in one of two ways.
class RefusingLine : public platform::LineControl {
public:
    explicit RefusingLine(bool silently) : silently_(silently) {}
    int getAttributes(int fd, termios &t) override
    {
        const int r = LineControl::getAttributes(fd, t);
        if (silently_ && r == 0) {
            ::cfsetispeed(&t, B9600);
            ::cfsetospeed(&t, B9600);
        }
        return r;
    }
    int setAttributes(int fd, const termios &t) override
    {
        if (!silently_ && ::cfgetospeed(&t) == B460800) {
            errno = EINVAL;
            return -1;
        }
        return LineControl::setAttributes(fd, t);
    }

private:
    bool silently_;
};

TEST(SerialPort, ASpeedTheDeviceRefusesIsReported)
{
    for (const bool silently : {false, true}) {
        Pty pty;
        RefusingLine line(silently);
        PortOpenError error = PortOpenError::None;
        auto port = platform::openSerialDevice(pty.slavePath, 460800, error, &line);
        EXPECT_EQ(port, nullptr) << silently;
        EXPECT_EQ(error, PortOpenError::SpeedRefused) << silently;
        // The refused open left nothing behind: the device opens again.
        EXPECT_NE(openPath(pty.slavePath, 115200, error), nullptr);
    }
    Pty pty;
    PortOpenError error = PortOpenError::None;
    EXPECT_EQ(openPath(pty.slavePath, 230400, error), nullptr);
    EXPECT_EQ(error, PortOpenError::SpeedRefused);
}

TEST(SerialPort, OpenFailuresSayWhy)
{
    PortOpenError error = PortOpenError::None;
    EXPECT_EQ(openPath(QStringLiteral("/nonexistent/ttyX"), 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::NoDevice);
    EXPECT_EQ(platform::openSerialPort(QStringLiteral("COM10"), 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::NoDevice);

    const QString plain = testsupport::caseFolder() + QStringLiteral("/not-a-tty");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(openPath(plain, 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::Failed);
}

TEST(SerialPort, ASecondOpenIsRefusedUntilTheFirstCloses)
{
    Pty pty;
    PortOpenError error;
    auto first = openPath(pty.slavePath, 115200, error);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(openPath(pty.slavePath, 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::InUse);
    first.reset();
    EXPECT_NE(openPath(pty.slavePath, 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::None);
}

TEST(SerialPort, APortHeldByAnotherProcessIsInUse)
{
    Pty pty;
    const QByteArray path = pty.slavePath.toLocal8Bit();
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    // The child holds the device the way another program of ours would; only async-signal-safe
    // calls after fork.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto port = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char held = (port >= 0 && ::flock(port, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
        (void)!::write(ready[1], &held, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, '1');

    PortOpenError error = PortOpenError::None;
    EXPECT_EQ(openPath(pty.slavePath, 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::InUse);

    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
    EXPECT_NE(openPath(pty.slavePath, 115200, error), nullptr);
    EXPECT_EQ(error, PortOpenError::None);
}

TEST(SerialPort, PurgeDropsWhatCameInAndKeepsWhatWasWritten)
{
    Pty pty;
    PortOpenError error;
    auto port = openPath(pty.slavePath, 115200, error);
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(port->write("\x06", 1)); // a last ACK, just before the engine purges and ends
    pty.send("stale bytes");
    ASSERT_TRUE(waitQueued(*port, 11));
    ASSERT_TRUE(port->purge());
    PortQueueStatus status;
    ASSERT_TRUE(port->queueStatus(status));
    EXPECT_EQ(status.inQueue, 0);
    char buffer[16];
    EXPECT_EQ(port->read(buffer, sizeof buffer), 0);
    pty.send("C");
    ASSERT_TRUE(waitQueued(*port, 1));
    EXPECT_EQ(port->read(buffer, sizeof buffer), 1);
    EXPECT_EQ(pty.receive(1), QByteArray("\x06"));
}

TEST(SerialPort, AWriteLargerThanTheLineHoldsArrivesWhole)
{
    Pty pty;
    PortOpenError error;
    auto port = openPath(pty.slavePath, 460800, error);
    ASSERT_NE(port, nullptr);
    QByteArray data(256 * 1024, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / 251) & 0xff);
    QByteArray got;
    std::thread terminal([&] { got = pty.receive(data.size(), 20000); });
    EXPECT_TRUE(port->write(data.constData(), data.size()));
    terminal.join();
    EXPECT_EQ(got.size(), data.size());
    EXPECT_TRUE(got == data);
}

TEST(SerialPort, AHungUpLineFailsUntilCleared)
{
    Pty pty;
    PortOpenError error;
    auto port = openPath(pty.slavePath, 115200, error);
    ASSERT_NE(port, nullptr);
    pty.closeMaster();
    char buffer[8];
    EXPECT_FALSE(port->waitForInput(200));
    EXPECT_EQ(port->read(buffer, sizeof buffer), -1);
    PortQueueStatus status;
    EXPECT_FALSE(port->queueStatus(status));
    EXPECT_FALSE(port->write("C", 1));
    port->clearError();
    // The line is still gone: the next use fails again rather than reporting silence.
    EXPECT_FALSE(port->write("C", 1));
}

} // namespace
