#include "comm/SetComModeRules.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using comm::ModeEdit;
using comm::TComModeControls;
using comm::TComModeSettings;

namespace {

TComModeControls completeControls()
{
    TComModeControls c;
    c.LogFileFolder = QStringLiteral("/var/log/bht");
    c.RxFolder = QStringLiteral("/data/rx");
    c.TxFolder = QStringLiteral("/data/tx/");
    return c;
}

TEST(SetComModeRules, RefusedEntriesNameTheirEditAndMessage)
{
    const QString logMessage = QStringLiteral("通信履歴保存フォルダ名を入力してください。");
    const QString rxMessage = QStringLiteral("受信デフォルトフォルダ名を入力してください。");
    const QString txMessage = QStringLiteral("送信デフォルトフォルダ名を入力してください。");
    const struct {
        const char *name;
        bool logOn;
        QString log, rx, tx;
        std::optional<ModeEdit> edit; // nothing: accepted
        QString message;
    } cases[] = {
        {"log folder empty while logging", true, "", "/r", "/t", ModeEdit::LogFileFolder, logMessage},
        {"log folder a backslash while logging", true, "\\", "/r", "/t", ModeEdit::LogFileFolder, logMessage},
        {"log folder a slash while logging", true, "/", "/r", "/t", ModeEdit::LogFileFolder, logMessage},
        {"log folder a backslash, no logging", false, "\\", "/r", "/t", std::nullopt, {}},
        {"log folder empty, no logging", false, "", "/r", "/t", std::nullopt, {}},
        {"receive folder empty", false, "", "", "/t", ModeEdit::RxFolder, rxMessage},
        {"receive folder a backslash", false, "", "\\", "/t", ModeEdit::RxFolder, rxMessage},
        {"receive folder a slash", true, "/l", "/", "/t", ModeEdit::RxFolder, rxMessage},
        {"send folder empty", false, "", "/r", "", ModeEdit::TxFolder, txMessage},
        {"send folder a backslash", false, "", "/r", "\\", ModeEdit::TxFolder, txMessage},
        {"send folder a slash", false, "", "/r", "/", ModeEdit::TxFolder, txMessage},
        {"first failing rule: log before receive", true, "", "", "", ModeEdit::LogFileFolder, logMessage},
        {"first failing rule: receive before send", false, "", "\\", "", ModeEdit::RxFolder, rxMessage},
        {"two separators are a folder name", false, "", "//", "\\\\", std::nullopt, {}},
        {"a blank is a folder name", false, "", " ", "/t", std::nullopt, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TComModeControls controls;
        controls.LogCheck = c.logOn;
        controls.LogFileFolder = c.log;
        controls.RxFolder = c.rx;
        controls.TxFolder = c.tx;
        const auto result = comm::settingsFromControls(controls);
        if (c.edit) {
            const auto *error = std::get_if<comm::ModeEntryError>(&result);
            ASSERT_NE(error, nullptr);
            EXPECT_EQ(error->edit, *c.edit);
            EXPECT_EQ(error->message, c.message);
        } else {
            EXPECT_TRUE(std::holds_alternative<TComModeSettings>(result));
        }
    }
}

TEST(SetComModeRules, AcceptedControlsBecomeTheSettingsWithSeparators)
{
    TComModeControls controls = completeControls();
    controls.DspIndex = 1;
    controls.CsvCheck = true;
    controls.DblQuotedChk = false;
    controls.LastSpaceCheck = true;
    controls.AddZeroChk = true;
    controls.LogCheck = true;
    controls.LogFileIndex = 2;
    const auto result = comm::settingsFromControls(controls);
    ASSERT_TRUE(std::holds_alternative<TComModeSettings>(result));
    const TComModeSettings &s = std::get<TComModeSettings>(result);
    EXPECT_FALSE(s.DspMode);
    EXPECT_TRUE(s.CsvRcvDat);
    EXPECT_FALSE(s.DblQuoted);
    EXPECT_TRUE(s.LastSpace);
    EXPECT_TRUE(s.AddZero);
    EXPECT_TRUE(s.LogEnable);
    EXPECT_EQ(s.LogFileMode, 2);
    EXPECT_EQ(s.LogFolder, QString("/var/log/bht/"));
    EXPECT_EQ(s.DefRxFolder, QString("/data/rx/"));
    EXPECT_EQ(s.DefTxFolder, QString("/data/tx/")); // not doubled

    // The other way round for the flags that the first pass left at their defaults.
    controls.DspIndex = 0;
    controls.CsvCheck = false;
    controls.DblQuotedChk = true;
    controls.LogCheck = false;
    controls.LogFileFolder.clear();
    const auto second = comm::settingsFromControls(controls);
    ASSERT_TRUE(std::holds_alternative<TComModeSettings>(second));
    const TComModeSettings &t = std::get<TComModeSettings>(second);
    EXPECT_TRUE(t.DspMode);
    EXPECT_FALSE(t.CsvRcvDat);
    EXPECT_TRUE(t.DblQuoted);
    EXPECT_FALSE(t.LogEnable);
    EXPECT_EQ(t.LogFolder, QString()); // an empty folder gets no separator
}

TEST(SetComModeRules, ControlsShowTheSettings)
{
    TComModeSettings s;
    s.DspMode = false;
    s.CsvRcvDat = true;
    s.LastSpace = false;
    s.DblQuoted = true;
    s.AddZero = true;
    s.LogEnable = true;
    s.LogFileMode = 0;
    s.LogFolder = QStringLiteral("/l/");
    s.DefRxFolder = QStringLiteral("/r/");
    s.DefTxFolder = QStringLiteral("/t/");
    TComModeControls c = comm::controlsFromSettings(s);
    EXPECT_EQ(c.DspIndex, 1);
    EXPECT_TRUE(c.CsvCheck);
    EXPECT_FALSE(c.LastSpaceCheck);
    EXPECT_TRUE(c.DblQuotedChk);
    EXPECT_TRUE(c.AddZeroChk);
    EXPECT_TRUE(c.LogCheck);
    EXPECT_EQ(c.LogFileIndex, 0);
    EXPECT_EQ(c.LogFileFolder, QString("/l/"));
    EXPECT_EQ(c.RxFolder, QString("/r/"));
    EXPECT_EQ(c.TxFolder, QString("/t/"));

    // A stored mode outside the list names its files per month, and is shown so.
    const struct {
        int mode;
        int index;
    } modes[] = {{0, 0}, {1, 1}, {2, 2}, {3, 1}, {-1, 1}, {99, 1}};
    for (const auto &m : modes) {
        s.LogFileMode = m.mode;
        EXPECT_EQ(comm::controlsFromSettings(s).LogFileIndex, m.index) << m.mode;
    }
}

TEST(SetComModeRules, IncompleteSettings)
{
    const struct {
        bool logOn;
        QString log, rx, tx;
        bool incomplete;
    } cases[] = {
        {false, "", "/r/", "/t/", false}, {true, "/l/", "/r/", "/t/", false}, {true, "", "/r/", "/t/", true},
        {false, "/l/", "", "/t/", true},  {false, "/l/", "/r/", "", true},
    };
    for (const auto &c : cases) {
        TComModeSettings s;
        s.LogEnable = c.logOn;
        s.LogFolder = c.log;
        s.DefRxFolder = c.rx;
        s.DefTxFolder = c.tx;
        EXPECT_EQ(comm::modeSettingsIncomplete(s), c.incomplete)
            << c.logOn << " " << c.log.toStdString() << "|" << c.rx.toStdString() << "|"
            << c.tx.toStdString();
    }
    EXPECT_TRUE(comm::modeSettingsIncomplete(TComModeSettings{})); // a fresh machine
}

// ---------------------------------------------------------------- storing

TEST(SetComModeRules, StoreWritesEveryValueWithTheFoldersAsTyped)
{
    TComModeControls c = completeControls();
    c.DspIndex = 1;
    c.CsvCheck = true;
    c.LastSpaceCheck = false;
    c.DblQuotedChk = true;
    c.AddZeroChk = false;
    c.LogCheck = true;
    c.LogFileIndex = 0;
    c.LogFileFolder = QStringLiteral("logs"); // no separator added, not made absolute
    {
        platform::TRegistry registry;
        ASSERT_TRUE(comm::storeModeControls(registry, c));
        EXPECT_EQ(registry.CurrentPath(), QString()); // the key is closed again
    }
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(comm::commSettingsKey()));
    EXPECT_EQ(registry.ReadBool("DspMode"), false);
    EXPECT_EQ(registry.ReadBool("CsvRcvDat"), true);
    EXPECT_EQ(registry.ReadBool("LastSpace"), false);
    EXPECT_EQ(registry.ReadBool("DblQuoted"), true);
    EXPECT_EQ(registry.ReadBool("AddZero"), false);
    EXPECT_EQ(registry.ReadBool("LogEnable"), true);
    EXPECT_EQ(registry.ReadInteger("LogFileMode"), 0);
    EXPECT_EQ(registry.ReadString("LogFolder"), QString("logs"));
    EXPECT_EQ(registry.ReadString("DefRxFolder"), QString("/data/rx"));
    EXPECT_EQ(registry.ReadString("DefTxFolder"), QString("/data/tx/"));
    // Flags are integers, as every program sharing the key reads them.
    EXPECT_EQ(registry.ReadInteger("DspMode"), 0);
    EXPECT_EQ(registry.ReadInteger("CsvRcvDat"), 1);
}

TEST(SetComModeRules, StoreKeepsOtherValuesOfTheKey)
{
    {
        platform::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(comm::commSettingsKey(), true));
        ASSERT_TRUE(registry.WriteInteger("ComPort", 4));
    }
    platform::TRegistry registry;
    ASSERT_TRUE(comm::storeModeControls(registry, completeControls()));
    platform::TRegistry check;
    ASSERT_TRUE(check.OpenKeyReadOnly(comm::commSettingsKey()));
    EXPECT_EQ(check.ReadInteger("ComPort"), 4);
    EXPECT_EQ(check.ReadString("DefRxFolder"), QString("/data/rx"));
}

