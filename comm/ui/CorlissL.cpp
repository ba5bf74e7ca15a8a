#include "CorlissL.h"

#include "comm/CorlissRules.h"
#include "comm/ui/ComForm.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/SetComMode.h"
#include "common/ui/FormKit.h"
#include "platform/Cp932.h"
#include "platform/PosixSerialPort.h"
#include "platform/Registry.h"
#include "platform/UiService.h"
#include "platform/ui/ScreenFit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdio>

using namespace comm;
namespace cp932 = platform::cp932;

namespace {

// Handles are never reused, so a handle kept from an earlier open is told apart from the open one.
int NextHandle = 1;

void showLibraryError(const QString &text)
{
    platform::MsgStyle style = formkit::stopStyle();
    style.foreground = true;
    platform::ui().messageBox(text, libraryCaption(), style);
}

// Runs the caller's events for at most ms milliseconds, or until done() holds at one of the 50 ms ticks.
template <typename Done> void serviceEventsUntil(int ms, Done done)
{
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= ms)
            loop.quit();
    });
    tick.start();
    // An event loop refuses to run once the application is quitting; the wait then goes on in
    // 50 ms sleeps, serving events between them, until the transfer has ended.
    if (loop.exec() != 0) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
}

void waitWhileBusy()
{
    while (Busy)
        serviceEventsUntil(1000, [] { return !Busy; });
}

// The failure paths of YmComOpen after the window exists.
void dropWindow()
{
    ComForm->closeWindow();
    ComForm.reset();
    PortName.clear();
}

// An empty file of a unique name in folder; created stays true only while every reservation works.
QString reserveTempFile(const QString &folder, const QString &stem, bool &created)
{
    QTemporaryFile file(folder + stem + QStringLiteral("-XXXXXX.tmp"));
    file.setAutoRemove(false);
    if (!file.open()) {
        created = false;
        return folder + stem + QStringLiteral(".tmp");
    }
    return file.fileName();
}

bool logFileUsable(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

int sendFile(int handle, const QByteArray &pcFile, const QByteArray &bhtName, const QByteArray &fieldList,
             bool jobSettings)
{
    if (const int refused = transferGuard(YmReady, handle, YmHandle, Busy))
        return refused;
    SendRequest request;
    request.pcPath = cp932::decode(pcFile);
    request.bhtName = cp932::decode(bhtName);
    request.fieldList = cp932::decode(fieldList);
    request.defTxFolder = Mode.DefTxFolder;
    SendPlan plan = planSend(request);
    if (plan.chooseFile) {
        const QString chosen = platform::ui().openFileName(QString(), plan.dialogFolder, QString());
        if (chosen.isEmpty())
            return 1;
        plan = planChosenFile(chosen, request.bhtName);
    }
    FieldList = plan.fieldList;
    if (plan.code != 0)
        return plan.code;
    ComForm->TxFile = plan.txFile;
    ComForm->BhtFile = plan.bhtFile;
    ComForm->setVisible(jobSettings || Mode.DspMode);
    if (jobSettings)
        ComForm->SendBnf0();
    else
        ComForm->Send0();
    waitWhileBusy();
    return LastResult;
}

} // namespace

bool YmLoadSetting()
{
    platform::TRegistry registry;
    Mode = readModeSettings(registry);
    if (const std::optional<QString> missing = incompleteSettingsMessage(Mode)) {
        platform::MsgStyle style;
        style.icon = platform::MsgIcon::Exclamation;
        style.foreground = true;
        platform::ui().messageBox(*missing, libraryCaption(), style);
        return false;
    }
    return true;
}

bool YmInitialize()
{
    // The window and the port must be gone before the application is.
    static bool quitHooked = false;
    if (!quitHooked && QCoreApplication::instance()) {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         [] { resetLibraryState(); });
        quitHooked = true;
    }
    // Incomplete settings have shown their message; the mode dialog then asks for them before any
    // window of the program exists.
    if (!YmLoadSetting()) {
        TSetComModeForm form;
        platform::ui().showModal(form);
    }
    YmHandle = -1;
    YmReady = true;
    return true;
}

bool YmSetMode(QWidget *owner)
{
    if (!YmReady)
        return false;
    TSetComModeForm form(owner);
    platform::ui().showModal(form);
    return true;
}

