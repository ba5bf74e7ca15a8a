#pragma once

// Ports for the communication conditions tests: "COMn" pointed at a pty slave, at a path with no
// device, or held by another process, each put back as it was when the object goes; and the
// integers the conditions dialog stored.

#include "comm/CorlissRules.h"
#include "platform/PosixSerialPort.h"
#include "platform/Registry.h"

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <pty.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace commtest {

// Points HARBROOK_PORT_COMn at a path while it lives.
class PortOverride {
public:
    PortOverride(int portNumber, const QString &path)
        : name_(QByteArrayLiteral("HARBROOK_PORT_COM") + QByteArray::number(portNumber)),
          wasSet_(qEnvironmentVariableIsSet(name_.constData())), previous_(qgetenv(name_.constData()))
    {
        qputenv(name_.constData(), path.toLocal8Bit());
    }
    ~PortOverride()
    {
        if (wasSet_)
            qputenv(name_.constData(), previous_);
        else
            qunsetenv(name_.constData());
    }
    PortOverride(const PortOverride &) = delete;
    PortOverride &operator=(const PortOverride &) = delete;

private:
    QByteArray name_;
    bool wasSet_;
    QByteArray previous_;
};

// A pty pair whose slave the port stands for.
class PortPty {
public:
    explicit PortPty(int portNumber)
    {
        termios raw{};
        ::cfmakeraw(&raw);
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
            master_ = slave_ = -1;
            return;
        }
        path_ = QString::fromLocal8Bit(name);
        override_ = std::make_unique<PortOverride>(portNumber, path_);
    }
    ~PortPty()
    {
        override_.reset();
        for (int fd : {master_, slave_})
            if (fd >= 0)
                ::close(fd);
    }
    PortPty(const PortPty &) = delete;
    PortPty &operator=(const PortPty &) = delete;

    bool ok() const { return master_ >= 0; }
    const QString &path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::unique_ptr<PortOverride> override_;
};

// Another program holding a device the way ours do (an exclusive lock), until released.
class PortHolder {
public:
    explicit PortHolder(const QString &devicePath)
    {
        const QByteArray path = devicePath.toLocal8Bit();
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(release_) != 0)
            return;
        child_ = ::fork();
        if (child_ == 0) {
            // Only async-signal-safe calls after fork.
            const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char held = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
            (void)!::write(ready[1], &held, 1);
            char c;
            (void)!::read(release_[0], &c, 1);
            ::_exit(0);
        }
        char held = '0';
        if (child_ > 0 && ::read(ready[0], &held, 1) == 1)
            held_ = held == '1';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder &) = delete;
    PortHolder &operator=(const PortHolder &) = delete;

    bool held() const { return held_; }
    void release()
    {
        if (child_ <= 0)
            return;
        (void)!::write(release_[1], "x", 1);
        int status = 0;
        ::waitpid(child_, &status, 0);
        child_ = -1;
        held_ = false;
        ::close(release_[0]);
        ::close(release_[1]);
    }

private:
    pid_t child_ = -1;
    int release_[2] = {-1, -1};
    bool held_ = false;
};

// A device that refuses the 460.8 kbps speed, or every line setting.
class RefusingLine : public platform::LineControl {
public:
    enum class Refuses { FastSpeed, Everything };
    explicit RefusingLine(Refuses refuses) : refuses_(refuses) {}
    int setAttributes(int fd, const termios &t) override
    {
        if (refuses_ == Refuses::Everything || ::cfgetospeed(&t) == B460800) {
            errno = EINVAL;
            return -1;
        }
        return LineControl::setAttributes(fd, t);
    }

private:
    Refuses refuses_;
};

// An integer of the communication settings key as stored, nothing when it is missing.
inline std::optional<int> storedInteger(const QString &name)
{
    platform::TRegistry registry;
    if (!registry.OpenKeyReadOnly(comm::commSettingsKey()))
        return std::nullopt;
    return registry.ReadInteger(name);
}

} // namespace commtest
