#include "ToolSettings.h"

#include "comm/CorlissRules.h"
#include "platform/Registry.h"

bool writeCommSettings(const YmToolArgs &args, const QString &logFolder, const QString &defaultFolder,
                       QString &error)
{
    platform::TRegistry registry;
    bool ok = registry.OpenKey(comm::commSettingsKey(), true);
    ok = ok && registry.WriteBool(QStringLiteral("DspMode"), !args.hidden);
    ok = ok && registry.WriteBool(QStringLiteral("CsvRcvDat"), args.csv);
    ok = ok && registry.WriteBool(QStringLiteral("LastSpace"), args.lastSpace);
    ok = ok && registry.WriteBool(QStringLiteral("DblQuoted"), args.dblQuoted);
    ok = ok && registry.WriteBool(QStringLiteral("AddZero"), args.addZero);
    ok = ok && registry.WriteBool(QStringLiteral("LogEnable"), !args.logFile.isEmpty());
    ok = ok && registry.WriteString(QStringLiteral("LogFolder"), logFolder);
    ok = ok && registry.WriteString(QStringLiteral("DefRxFolder"), defaultFolder);
    ok = ok && registry.WriteString(QStringLiteral("DefTxFolder"), defaultFolder);
    if (!ok)
        error = registry.errorString();
    registry.CloseKey();
    return ok;
}
