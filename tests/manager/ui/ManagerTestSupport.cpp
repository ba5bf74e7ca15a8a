#include "ManagerTestSupport.h"

#include "manager/MainRules.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace managertest {

QString casePath(const QString &relative)
{
    return QDir(testsupport::caseFolder()).filePath(relative);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void storeModeSettings(bool showProgress)
{
    const QString rx = casePath(QStringLiteral("received"));
    const QString tx = casePath(QStringLiteral("outgoing"));
    QDir().mkpath(rx);
    QDir().mkpath(tx);
    platform::TRegistry registry;
    registry.OpenKey(QStringLiteral("\\") + manager::CommKey, true);
    registry.WriteBool(QStringLiteral("DspMode"), showProgress);
    registry.WriteBool(QStringLiteral("LogEnable"), false);
    registry.WriteString(QStringLiteral("DefRxFolder"), rx + QLatin1Char('/'));
    registry.WriteString(QStringLiteral("DefTxFolder"), tx + QLatin1Char('/'));
}

void storeComValue(const QString &name, int value)
{
    platform::TRegistry registry;
    registry.OpenKey(QStringLiteral("\\") + manager::CommKey, true);
    registry.WriteInteger(name, value);
}

PtyPeer::PtyPeer() : previousPort_(qgetenv("HARBROOK_PORT_COM1"))
{
    termios raw{};
    cfmakeraw(&raw);
    char path[256] = {};
    if (openpty(&master_, &slave_, path, &raw, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    qputenv("HARBROOK_PORT_COM1", path);
}

PtyPeer::~PtyPeer()
{
    qputenv("HARBROOK_PORT_COM1", previousPort_);
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

QByteArray PtyPeer::takeArrived()
{
    QByteArray arrived;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        arrived.append(buffer, n);
    }
    return arrived;
}

namespace {

// Each simulator of a case gets a folder of its own, so that a second one never reads the first's line.
QString nextSimulatorFolder()
{
    for (int n = 1;; ++n) {
        const QString folder = casePath(n == 1 ? QStringLiteral("sim") : QStringLiteral("sim%1").arg(n));
        if (!QFileInfo::exists(folder))
            return folder;
    }
}

} // namespace

Simulator::Simulator(const QStringList &args)
    : folder_(nextSimulatorFolder()), previousPort_(qgetenv("HARBROOK_PORT_COM1"))
{
    QDir().mkpath(folder_);
    const QString link = QDir(folder_).filePath(QStringLiteral("link"));
    process_.setProgram(QDir(testsupport::toolFolder()).filePath(QStringLiteral("harbrook-terminal-sim")));
    process_.setArguments(QStringList{QStringLiteral("--link"), link, QStringLiteral("--log"),
                                      QDir(folder_).filePath(QStringLiteral("sim.log"))} +
                          args);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start();
    if (!process_.waitForStarted(5000))
        return;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
        const QByteArray path = readFile(link).trimmed();
        if (!path.isEmpty()) {
            device_ = QString::fromLocal8Bit(path);
            qputenv("HARBROOK_PORT_COM1", path);
            return;
        }
        QThread::msleep(20);
    }
}

Simulator::~Simulator()
{
    qputenv("HARBROOK_PORT_COM1", previousPort_);
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

QString Simulator::log() const
{
    return QString::fromUtf8(readFile(QDir(folder_).filePath(QStringLiteral("sim.log"))));
}

} // namespace managertest
