#pragma once

// What the library's tests share: a clean library per case, its settings in the case's store, ptys
// standing in for ports, the terminal simulator as a real peer, and timed clicks into a running wait.

#include "tests/support/RecordingUiService.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace commtest {

// A pty pair; the slave's path is what a port name is pointed at.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;
    bool ok() const { return master_ >= 0; }
    QString path() const { return path_; }
    // What the library wrote, as far as it arrived within the time.
    QByteArray drain(int timeoutMs = 200) const;

private:
    int master_ = -1;
    QString path_;
};

// The terminal simulator on a pty of its own; stopped when dropped.
class TerminalSim {
public:
    TerminalSim(const QString &folder, const QStringList &args);
    ~TerminalSim();
    bool ready() const { return !device_.isEmpty(); }
    QString device() const { return device_; }
    QString log() const;

private:
    QString folder_;
    QProcess process_;
    QString device_;
};

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

class LibraryTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString folder(const QString &name); // a subfolder of the case folder, made when missing, with "/"

    // Writes complete settings (receive, send and log folders) plus the given integer values.
    void storeSettings(const std::vector<std::pair<QString, int>> &values = {});
    // Points "COMn" at a device for this case.
    void pointPort(int number, const QString &device);
    // Runs fn on the UI thread after ms, while a library operation waits.
    static void after(int ms, std::function<void()> fn);
    // Clicks the progress window's stop button.
    static void clickStop();

    testsupport::RecordingUi ui;
    QString rxFolder;
    QString txFolder;
    QString logFolder;

private:
    std::vector<QByteArray> pointed_;
};

} // namespace commtest
