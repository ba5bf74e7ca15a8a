#include "Peers.h"

#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <random>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char **environ;

namespace itest {

QString toolPath(const QString &name)
{
    return testsupport::toolFolder() + QLatin1Char('/') + name;
}

bool lrzszPresent()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/sb")) &&
           QFileInfo::exists(QStringLiteral("/usr/bin/rb"));
}

Child::Child(const SpawnSpec &launch)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray stdio = launch.stdio.toLocal8Bit();
    const QByteArray out = launch.out.isEmpty() ? QByteArray("/dev/null") : launch.out.toLocal8Bit();
    const QByteArray err = launch.err.isEmpty() ? QByteArray("/dev/null") : launch.err.toLocal8Bit();
    if (launch.stdioFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, launch.stdioFd, 0);
        posix_spawn_file_actions_adddup2(&actions, launch.stdioFd, 1);
    } else if (!stdio.isEmpty()) {
        posix_spawn_file_actions_addopen(&actions, 0, stdio.constData(), O_RDWR | O_NOCTTY, 0);
        posix_spawn_file_actions_adddup2(&actions, 0, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const QByteArray cwd = launch.cwd.toLocal8Bit();
    if (!cwd.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());

    std::vector<QByteArray> argStore{launch.program.toLocal8Bit()};
    for (const QString &a : launch.args)
        argStore.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStore;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        bool replaced = false;
        for (const auto &[name, value] : launch.env)
            replaced = replaced || entry.startsWith(name + '=');
        if (!replaced)
            envStore.push_back(entry);
    }
    for (const auto &[name, value] : launch.env)
        envStore.push_back(name + '=' + value);
    std::vector<char *> envp;
    for (QByteArray &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data()) == 0) {
        pid_ = pid;
        pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

Child::~Child()
{
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        wait(10000);
    }
    if (pidfd_ >= 0)
        ::close(pidfd_);
}

bool Child::wait(int timeoutMs)
{
    if (ended_)
        return true;
    if (pid_ <= 0)
        return false;
    if (pidfd_ >= 0) {
        pollfd p{pidfd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
    }
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_)
        return false;
    ended_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

void Child::signal(int number)
{
    if (pid_ > 0 && !ended_)
        ::kill(pid_, number);
}

Sim::Sim(const QString &folder, const QStringList &args) : folder_(folder)
{
    const QString link = folder + QStringLiteral("/sim.link");
    QFile::remove(link);
    SpawnSpec launch;
    launch.program = toolPath(QStringLiteral("harbrook-terminal-sim"));
    launch.args = QStringList{QStringLiteral("--link"), link, QStringLiteral("--log"),
                              folder + QStringLiteral("/sim.log")} +
                  args;
    launch.out = folder + QStringLiteral("/sim.out");
    launch.err = folder + QStringLiteral("/sim.err");
    child_ = std::make_unique<Child>(launch);
    // The simulator writes the link file whole once its pty is up.
    QElapsedTimer timer;
    timer.start();
    while (child_->started() && timer.elapsed() < 10000) {
        const QByteArray path = readFile(link).trimmed();
        if (!path.isEmpty()) {
            device_ = QString::fromLocal8Bit(path);
            break;
        }
        if (child_->wait(20))
            break;
    }
}

Sim::~Sim()
{
    stop();
}

QString Sim::stop()
{
    if (child_) {
        child_->signal(SIGTERM);
        child_->wait(10000);
        child_.reset();
    }
    return QString::fromUtf8(readFile(folder_ + QStringLiteral("/sim.log")));
}

QString YmRun::value(const QString &key) const
{
    const QString prefix = key + QLatin1Char(' ');
    for (const QString &l : lines)
        if (l.startsWith(prefix))
            return l.mid(prefix.size());
    return {};
}

SpawnSpec ymtoolLaunch(const QStringList &args, const QString &device, const QString &out)
{
    SpawnSpec launch;
    launch.program = toolPath(QStringLiteral("ymtool"));
    launch.args = args;
    launch.out = out;
    launch.err = out + QStringLiteral(".err");
    launch.env.push_back({"HARBROOK_PORT_COM1", device.toLocal8Bit()});
    return launch;
}

YmRun runYmtool(const QStringList &args, const QString &device, const QString &folder, int timeoutMs)
{
    static std::atomic<int> serial{0};
    const QString out = folder + QStringLiteral("/ymtool-%1.out").arg(serial++);
    const SpawnSpec launch = ymtoolLaunch(args, device, out);
    YmRun run;
    {
        Child child(launch);
        run.ended = child.wait(timeoutMs);
        run.exitCode = child.exitCode();
    }
    run.lines = QString::fromUtf8(readFile(out)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(readFile(launch.err)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!run.lines.isEmpty() && run.lines.last().startsWith(QLatin1String("result ")))
        run.result = run.lines.last().mid(7).toInt();
    return run;
}

PeerLine::PeerLine()
{
    termios raw{};
    ::cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) == 0)
        name_ = QString::fromLocal8Bit(name);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sockets_) == 0 && ::pipe(stopPipe_) == 0)
        thread_ = std::thread([this] { relay(); });
}

PeerLine::~PeerLine()
{
    if (thread_.joinable()) {
        (void)!::write(stopPipe_[1], "x", 1);
        thread_.join();
    }
    for (int fd : {master_, slave_, sockets_[0], sockets_[1], stopPipe_[0], stopPipe_[1]})
        if (fd >= 0)
            ::close(fd);
}

void PeerLine::relay()
{
    const int ends[2] = {master_, sockets_[0]};
    for (;;) {
        pollfd p[3] = {{ends[0], POLLIN, 0}, {ends[1], POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(p, 3, 1000) < 0 && errno != EINTR)
            return;
        if (p[2].revents)
            return;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & POLLIN))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(ends[i], buffer, sizeof buffer);
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t w = ::write(ends[1 - i], buffer + done, size_t(n - done));
                if (w <= 0)
                    break;
                done += w;
            }
        }
    }
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    std::mt19937 engine(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = static_cast<char>(engine() & 0xFF);
    return bytes;
}

QByteArray randomRecords(int records, int recordLength, quint32 seed)
{
    std::mt19937 engine(seed);
    QByteArray bytes;
    for (int r = 0; r < records; ++r) {
        for (int i = 0; i < recordLength; ++i)
            bytes.append(static_cast<char>('0' + engine() % 75)); // digits, letters and signs
        bytes.append("\r\n");
    }
    return bytes;
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

std::vector<std::pair<QString, QByteArray>> snapshot(const QString &folder)
{
    std::vector<std::pair<QString, QByteArray>> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        files.emplace_back(name, readFile(dir.filePath(name)));
    return files;
}

} // namespace itest
