// ymtool: runs one transfer of the engine without a window, for tests and scripts. It prints what
// the progress window would show and ends with the line "result N".

#include "ConsoleProgress.h"
#include "SendPreparation.h"
#include "YmToolArgs.h"

#include "comm/YmThread.h"
#include "platform/Clock.h"
#include "platform/PosixSerialPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <ctime>

namespace {

const char *openErrorText(platform::PortOpenError error)
{
    switch (error) {
    case platform::PortOpenError::NoDevice:
        return "no such device";
    case platform::PortOpenError::InUse:
        return "in use by another program";
    case platform::PortOpenError::SpeedRefused:
        return "the device refuses the speed";
    default:
        return "cannot be opened";
    }
}

int finish(int code)
{
    std::printf("result %d\n", code);
    std::fflush(stdout);
    return code == 0 ? 0 : 1;
}

// Ends when the transfer has: the progress interface says so as its last call.
class DoneProgress final : public TransferProgress {
public:
    explicit DoneProgress(ConsoleProgress &console) : console_(console) {}
    void setLabel(const QString &text) override { console_.setLabel(text); }
    void setGaugeMaximum(int maximum) override { console_.setGaugeMaximum(maximum); }
    void setGaugePosition(int position) override { console_.setGaugePosition(position); }
    void setStopCaption(const QString &caption) override { console_.setStopCaption(caption); }
    void hideWindow() override { console_.hideWindow(); }
    void finished() override
    {
        done = true;
        // Wakes the waiting main thread out of its signal wait.
        ::kill(::getpid(), SIGUSR1);
    }
    std::atomic<bool> done{false};

private:
    ConsoleProgress &console_;
};

} // namespace

int main(int argc, char **argv)
{
    // Signals are taken by the main thread alone: INT or TERM press the stop button, a second one
    // closes the port under the transfer.
    sigset_t handled;
    sigemptyset(&handled);
    sigaddset(&handled, SIGINT);
    sigaddset(&handled, SIGTERM);
    sigaddset(&handled, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);

    QCoreApplication app(argc, argv);
    QString error;
    const auto args = parseYmToolArgs(app.arguments().mid(1), error);
    if (!args) {
        std::fprintf(stderr, "ymtool: %s\n%s", qPrintable(error), YmToolUsage);
        return 2;
    }
    ConsoleProgress console(stdout);
    platform::setUi(&console);

    TransferStart start;
    start.TxFlag = args->send;
    start.CsvFlg = args->csv;
    start.LastSpFlg = args->lastSpace;
    start.DblQuotFlg = args->dblQuoted;
    start.AddZeroFlg = args->send ? false : args->addZero;
    start.LogFlag = !args->logFile.isEmpty();
    start.LogFile = args->logFile;
    if (args->send) {
        const SendPreparation prepared = prepareSend(args->pcFile, args->bhtName, args->fields);
        if (prepared.code != 0)
            return finish(prepared.code);
        start.TxFName = QFileInfo(args->pcFile).absoluteFilePath();
        start.BhtFName = prepared.bhtName;
        start.FieldsDat = prepared.fields;
        std::printf("label %s\n", prepared.bhtName.toUtf8().constData());
    } else {
        QString folder = args->folder;
        if (!QFileInfo(folder).isDir())
            return finish(5);
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        start.RxFolder = folder;
        start.RcvMode = args->continuous ? 1 : 0;
        start.WriteMode = args->append ? 1 : 0;
    }

    QTemporaryDir temporary;
    if (!temporary.isValid()) {
        std::printf("message cannot create a temporary folder\n");
        return finish(12);
    }
    start.Tmp1File = temporary.filePath(QStringLiteral("corltmp1.tmp"));
    start.Tmp2File = temporary.filePath(QStringLiteral("corltmp2.tmp"));

    platform::PortOpenError openError = platform::PortOpenError::None;
    auto port = platform::openSerialPort(args->port, args->speed, openError);
    if (!port) {
        std::printf("message port %s: %s\n", qPrintable(args->port), openErrorText(openError));
        return finish(1); // as a transfer on no open port
    }

    DoneProgress progress(console);
    TYmThread thread(*port, platform::systemClock(), progress, start);
    thread.start();
    int stops = 0;
    while (!progress.done) {
        const timespec step{0, 200 * 1000 * 1000};
        const int caught = sigtimedwait(&handled, nullptr, &step);
        if (caught == SIGINT || caught == SIGTERM) {
            if (stops++ == 0)
                thread.StopCom();
            else
                thread.EndCom();
        }
    }
    thread.wait();
    const TransferResult result = thread.result();
    if (!args->send) {
        std::printf("file %s\n", result.RcvFileName.toUtf8().constData());
        std::printf("fields %s\n", result.FieldList.toUtf8().constData());
    }
    platform::setUi(nullptr);
    return finish(result.ErrorNo);
}