TEST(SetComModeRules, StoreThatCannotBeWrittenFailsWithAReason)
{
    // The store's folder is a plain file: nothing can be created below it, whoever runs the test.
    const QString blocker = QDir(testsupport::caseFolder()).filePath("blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray previous = qgetenv("HARBROOK_REGISTRY");
    qputenv("HARBROOK_REGISTRY", QFile::encodeName(blocker + "/registry.json"));
    platform::TRegistry registry;
    QString why;
    const bool stored = comm::storeModeControls(registry, completeControls(), &why);
    qputenv("HARBROOK_REGISTRY", previous);
    EXPECT_FALSE(stored);
    EXPECT_FALSE(why.isEmpty());
}

} // namespace

// What the next start would drop is refused while it is typed, or the operator is asked again.
TEST(SetComModeRules, FoldersTheNextStartWouldDropAreRefused)
{
    const QString base = testsupport::caseFolder() + QStringLiteral("/folders");
    for (const char *sub : {"/log", "/rx", "/tx"})
        ASSERT_TRUE(QDir().mkpath(base + QLatin1String(sub)));
    const QByteArray mounts = "server:/export /mnt/nfs nfs4 rw 0 0\n";
    const QString logMissing = QStringLiteral("通信履歴保存フォルダが存在しません。");
    const QString rxMissing = QStringLiteral("受信デフォルトフォルダが存在しません。");
    const QString txMissing = QStringLiteral("送信デフォルトフォルダが存在しません。");
    const QString network = QStringLiteral("ﾈｯﾄﾜｰｸ上のPCのﾌｫﾙﾀﾞは設定できません。");
    const struct {
        const char *name;
        bool logOn;
        QString log, rx, tx;
        std::optional<ModeEdit> edit;
        QString message;
    } cases[] = {
        {"all exist", true, base + "/log", base + "/rx", base + "/tx/", std::nullopt, {}},
        {"missing log folder, logging off",
         false,
         base + "/nolog",
         base + "/rx",
         base + "/tx",
         std::nullopt,
         {}},
        {"missing log folder", true, base + "/nolog", base + "/rx", base + "/tx", ModeEdit::LogFileFolder,
         logMissing},
        {"missing receive folder", false, "", base + "/norx", base + "/tx", ModeEdit::RxFolder, rxMissing},
        {"missing send folder", false, "", base + "/rx", base + "/notx", ModeEdit::TxFolder, txMissing},
        {"a file is no folder", false, "", base + "/rx", base + "/file", ModeEdit::TxFolder, txMissing},
        {"receive folder named on another machine", false, "", "//server/rx", base + "/tx",
         ModeEdit::RxFolder, network},
        {"send folder on a network mount", false, "", base + "/rx", "/mnt/nfs/tx", ModeEdit::TxFolder,
         network},
        {"receive before send", false, "", base + "/norx", base + "/notx", ModeEdit::RxFolder, rxMissing},
    };
    ASSERT_TRUE(QFile(base + "/file").open(QIODevice::WriteOnly));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TComModeControls controls;
        controls.LogCheck = c.logOn;
        controls.LogFileFolder = c.log;
        controls.RxFolder = c.rx;
        controls.TxFolder = c.tx;
        const std::optional<comm::ModeEntryError> refused = comm::unusableFolder(controls, mounts);
        ASSERT_EQ(refused.has_value(), c.edit.has_value());
        if (refused) {
            EXPECT_EQ(refused->edit, *c.edit);
            EXPECT_EQ(refused->message.toStdString(), c.message.toStdString());
        }
    }
}
