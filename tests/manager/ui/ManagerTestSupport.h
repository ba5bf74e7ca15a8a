#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// What the main menu's tests share: a port device the test watches, the terminal simulator as a
// process, and the communication settings the library needs before it transfers.
namespace managertest {

QString casePath(const QString &relative);
// Creates the file with the bytes (and its folder); false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Makes the library's mode settings complete: receive and send folders under the case folder,
// the progress window on or off, no log.
void storeModeSettings(bool showProgress);
// Stores an integer of the communication key.
void storeComValue(const QString &name, int value);

// A pty pair whose slave stands for COM1; the test reads what reached the terminal's end.
class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;
    bool ok() const { return master_ >= 0; }
    // Everything that arrived so far, without waiting.
    QByteArray takeArrived();

private:
    int master_ = -1;
    int slave_ = -1;
    QByteArray previousPort_;
};

// The terminal simulator on a pty of its own, with COM1 pointed at it while it lives.
class Simulator {
public:
    explicit Simulator(const QStringList &args);
    ~Simulator();
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;
    bool ready() const { return !device_.isEmpty(); }
    QString log() const;

private:
    QProcess process_;
    QString folder_;
    QString device_;
    QByteArray previousPort_;
};

} // namespace managertest
