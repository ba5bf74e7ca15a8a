#include "JobsUiTestSupport.h"

#include "jobs/BhtFileLayout.h"
#include "tests/jobs/SettingsProgramFolder.h"
#include "tests/support/TestIsolation.h"

#include <QFile>
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

} // namespace jobsuitest
