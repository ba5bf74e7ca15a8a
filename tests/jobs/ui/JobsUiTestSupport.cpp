#include "JobsUiTestSupport.h"

#include "comm/CorlissRules.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "jobs/BhtFileLayout.h"
#include "platform/Registry.h"
#include "tests/jobs/SettingsProgramFolder.h"
#include "tests/support/TestIsolation.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace jobsuitest {

namespace {

void fill(std::array<TKoData, MaxKoCount> &items, int &count, const std::vector<Field> &fields)
{
    count = int(fields.size());
    for (size_t i = 0; i < fields.size() && i < items.size(); ++i) {
        InitKoData(items[i], QString::fromUtf8(fields[i].name), u'A');
        items[i].KDLen = fields[i].length;
        items[i].KDSaveFlg = true;
    }
}

} // namespace

TGyData storingJob(int tStamp, int tsLoc, bool htNo, const std::vector<Field> &group,
                   const std::vector<Field> &data)
{
    TGyData job;
    job.GyName = QStringLiteral("入荷検品");
    job.FName = QStringLiteral("NYUKA.DAT");
    job.TStamp = tStamp;
    job.TSLoc = tsLoc;
    job.AddIDChk = htNo;
    fill(job.GrKoDa, job.GrCount, group);
    fill(job.DaKoDa, job.DaCount, data);
    GetBhtFld(job);
    return job;
}

QString folderWithSettingsProgram(const QByteArray &body)
{
    return jobstest::folderWithSettingsProgram("TEST.PD4    settings            \r\n",
                                               QStringLiteral("settings"), body);
}

SendingTerminal::SendingTerminal(const QString &outbox)
    : folder_(QDir(testsupport::caseFolder()).filePath(QStringLiteral("terminal")))
{
    QDir().mkpath(folder_);
    platform::TRegistry registry;
    if (!registry.OpenKey(comm::commSettingsKey(), true))
        return;
    for (const char *name : {"DefRxFolder", "DefTxFolder", "LogFolder"})
        registry.WriteString(QString::fromLatin1(name), folder_ + QLatin1Char('/'));
    registry.WriteBool(QStringLiteral("DspMode"), false);
    registry.WriteBool(QStringLiteral("LogEnable"), false);
    registry.CloseKey();
    comm::resetLibraryState();
    YmInitialize();

    const QString link = QDir(folder_).filePath(QStringLiteral("line"));
    process_.setProgram(QStringLiteral(HARBROOK_TERMINAL_SIM));
    process_.setArguments({QStringLiteral("--link"), link, QStringLiteral("--log"),
                           QDir(folder_).filePath(QStringLiteral("sim.log")), QStringLiteral("--outbox"),
                           outbox, QStringLiteral("--fields"), QStringLiteral("500")});
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start();
    if (!process_.waitForStarted(5000))
        return;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
        QFile file(link);
        const QByteArray device = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
        if (!device.isEmpty()) {
            qputenv("HARBROOK_PORT_COM1", device);
            ready_ = true;
            return;
        }
        QThread::msleep(20);
    }
}

SendingTerminal::~SendingTerminal()
{
    qunsetenv("HARBROOK_PORT_COM1");
    comm::resetLibraryState();
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString SendingTerminal::log() const
{
    QFile file(QDir(folder_).filePath(QStringLiteral("sim.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace jobsuitest
