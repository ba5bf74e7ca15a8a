#include "CorlissLHarness.h"

#include "comm/CorlissRules.h"
#include "comm/ui/ComForm.h"
#include "comm/ui/ComMain.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace commtest {

Pty::Pty()
{
    termios raw{};
    ::cfmakeraw(&raw);
    char name[128] = {};
    int slave = -1;
    if (::openpty(&master_, &slave, name, &raw, nullptr) != 0) {
        master_ = -1;
        return;
    }
    // The library opens the slave itself; the master keeps the pair alive.
    ::close(slave);
    path_ = QString::fromLocal8Bit(name);
}

Pty::~Pty()
{
    if (master_ >= 0)
        ::close(master_);
}

QByteArray Pty::drain(int timeoutMs) const
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
            continue;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

TerminalSim::TerminalSim(const QString &folder, const QStringList &args) : folder_(folder)
{
    const QString link = folder + QStringLiteral("sim.link");
    process_.setProgram(testsupport::toolFolder() + QStringLiteral("/harbrook-terminal-sim"));
    process_.setArguments(QStringList{QStringLiteral("--link"), link, QStringLiteral("--log"),
                                      folder + QStringLiteral("sim.log")} +
                          args);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted(5000))
        return;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000 && process_.state() == QProcess::Running) {
        const QByteArray device = readFile(link).trimmed();
        if (!device.isEmpty()) {
            device_ = QString::fromLocal8Bit(device);
            return;
        }
        QThread::msleep(20);
    }
}

TerminalSim::~TerminalSim()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

QString TerminalSim::log() const
{
    return QString::fromUtf8(readFile(folder_ + QStringLiteral("sim.log")));
}

void LibraryTest::SetUp()
{
    comm::resetLibraryState();
    rxFolder = folder(QStringLiteral("rx"));
    txFolder = folder(QStringLiteral("tx"));
    logFolder = folder(QStringLiteral("log"));
}

void LibraryTest::TearDown()
{
    comm::resetLibraryState();
    for (const QByteArray &name : pointed_)
        qunsetenv(name.constData());
}

QString LibraryTest::folder(const QString &name)
{
    const QString path = testsupport::caseFolder() + QLatin1Char('/') + name;
    QDir().mkpath(path);
    return path + QLatin1Char('/');
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
           file.flush();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void LibraryTest::storeSettings(const std::vector<std::pair<QString, int>> &values)
{
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(comm::commSettingsKey(), true));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("DefRxFolder"), rxFolder));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("DefTxFolder"), txFolder));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("LogFolder"), logFolder));
    for (const auto &[name, value] : values)
        ASSERT_TRUE(registry.WriteInteger(name, value));
}

void LibraryTest::pointPort(int number, const QString &device)
{
    const QByteArray name = "HARBROOK_PORT_COM" + QByteArray::number(number);
    qputenv(name.constData(), device.toLocal8Bit());
    pointed_.push_back(name);
}

void LibraryTest::after(int ms, std::function<void()> fn)
{
    QTimer::singleShot(ms, std::move(fn));
}

void LibraryTest::clickStop()
{
    ASSERT_TRUE(comm::ComForm);
    auto *button = comm::ComForm->findChild<QPushButton *>(QStringLiteral("StopButton"));
    ASSERT_NE(button, nullptr);
    button->click();
}

} // namespace commtest