int YmComOpen(QWidget *owner, const QByteArray &portName, int speed)
{
    // The progress window keeps itself on top and the boxes take the active window: the owner only
    // tells where the window opens the first time.
    if (!YmReady)
        return -1;
    if (YmHandle != -1)
        return YmHandle;
    const QString passed = cp932::decode(portName);
    const std::optional<int> number = portNumber(portName);
    if (!number) {
        showLibraryError(QStringLiteral("COMﾎﾟｰﾄ名が不良です。"));
        return -1;
    }
    if (!isSupportedSpeed(speed)) {
        showLibraryError(QStringLiteral("通信スピード設定に誤りがあります。"));
        return -1;
    }
    const QString comName = QStringLiteral("COM%1").arg(*number);
    platform::PortOpenFailure failure;
    std::unique_ptr<platform::SerialPort> port = platform::openSerialPort(comName, speed, failure);
    if (!port) {
        // Written before the box, which waits for the operator.
        std::fprintf(stderr, "%s\n", portOpenFailureLine(comName, failure).toUtf8().constData());
        std::fflush(stderr);
        const bool lineRefused = failure.error == platform::PortOpenError::SpeedRefused ||
                                 failure.error == platform::PortOpenError::LineRefused;
        showLibraryError(lineRefused
                             ? QStringLiteral("通信条件設定失敗")
                             : passed + QStringLiteral(" は既に使用されているか\r\n使用不可の状態です。"));
        return -1;
    }
    port->purge();

    ComForm = std::make_unique<TComForm>(*port, passed);
    PortName = passed;
    // Unique names, created exclusively: two programs (or a stale file planted in a shared
    // temporary folder) must never share a transfer's temporary files.
    const QString tempFolder = transferTempFolder();
    bool tempCreated = true;
    if (!tempFolder.isEmpty()) {
        ComForm->Tmp1File = reserveTempFile(tempFolder, QStringLiteral("corltmp1"), tempCreated);
        ComForm->Tmp2File = reserveTempFile(tempFolder, QStringLiteral("corltmp2"), tempCreated);
    }
    ComForm->setWindowTitle(QStringLiteral("通信ポート %1 %2 bps").arg(PortName).arg(speed));
    ComForm->hide();
    std::optional<QPoint> stored;
    if (Mode.DspMode) {
        platform::TRegistry registry;
        if (registry.OpenKeyReadOnly(portSubkey(PortName))) {
            const std::optional<int> left = registry.ReadInteger(QStringLiteral("DspX"));
            const std::optional<int> top = registry.ReadInteger(QStringLiteral("DspY"));
            if (left && top)
                stored = QPoint(*left, *top);
        }
    }
    ComForm->adjustSize();
    const QWidget *ownerWindow = owner != nullptr ? owner->window() : nullptr;
    const QScreen *screen = ownerWindow != nullptr ? ownerWindow->screen() : QGuiApplication::primaryScreen();
    ComForm->move(progressWindowPosition(
        stored, ownerWindow != nullptr ? screenfit::expectedFrame(*ownerWindow) : QRect(),
        ComForm->size().grownBy(screenfit::expectedFrameMargins(*ComForm)),
        screen != nullptr ? screen->availableGeometry() : QRect()));

    QString tempFailure;
    if (ComForm->Tmp1File.isEmpty())
        tempFailure = QStringLiteral("ﾃﾝﾎﾟﾗﾘﾌｧｲﾙ1が作成できません");
    else if (ComForm->Tmp2File.isEmpty())
        tempFailure = QStringLiteral("ﾃﾝﾎﾟﾗﾘﾌｧｲﾙ2が作成できません");
    else if (!tempCreated)
        tempFailure = QStringLiteral("ﾃﾝﾎﾟﾗﾘﾌｧｲﾙ1にｱｸｾｽできません");
    if (!tempFailure.isEmpty()) {
        dropWindow();
        showLibraryError(tempFailure);
        return -1;
    }

    ComForm->LogFile = YmLogFileName();
    if (Mode.LogEnable && !logFileUsable(ComForm->LogFile)) {
        dropWindow();
        showLibraryError(QStringLiteral("通信履歴保存ﾌｧｲﾙにｱｸｾｽできません"));
        return -1;
    }

    YmPort = std::move(port);
    YmHandle = NextHandle++;
    return YmHandle;
}

int YmSendFile(int handle, const QByteArray &pcFile, const QByteArray &bhtName, const QByteArray &fieldList)
{
    return sendFile(handle, pcFile, bhtName, fieldList, false);
}

int YmSendBnf(int handle, const QByteArray &pcFile, const QByteArray &bhtName, const QByteArray &fieldList)
{
    return sendFile(handle, pcFile, bhtName, fieldList, true);
}

int YmRecvFile(int handle, const QByteArray &folder, int continuous, int append, QByteArray &receivedName,
               QByteArray &fieldList)
{
    receivedName.clear();
    fieldList.clear();
    if (const int refused = transferGuard(YmReady, handle, YmHandle, Busy))
        return refused;
    QString target = cp932::decode(folder);
    if (target.isEmpty())
        target = Mode.DefRxFolder;
    if (target.isEmpty() || !QFileInfo(target).isDir())
        return 5;
    ComForm->RxFolder0 = withSeparator(target);
    FieldList.clear();
    ComForm->RMode = continuous != 0 ? 1 : 0;
    ComForm->WMode = append != 0 ? 1 : 0;
    if (Mode.DspMode)
        ComForm->show();
    ComForm->Receive0();
    waitWhileBusy();
    receivedName = cp932::encode(RcvFileName);
    fieldList = cp932::encode(FieldList);
    return LastResult;
}

void YmErrorMsg(int kind, int code)
{
    const std::optional<QString> text = resultText(code);
    if (!text)
        return;
    platform::ui().messageBox(*text, operationCaption(kind), resultStyle(code));
}

int YmComClose(int handle)
{
    if (!YmReady || handle != YmHandle)
        return 3;
    if (handle == -1)
        return 1;
    QElapsedTimer clock;
    clock.start();
    while (Busy && clock.elapsed() < 10000) {
        if (ComForm && ComForm->YmThread)
            ComForm->YmThread->EndCom();
        serviceEventsUntil(100, [] { return !Busy; });
    }
    if (Busy)
        return 2;
    if (ComForm)
        ComForm->closeWindow();
    ComForm.reset();
    YmPort.reset();
    PortName.clear();
    YmHandle = -1;
    return 0;
}

QString YmLogFileName()
{
    return logFileName(Mode.LogFolder, PortName, Mode.LogFileMode, QDate::currentDate());
}

QString YmReadFldFile(const QString &pcFile)
{
    return readFldFile(pcFile);
}
