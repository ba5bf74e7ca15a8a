#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <sys/types.h>
#include <thread>
#include <utility>
#include <vector>

// Real processes on ptys for the transfer tests: the terminal simulator, ymtool, and lrzsz.
namespace itest {

QString toolPath(const QString &name);
bool lrzszPresent();

struct SpawnSpec {
    QString program;
    QStringList args;
    QString cwd;
    QString stdio;    // a device for standard input and output; else /dev/null and the out file
    int stdioFd = -1; // or an open descriptor for them
    QString out;      // standard output (when stdio is empty)
    QString err;      // standard error
    std::vector<std::pair<QByteArray, QByteArray>> env;
};

// A child process; killed when it is dropped still running.
class Child {
public:
    explicit Child(const SpawnSpec &launch);
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool started() const { return pid_ > 0; }
    // False when it did not end in time.
    bool wait(int timeoutMs);
    int exitCode() const { return exitCode_; }
    void signal(int number);

private:
    pid_t pid_ = -1;
    int pidfd_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
};

// The terminal simulator on a pty of its own.
class Sim {
public:
    // folder: where its link file and log go; args: its options.
    Sim(const QString &folder, const QStringList &args);
    ~Sim();
    bool ready() const { return !device_.isEmpty(); }
    QString device() const { return device_; }
    // Stops it and returns its log.
    QString stop();

private:
    QString folder_;
    std::unique_ptr<Child> child_;
    QString device_;
};

struct YmRun {
    bool ended = false;
    int exitCode = -1;
    int result = -1;                         // from the last line "result N"
    QStringList lines;                       // what it printed
    QStringList errors;                      // what it wrote to standard error
    QString value(const QString &key) const; // "file", "fields": the rest of the line
};

// ymtool on COM1 pointed at the device, its output in out and out + ".err", to start as a Child.
SpawnSpec ymtoolLaunch(const QStringList &args, const QString &device, const QString &out);

// Runs ymtool on COM1 pointed at the device.
YmRun runYmtool(const QStringList &args, const QString &device, const QString &folder,
                int timeoutMs = 120000);

// A line between a serial device for ymtool (a pty) and a peer on a socket as its standard input
// and output. lrzsz flushes its tty when it ends, and on a pty that would take back the last
// ACK it wrote; on a socket the ACK stays on its way.
class PeerLine {
public:
    PeerLine();
    ~PeerLine();
    QString device() const { return name_; }
    int peerFd() const { return sockets_[1]; }

private:
    void relay();
    int master_ = -1;
    int slave_ = -1;
    QString name_;
    int sockets_[2] = {-1, -1};
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
};

QByteArray randomBytes(qsizetype size, quint32 seed);
// Lines of exactly the record length plus CR LF.
QByteArray randomRecords(int records, int recordLength, quint32 seed);
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
// Every file of a folder with its content, for before-and-after comparisons.
std::vector<std::pair<QString, QByteArray>> snapshot(const QString &folder);

} // namespace itest
