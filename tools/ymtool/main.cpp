// ymtool: runs one transfer through the communication library, the way a button of the main menu
// does (YmInitialize, YmComOpen, YmSendFile or YmRecvFile, YmErrorMsg, YmComClose), for tests and
// scripts. It prints what the progress window shows and ends with the line "result N".

#include "ConsoleProgress.h"
#include "StopSignals.h"
#include "ToolSettings.h"
#include "YmToolArgs.h"

#include "comm/ui/ComForm.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "platform/Cp932.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace cp932 = platform::cp932;

namespace {

int finish(int code)
{
    std::printf("result %d\n", code);
    std::fflush(stdout);
    return code == 0 ? 0 : 1;
}

// Appends the library's log of this run to the operator's log file.
bool appendLog(const QString &from, QFile &to)
{
    QFile log(from);
    if (!log.exists())
        return true; // nothing was logged
    if (!log.open(QIODevice::ReadOnly))
        return false;
    const QByteArray lines = log.readAll();
    return log.error() == QFileDevice::NoError && to.write(lines) == lines.size() && to.flush();
}

// The first stop presses the window's stop button; any further one ends the transfer under it.
void stop(int count)
{
    if (!comm::ComForm)
        return;
    if (count == 1) {
        if (auto *button = comm::ComForm->findChild<QPushButton *>(QStringLiteral("StopButton")))
            button->click();
    } else if (comm::ComForm->YmThread) {
        comm::ComForm->YmThread->EndCom();
    }
}

int run(const YmToolArgs &args, ConsoleProgress &console)
{
    // A store and a temporary folder of this run alone: the operator's settings stay untouched, and
    // runs side by side do not share the library's temporary files.
    QTemporaryDir work;
    if (!work.isValid()) {
        console.note(QStringLiteral("cannot create a temporary folder"));
        return 12;
    }
    const QString logFolder = work.filePath(QStringLiteral("log"));
    if (!QDir().mkpath(logFolder)) {
        console.note(QStringLiteral("cannot create %1").arg(logFolder));
        return 12;
    }
    QFile logFile(args.logFile);
    if (!args.logFile.isEmpty() && !logFile.open(QIODevice::WriteOnly | QIODevice::Append)) {
        console.note(QStringLiteral("cannot append to %1").arg(args.logFile));
        return 12;
    }
    qputenv("HARBROOK_REGISTRY", QFile::encodeName(work.filePath(QStringLiteral("registry.json"))));
    qputenv("TMPDIR", QFile::encodeName(work.path()));
    QString error;
    if (!writeCommSettings(args, logFolder, QDir::currentPath(), error)) {
        console.note(QStringLiteral("cannot write the settings: %1").arg(error));
        return 12;
    }

    YmInitialize();
    const int handle = YmComOpen(nullptr, cp932::encode(args.port), args.speed);
    if (comm::ComForm)
        console.watch(*comm::ComForm);
    const StopSignals stops(stop);

    int code = 0;
    if (args.send) {
        code = YmSendFile(handle, cp932::encode(args.pcFile), cp932::encode(args.bhtName),
                          cp932::encode(args.fields));
    } else {
        QByteArray received;
        QByteArray fields;
        code = YmRecvFile(handle, cp932::encode(args.folder), args.continuous ? 1 : 0, args.append ? 1 : 0,
                          received, fields);
        std::printf("file %s\n", cp932::decode(received).toUtf8().constData());
        std::printf("fields %s\n", cp932::decode(fields).toUtf8().constData());
        std::fflush(stdout);
    }
    YmErrorMsg(args.send ? 5 : 6, code);

    const QString libraryLog = handle == -1 ? QString() : YmLogFileName();
    if (handle != -1 && YmComClose(handle) != 0)
        console.note(QStringLiteral("the port would not close"));
    // Whatever is left (a transfer that would not end) goes before the application does.
    comm::resetLibraryState();
    if (logFile.isOpen() && !libraryLog.isEmpty() && !appendLog(libraryLog, logFile)) {
        console.note(QStringLiteral("cannot append to %1").arg(args.logFile));
        if (code == 0)
            code = 12;
    }
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    StopSignals::block();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString error;
    const auto args = parseYmToolArgs(app.arguments().mid(1), error);
    if (!args) {
        std::fprintf(stderr, "ymtool: %s\n%s", qPrintable(error), YmToolUsage);
        return 2;
    }
    ConsoleProgress console(stdout);
    platform::setUi(&console);
    const int code = run(*args, console);
    platform::setUi(nullptr);
    return finish(code);
}
