#include "CorlissLHarness.h"
#include "comm/CorlissRules.h"
#include "comm/ui/ComForm.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace commtest;
using platform::MsgIcon;
using platform::MsgModality;

namespace {

const QString PortOpenFailure = QStringLiteral(" は既に使用されているか\r\n使用不可の状態です。");

// ---------------------------------------------------------------- pure rules

TEST(CorlissRules, PortNamesAndSpeeds)
{
    const struct {
        QByteArray name;
        std::optional<int> number;
    } names[] = {
        {"COM1", 1},
        {"com3", 3},
        {"CoM9", 9},
        {"COM01", 1},
        {"COM10", std::nullopt},
        {"COM0", std::nullopt},
        {"COMX", std::nullopt},
        {"COM", std::nullopt},
        {"COM123", std::nullopt},
        {"LPT1", std::nullopt},
        {"COM-1", std::nullopt},
        {"COM 1", std::nullopt},
    };
    for (const auto &c : names)
        EXPECT_EQ(comm::portNumber(c.name), c.number) << c.name.constData();

    for (const int speed : {9600, 19200, 38400, 57600, 115200, 460800})
        EXPECT_TRUE(comm::isSupportedSpeed(speed)) << speed;
    for (const int speed : {0, 4800, 230400, 921600, -115200})
        EXPECT_FALSE(comm::isSupportedSpeed(speed)) << speed;
}

TEST(CorlissRules, GuardsRefuseInTheirOrder)
{
    const struct {
        bool ready;
        int handle;
        int open;
        bool busy;
        int code;
    } cases[] = {
        {true, 5, 5, false, 0},  {false, 5, 5, false, 4},
        {false, 7, 5, true, 4}, // not ready comes before a foreign handle
        {true, 7, 5, true, 3},  // a foreign handle comes before busy
        {true, -1, 5, false, 3}, {true, -1, -1, false, 1},
        {true, -1, -1, true, 1}, // -1 comes before busy
        {true, 5, 5, true, 4},
    };
    for (const auto &c : cases)
        EXPECT_EQ(comm::transferGuard(c.ready, c.handle, c.open, c.busy), c.code)
            << c.ready << " " << c.handle << " " << c.open << " " << c.busy;
}

TEST(CorlissRules, LogFileNameByMode)
{
    const QDate date(2026, 12, 5);
    const struct {
        int mode;
        const char *name;
    } cases[] = {
        {0, "/logs/CRLCOM1_2026_12_05.log"},
        {1, "/logs/CRLCOM1_2026_12.log"},
        {2, "/logs/CRLCOM1_2026.log"},
        {7, "/logs/CRLCOM1_2026_12.log"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(comm::logFileName("/logs/", "COM1", c.mode, date), QString::fromUtf8(c.name)) << c.mode;
}

TEST(CorlissRules, TerminalNames)
{
    const struct {
        const char *name;
        bool valid;
    } cases[] = {
        {"ABCDEFGH.TXT", true},   {"ABCDEFGHI.TXT", false}, {"A.ABCD", false},
        {"A.ABC", true},          {"NOEXT", true},          {"", false},
        {"ｱｲｳｴｵｶｷｸ.DAT", true}, // half-width kana: 1 byte each
        {"データ12.DAT", true}, // 6 + 2 + 4 bytes
        {"データ123.DAT", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(comm::isValidBhtName(QString::fromUtf8(c.name)), c.valid) << c.name;
}

class SendRules : public LibraryTest {};

TEST_F(SendRules, NameFolderExtensionAndFieldList)
{
    ASSERT_TRUE(writeFile(txFolder + "data.txt", "1234,A,12\r\n"));
    ASSERT_TRUE(writeFile(txFolder + "data.fld", " 4,1,2 \r\nignored\r\n"));
    ASSERT_TRUE(writeFile(txFolder + "plain.txt", "x\r\n"));
    ASSERT_TRUE(writeFile(txFolder + "prg.pd4", "binary"));
    ASSERT_TRUE(writeFile(txFolder + "MST.DAT", "ABCD\r\n"));
    ASSERT_TRUE(writeFile(txFolder + "mst.FLD", "4\r\n"));
    const QString missingFolder = folder("gone") + "sub/";
    const struct {
        QString path;
        const char *bht;
        const char *fields;
        QString def;
        int code;
        QString txFile;
        const char *bhtFile;
        const char *fieldList;
    } cases[] = {
        // A bare name is taken from the default send folder; the width file gives the list.
        {"data.txt", "", "", txFolder, 0, txFolder + "data.txt", "DATA.TXT", "4,1,2"},
        {"data.txt", "", "", txFolder.chopped(1), 0, txFolder + "data.txt", "DATA.TXT", "4,1,2"},
        {txFolder + "data.txt", "rec.dat", " 3,4\t", "", 0, txFolder + "data.txt", "REC.DAT", "3,4"},
        {txFolder + "plain.txt", "", "", "", 7, txFolder + "plain.txt", "PLAIN.TXT", ""},
        // Programs and pictures go without a list, a given one included.
        {txFolder + "prg.pd4", "", "4,1,2", "", 0, txFolder + "prg.pd4", "PRG.PD4", ""},
        {txFolder + "data.txt", "x.lcs", "", "", 0, txFolder + "data.txt", "X.LCS", ""},
        // As every file the engine sends as binary, archives and extension programs included.
        {txFolder + "data.txt", "x.zip", "", "", 0, txFolder + "data.txt", "X.ZIP", ""},
        {txFolder + "data.txt", "X.EX3", "4,1,2", "", 0, txFolder + "data.txt", "X.EX3", ""},
        {txFolder + "plain.txt", "X.EX3", "", "", 0, txFolder + "plain.txt", "X.EX3", ""},
        // The width file may differ in letter case.
        {txFolder + "MST.DAT", "", "", "", 0, txFolder + "MST.DAT", "MST.DAT", "4"},
        {"data.txt", "", "", "", 5, "data.txt", "", ""},
        {missingFolder + "data.txt", "", "", "", 5, missingFolder + "data.txt", "", ""},
        {txFolder + "none.txt", "", "1", "", 6, txFolder + "none.txt", "", "1"},
        {txFolder + "data.txt", "ABCDEFGHI.TXT", "1", "", 8, txFolder + "data.txt", "ABCDEFGHI.TXT", "1"},
        {txFolder + "data.txt", "A.ABCD", "1", "", 8, txFolder + "data.txt", "A.ABCD", "1"},
        {txFolder + "longername.txt", "", "1", "", 6, txFolder + "longername.txt", "", "1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString() + " / " + c.bht);
        const comm::SendPlan plan = comm::planSend({c.path, QString::fromUtf8(c.bht), c.fields, c.def});
        EXPECT_EQ(plan.code, c.code);
        EXPECT_FALSE(plan.chooseFile);
        EXPECT_EQ(plan.txFile, c.txFile);
        if (c.code == 0 || c.code == 7 || c.code == 8) {
            EXPECT_EQ(plan.bhtFile, QString::fromUtf8(c.bhtFile));
        }
        if (c.code == 0 || c.code == 7) {
            EXPECT_EQ(plan.fieldList, QString::fromUtf8(c.fieldList));
        }
    }
}

TEST_F(SendRules, AFolderOrNothingAsksForTheFile)
{
    comm::SendPlan plan = comm::planSend({rxFolder, "", "", txFolder});
    EXPECT_TRUE(plan.chooseFile);
    EXPECT_EQ(plan.dialogFolder, rxFolder);
    plan = comm::planSend({"", "", "", txFolder});
    EXPECT_TRUE(plan.chooseFile);
    EXPECT_EQ(plan.dialogFolder, txFolder);

    // A chosen file takes its list from the width file even when one was given, and is not checked.
    ASSERT_TRUE(writeFile(rxFolder + "pick.txt", "a\r\n"));
    ASSERT_TRUE(writeFile(rxFolder + "pick.fld", "9\r\n"));
    plan = comm::planChosenFile(rxFolder + "pick.txt", "");
    EXPECT_EQ(plan.code, 0);
    EXPECT_EQ(plan.bhtFile, QString("PICK.TXT"));
    EXPECT_EQ(plan.fieldList, QString("9"));
    EXPECT_EQ(comm::planChosenFile(rxFolder + "nolist.txt", "").code, 7);
    EXPECT_EQ(comm::planChosenFile(rxFolder + "gone.pd4", "").code, 0);
    EXPECT_EQ(comm::planChosenFile(rxFolder + "pick.txt", "ABCDEFGHIJ.TXT").code, 8);
}

TEST_F(SendRules, ReadFldFileTakesTheTrimmedFirstLine)
{
    ASSERT_TRUE(writeFile(txFolder + "a.fld", "\t4,1,2  \r\n5,5\r\n"));
    ASSERT_TRUE(writeFile(txFolder + "b.fld", ""));
    ASSERT_TRUE(writeFile(txFolder + "c.fld", "7,8"));
    EXPECT_EQ(YmReadFldFile(txFolder + "a.dat"), QString("4,1,2"));
    EXPECT_EQ(YmReadFldFile(txFolder + "a"), QString("4,1,2")); // no extension: ".fld" is added
    EXPECT_EQ(YmReadFldFile(txFolder + "b.dat"), QString());
    EXPECT_EQ(YmReadFldFile(txFolder + "c.csv"), QString("7,8"));
    EXPECT_EQ(YmReadFldFile(txFolder + "none.dat"), QString());
    EXPECT_EQ(YmReadFldFile(txFolder), QString());
}

// ---------------------------------------------------------------- settings

class Settings : public LibraryTest {};

TEST_F(Settings, LoadReportsTheFirstMissingFolder)
{
    // A fresh store lacks the receive folder first.
    EXPECT_FALSE(YmLoadSetting());
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QString("受信デフォルトフォルダを設定してください。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QString("Corliss通信"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(ui.messageBoxes()[0].style.foreground);

    const struct {
        QString rx;
        QString tx;
        QString log;
        int logEnable;
        const char *message; // null: complete
    } cases[] = {
        {rxFolder, txFolder, "", 1, "通信履歴保存フォルダを設定してください。"},
        {rxFolder, txFolder, folder("gone") + "x", 1, "通信履歴保存フォルダを設定してください。"},
        {rxFolder, txFolder, "", 0, nullptr},
        {"", txFolder, logFolder, 1, "受信デフォルトフォルダを設定してください。"},
        {"//server/share/", txFolder, logFolder, 0, "受信デフォルトフォルダを設定してください。"},
        {rxFolder, "", logFolder, 0, "送信デフォルトフォルダを設定してください。"},
        {rxFolder, "\\\\host\\tx", logFolder, 0, "送信デフォルトフォルダを設定してください。"},
        {rxFolder.chopped(1), txFolder.chopped(1), logFolder.chopped(1), 1, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rx.toStdString() + " " + c.tx.toStdString() + " " + c.log.toStdString());
        ui.clear();
        platform::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(comm::commSettingsKey(), true));
        ASSERT_TRUE(registry.WriteString("DefRxFolder", c.rx));
        ASSERT_TRUE(registry.WriteString("DefTxFolder", c.tx));
        ASSERT_TRUE(registry.WriteString("LogFolder", c.log));
        ASSERT_TRUE(registry.WriteBool("LogEnable", c.logEnable != 0));
        registry.CloseKey();
        EXPECT_EQ(YmLoadSetting(), c.message == nullptr);
        if (c.message) {
            ASSERT_EQ(ui.messageBoxCount(), 1);
            EXPECT_EQ(ui.messageBoxes()[0].text, QString::fromUtf8(c.message));
        } else {
            EXPECT_EQ(ui.messageBoxCount(), 0);
            // Folders come back with their separator.
            EXPECT_EQ(comm::Mode.DefRxFolder, rxFolder);
            EXPECT_EQ(comm::Mode.DefTxFolder, txFolder);
        }
    }
}

TEST_F(Settings, ValuesOfTheWrongTypeKeepTheirDefaultsAndNothingIsWrittenBack)
{
    storeSettings({{"LogFileMode", 2}, {"CsvRcvDat", 1}});
    {
        platform::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(comm::commSettingsKey(), true));
        ASSERT_TRUE(registry.WriteString("DspMode", "0")); // a string where an integer belongs
    }
    EXPECT_TRUE(YmInitialize());
    EXPECT_TRUE(comm::Mode.DspMode);
    EXPECT_TRUE(comm::Mode.CsvRcvDat);
    EXPECT_FALSE(comm::Mode.AddZero);
    EXPECT_EQ(comm::Mode.LogFileMode, 2);
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(comm::commSettingsKey()));
    EXPECT_FALSE(registry.ValueExists("AddZero"));
    EXPECT_FALSE(registry.ValueExists("LogEnable"));
}

TEST_F(Settings, LoadTakesEachStoredValueAndKeepsTheDefaultsOfTheRest)
{
    using comm::TComModeSettings;
    const struct {
        const char *name;
        int stored;
        std::function<void(TComModeSettings &)> expect; // what the stored value changes
    } cases[] = {
        {"DspMode", 0, [](TComModeSettings &s) { s.DspMode = false; }},
        {"CsvRcvDat", 1, [](TComModeSettings &s) { s.CsvRcvDat = true; }},
        {"LastSpace", 1, [](TComModeSettings &s) { s.LastSpace = true; }},
        {"DblQuoted", 1, [](TComModeSettings &s) { s.DblQuoted = true; }},
        {"AddZero", 1, [](TComModeSettings &s) { s.AddZero = true; }},
        {"LogEnable", 1, [](TComModeSettings &s) { s.LogEnable = true; }},
        {"LogFileMode", 0, [](TComModeSettings &s) { s.LogFileMode = 0; }},
        {"LogFileMode", 2, [](TComModeSettings &s) { s.LogFileMode = 2; }},
    };
    const QString store = QString::fromLocal8Bit(qgetenv("HARBROOK_REGISTRY"));
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + std::to_string(c.stored));
        ASSERT_TRUE(!QFile::exists(store) || QFile::remove(store));
        storeSettings({{c.name, c.stored}});
        const QByteArray before = readFile(store);
        ASSERT_TRUE(YmLoadSetting());
        TComModeSettings expected;
        expected.LogFolder = logFolder;
        expected.DefRxFolder = rxFolder;
        expected.DefTxFolder = txFolder;
        c.expect(expected);
        const TComModeSettings &loaded = comm::Mode;
        EXPECT_EQ(loaded.DspMode, expected.DspMode);
        EXPECT_EQ(loaded.CsvRcvDat, expected.CsvRcvDat);
        EXPECT_EQ(loaded.LastSpace, expected.LastSpace);
        EXPECT_EQ(loaded.DblQuoted, expected.DblQuoted);
        EXPECT_EQ(loaded.AddZero, expected.AddZero);
        EXPECT_EQ(loaded.LogEnable, expected.LogEnable);
        EXPECT_EQ(loaded.LogFileMode, expected.LogFileMode);
        EXPECT_EQ(loaded.LogFolder, expected.LogFolder);
        EXPECT_EQ(loaded.DefRxFolder, expected.DefRxFolder);
        EXPECT_EQ(loaded.DefTxFolder, expected.DefTxFolder);
        // Loading writes nothing back, not even the defaults.
        EXPECT_EQ(readFile(store), before);
    }
}

TEST_F(Settings, DeletedReceiveFolderIsEmptyAfterLoadAndAskedForAgain)
{
    storeSettings();
    ASSERT_TRUE(YmLoadSetting());
    ASSERT_TRUE(QDir(rxFolder).removeRecursively());
    const QString store = QString::fromLocal8Bit(qgetenv("HARBROOK_REGISTRY"));
    const QByteArray before = readFile(store);

    EXPECT_FALSE(YmLoadSetting());
    EXPECT_EQ(comm::Mode.DefRxFolder, QString());
    EXPECT_EQ(comm::Mode.DefTxFolder, txFolder);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QString("受信デフォルトフォルダを設定してください。"));
    EXPECT_EQ(readFile(store), before); // the stored folder stays as it was

    // The next start asks for it: the message, then the mode dialog.
    ui.clear();
    EXPECT_TRUE(YmInitialize());
    ASSERT_EQ(ui.events().size(), 2u);
    EXPECT_EQ(ui.events()[0].kind, testsupport::UiEvent::Kind::MessageBox);
    EXPECT_EQ(ui.events()[1].kind, testsupport::UiEvent::Kind::Form);
    EXPECT_EQ(ui.events()[1].caption, QString("通信モード設定"));
}

TEST_F(Settings, InitialiseAndSetModeReadiness)
{
    EXPECT_FALSE(YmSetMode(nullptr));
    EXPECT_TRUE(ui.forms().empty());
    // Incomplete settings: their message and the mode dialog (not answered here), and ready all the
    // same.
    EXPECT_TRUE(YmInitialize());
    EXPECT_EQ(ui.messageBoxCount(), 1);
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_EQ(ui.forms()[0].caption, QString("通信モード設定"));
    EXPECT_TRUE(comm::YmReady);
    EXPECT_EQ(comm::YmHandle, -1);

    // Complete settings ask nothing.
    comm::resetLibraryState();
    ui.clear();
    storeSettings();
    EXPECT_TRUE(YmInitialize());
    EXPECT_TRUE(ui.events().empty());

    // Once ready, the dialog opens over the caller's window and the call returns after it closed.
    QWidget owner;
    QWidget *parent = nullptr;
    bool shownDuringCall = false;
    ui.queueForm([&](QDialog &form) {
        parent = form.parentWidget();
        shownDuringCall = form.isVisible();
        form.findChild<QPushButton *>("CancelBtn")->click();
    });
    EXPECT_TRUE(YmSetMode(&owner));
    EXPECT_EQ(parent, &owner);
    EXPECT_TRUE(shownDuringCall);
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_EQ(ui.forms()[0].caption, QString("通信モード設定"));
    EXPECT_FALSE(ui.forms()[0].formLeftOpen);
}

// ---------------------------------------------------------------- open and close

class OpenClose : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        storeSettings();
        ASSERT_TRUE(YmInitialize());
        ASSERT_EQ(ui.messageBoxCount(), 0);
    }
};

TEST_F(OpenClose, RefusalsShowTheirMessageBeforeThePortIsTouched)
{
    // COM1 and com2 name no device: any attempt to open them would say so.
    pointPort(1, folder("nodev") + "ttyNONE");
    pointPort(2, folder("nodev") + "ttyNONE");
    const struct {
        QByteArray name;
        int speed;
        QString message;
    } cases[] = {
        {"COM10", 115200, "COMﾎﾟｰﾄ名が不良です。"}, {"COM0", 115200, "COMﾎﾟｰﾄ名が不良です。"},
        {"COMX", 115200, "COMﾎﾟｰﾄ名が不良です。"},  {"COM1", 230400, "通信スピード設定に誤りがあります。"},
        {"COM10", 230400, "COMﾎﾟｰﾄ名が不良です。"}, {"COM1", 115200, "COM1" + PortOpenFailure},
        {"com2", 460800, "com2" + PortOpenFailure}, // the name as the caller wrote it
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " " + std::to_string(c.speed));
        ui.clear();
        EXPECT_EQ(YmComOpen(nullptr, c.name, c.speed), -1);
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, c.message);
        EXPECT_EQ(ui.messageBoxes()[0].caption, QString("Corliss通信"));
        EXPECT_EQ(ui.messageBoxes()[0].style.icon, MsgIcon::Stop);
        EXPECT_TRUE(ui.messageBoxes()[0].style.foreground);
        EXPECT_EQ(comm::YmHandle, -1);
        EXPECT_FALSE(comm::ComForm);
        EXPECT_EQ(comm::PortName, QString());
    }
}

TEST_F(OpenClose, UnusableTemporaryOrLogFileClosesWhatWasOpened)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    const QString log = logFolder + "CRLCOM1" + QDate::currentDate().toString("_yyyy_MM") + ".log";
    // A temporary folder below a plain file: there is no temporary folder to be had.
    const QString plainFile = QDir::tempPath() + "/not-a-folder";
    {
        QFile file(plainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray usableTemp = qgetenv("TMPDIR");
    const struct {
        QString blocked; // made a folder, so that it cannot be opened as a file
        QString tempFolder;
        bool logging;
        const char *message;
    } cases[] = {
        {QString(), plainFile + "/temp", false, "ﾃﾝﾎﾟﾗﾘﾌｧｲﾙ1が作成できません"},
        {log, QString(), true, "通信履歴保存ﾌｧｲﾙにｱｸｾｽできません"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        comm::resetLibraryState();
        storeSettings({{"LogEnable", c.logging ? 1 : 0}});
        ASSERT_TRUE(YmInitialize());
        if (!c.blocked.isEmpty()) {
            QFile::remove(c.blocked);
            ASSERT_TRUE(QDir().mkpath(c.blocked));
        }
        if (!c.tempFolder.isEmpty())
            qputenv("TMPDIR", c.tempFolder.toLocal8Bit());
        ui.clear();
        EXPECT_EQ(YmComOpen(nullptr, "COM1", 115200), -1);
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(ui.messageBoxes()[0].caption, QString("Corliss通信"));
        EXPECT_FALSE(comm::ComForm);
        EXPECT_EQ(comm::PortName, QString());
        EXPECT_EQ(comm::YmHandle, -1);
        // The port was let go: once the file can be had, the same port opens.
        if (!c.blocked.isEmpty()) {
            ASSERT_TRUE(QDir(c.blocked).removeRecursively());
        }
        qputenv("TMPDIR", usableTemp);
        const int handle = YmComOpen(nullptr, "COM1", 115200);
        EXPECT_GT(handle, 0);
        EXPECT_EQ(YmComClose(handle), 0);
    }
}

TEST_F(OpenClose, TemporaryFilesAreUniqueAndGoneAfterClose)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    const QString temp = QDir::tempPath() + QStringLiteral("/Dunmere-%1/").arg(::geteuid());
    // A file of the old fixed name, left by someone else, is neither reused nor touched.
    ASSERT_TRUE(QDir().mkpath(temp));
    {
        QFile planted(temp + "corltmp1.tmp");
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.write("keep");
    }
    const int handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    const QString tmp1 = comm::ComForm->Tmp1File;
    const QString tmp2 = comm::ComForm->Tmp2File;
    EXPECT_NE(tmp1, tmp2);
    EXPECT_NE(tmp1, temp + "corltmp1.tmp");
    EXPECT_TRUE(QFile::exists(tmp1));
    EXPECT_TRUE(QFile::exists(tmp2));
    EXPECT_EQ(YmComClose(handle), 0);
    EXPECT_FALSE(QFile::exists(tmp1));
    EXPECT_FALSE(QFile::exists(tmp2));
    QFile planted(temp + "corltmp1.tmp");
    ASSERT_TRUE(planted.open(QIODevice::ReadOnly));
    EXPECT_EQ(planted.readAll(), QByteArray("keep"));
}

// The transfer's folder is the user's own: one that someone else made, or could change, or that
// leads elsewhere, is left alone and a new private one is used.
TEST_F(OpenClose, TemporaryFilesGoToAFolderOnlyTheUserCanReach)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    const QByteArray usableTemp = qgetenv("TMPDIR");
    const QString elsewhere = folder("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString name = QStringLiteral("Dunmere-%1").arg(::geteuid());
    const struct {
        const char *what;
        std::function<bool(const QString &)> plant; // false: cannot be set up here
    } cases[] = {
        {"a link to another folder", [&](const QString &at) { return QFile::link(elsewhere, at); }},
        {"a folder others may write",
         [](const QString &at) {
             return QDir().mkpath(at) && ::chmod(QFile::encodeName(at).constData(), 0777) == 0;
         }},
        {"a plain file", [](const QString &at) { return QFile(at).open(QIODevice::WriteOnly); }},
        // Only root can give a folder away; the suite runs as root in CI.
        {"a folder of another user",
         [](const QString &at) {
             return QDir().mkpath(at) && ::chown(QFile::encodeName(at).constData(), 4242, 4242) == 0;
         }},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString temp = folder(QStringLiteral("temp%1").arg(++n));
        ASSERT_TRUE(QDir().mkpath(temp));
        const QString planted = temp + name;
        if (!c.plant(planted)) {
            ADD_FAILURE() << "cannot plant " << c.what << " (not root?)";
            continue;
        }
        const QFileInfo before(planted);
        qputenv("TMPDIR", temp.toLocal8Bit());
        const int handle = YmComOpen(nullptr, "COM1", 115200);
        ASSERT_GT(handle, 0);
        const QFileInfo used(QFileInfo(comm::ComForm->Tmp1File).path());
        EXPECT_EQ(used.path() + QLatin1Char('/'), temp);
        EXPECT_TRUE(used.fileName().startsWith(name + QLatin1Char('-'))) << used.fileName().toStdString();
        EXPECT_FALSE(used.isSymLink());
        EXPECT_EQ(used.ownerId(), ::geteuid());
        EXPECT_EQ(used.permissions() & 0x0077, 0) << std::hex << used.permissions();
        EXPECT_EQ(YmComClose(handle), 0);
        const QFileInfo after(planted);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.ownerId(), before.ownerId());
        EXPECT_EQ(after.permissions(), before.permissions());
        qputenv("TMPDIR", usableTemp);
    }
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
}

TEST_F(OpenClose, NotReadyRefusesSilently)
{
    comm::resetLibraryState();
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    EXPECT_EQ(YmComOpen(nullptr, "COM1", 115200), -1);
    QByteArray name = "stale";
    QByteArray fields = "stale";
    EXPECT_EQ(YmSendFile(1, "x.txt", "", ""), 4);
    EXPECT_EQ(YmSendBnf(1, "x.bnf", "", ""), 4);
    EXPECT_EQ(YmRecvFile(1, "", 0, 0, name, fields), 4);
    EXPECT_EQ(name, QByteArray());
    EXPECT_EQ(YmComClose(1), 3);
    EXPECT_EQ(YmComClose(-1), 3);
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST_F(OpenClose, LowerCaseNameOpensTheUpperCasePortOnce)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(3, pty.path());
    const int handle = YmComOpen(nullptr, "com3", 460800);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_EQ(comm::YmHandle, handle);
    EXPECT_EQ(comm::PortName, QString("com3"));
    ASSERT_TRUE(comm::ComForm);
    EXPECT_EQ(comm::ComForm->windowTitle(), QString("通信ポート com3 460800 bps"));
    EXPECT_FALSE(comm::ComForm->isVisible());
    // The temporary files, made empty, in the temporary folder's own subfolder.
    const QString temp = QDir::tempPath() + QStringLiteral("/Dunmere-%1/").arg(::geteuid());
    EXPECT_TRUE(comm::ComForm->Tmp1File.startsWith(temp + "corltmp1-"));
    EXPECT_TRUE(comm::ComForm->Tmp2File.startsWith(temp + "corltmp2-"));
    EXPECT_EQ(QFileInfo(comm::ComForm->Tmp1File).size(), 0);
    EXPECT_EQ(QFileInfo(comm::ComForm->Tmp2File).size(), 0);
    EXPECT_EQ(comm::ComForm->LogFile, YmLogFileName());

    // A second open returns the open port whatever it asks for.
    EXPECT_EQ(YmComOpen(nullptr, "COM5", 9600), handle);
    EXPECT_EQ(YmComOpen(nullptr, "COMX", 1), handle);
    EXPECT_EQ(ui.messageBoxCount(), 0);

    EXPECT_EQ(YmComClose(handle), 0);
    EXPECT_EQ(comm::YmHandle, -1);
    EXPECT_EQ(comm::PortName, QString());
    EXPECT_FALSE(comm::ComForm);
    // Closed, the port can be had again; the new handle is not the old one.
    const int again = YmComOpen(nullptr, "COM3", 115200);
    EXPECT_GT(again, 0);
    EXPECT_NE(again, handle);
    EXPECT_EQ(YmComClose(handle), 3);
    EXPECT_EQ(YmComClose(again), 0);
}

TEST_F(OpenClose, ClosingWithAForeignHandleLeavesThePortOpen)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    EXPECT_EQ(YmComClose(-1), 1); // nothing open
    const int handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(YmComClose(handle + 1), 3);
    EXPECT_EQ(YmComClose(-1), 3);
    EXPECT_EQ(comm::YmHandle, handle);
    EXPECT_TRUE(comm::ComForm);
    // Still usable: a guard other than the handle's answers.
    QByteArray name;
    QByteArray fields;
    EXPECT_EQ(YmRecvFile(handle, (folder("gone") + "missing").toLocal8Bit(), 0, 0, name, fields), 5);
    EXPECT_EQ(YmComClose(handle), 0);
    EXPECT_EQ(YmComClose(handle), 3);
}

TEST_F(OpenClose, TransferGuardsThroughTheLibrary)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    QByteArray name;
    QByteArray fields;
    // No port open: -1 is the open handle, so it reads as a cancel.
    EXPECT_EQ(YmSendFile(-1, "x.txt", "", ""), 1);
    EXPECT_EQ(YmRecvFile(-1, "", 0, 0, name, fields), 1);
    EXPECT_EQ(YmSendFile(4, "x.txt", "", ""), 3);
    const int handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(YmSendFile(-1, "x.txt", "", ""), 3);
    EXPECT_EQ(YmSendBnf(handle + 1, "x.txt", "", ""), 3);
    comm::Busy = true; // as while a transfer runs
    EXPECT_EQ(YmSendFile(handle, "x.txt", "", ""), 4);
    EXPECT_EQ(YmSendBnf(handle, "x.txt", "", ""), 4);
    EXPECT_EQ(YmRecvFile(handle, "", 0, 0, name, fields), 4);
    EXPECT_EQ(YmSendFile(handle + 1, "x.txt", "", ""), 3);
    comm::Busy = false;
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_TRUE(ui.fileDialogs().empty());
}

TEST_F(OpenClose, RefusedSendsStartNothing)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(1, pty.path());
    const int handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    ASSERT_TRUE(writeFile(txFolder + "plain.txt", "x\r\n"));
    EXPECT_EQ(YmSendFile(handle, "plain.txt", "", ""), 7);
    EXPECT_EQ(YmSendFile(handle, "none.pd4", "", ""), 6);
    EXPECT_EQ(YmSendBnf(handle, "plain.txt", "TOOLONGNAME.BNF", "500"), 8);
    // A cancelled file dialog is a cancel; it starts in the default send folder.
    EXPECT_EQ(YmSendFile(handle, "", "", ""), 1);
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].text, txFolder);
    // A chosen record file without a width file.
    ui.queueFileName(txFolder + "plain.txt");
    EXPECT_EQ(YmSendFile(handle, rxFolder.toLocal8Bit(), "", "1,2"), 7);
    ASSERT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_EQ(ui.fileDialogs()[1].text, rxFolder);
    EXPECT_FALSE(comm::ComForm->YmThread);
    EXPECT_EQ(pty.drain(100), QByteArray());
    EXPECT_EQ(YmComClose(handle), 0);
}

TEST_F(OpenClose, LogFileNameFollowsTheOpenPortAndMode)
{
    const QDate today = QDate::currentDate();
    const struct {
        int mode;
        QString suffix;
    } cases[] = {
        {0, today.toString("_yyyy_MM_dd")},
        {1, today.toString("_yyyy_MM")},
        {2, today.toString("_yyyy")},
    };
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pointPort(2, pty.path());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        comm::resetLibraryState();
        storeSettings({{"LogFileMode", c.mode}, {"LogEnable", 1}});
        ASSERT_TRUE(YmInitialize());
        EXPECT_EQ(YmLogFileName(), logFolder + "CRL" + c.suffix + ".log"); // no port open
        const int handle = YmComOpen(nullptr, "COM2", 115200);
        ASSERT_GT(handle, 0);
        EXPECT_EQ(YmLogFileName(), logFolder + "CRLCOM2" + c.suffix + ".log");
        EXPECT_TRUE(QFile::exists(YmLogFileName())); // logging on: opened once at the open
        EXPECT_EQ(YmComClose(handle), 0);
    }
}

// ---------------------------------------------------------------- result messages

TEST(ErrorMessages, TextsCaptionsAndIcons)
{
    testsupport::RecordingUi ui;
    const struct {
        int kind;
        int code;
        const char *text; // null: nothing shown
        const char *caption;
    } cases[] = {
        {0, 0, "正常終了", "プログラム転送"},
        {1, 1, nullptr, nullptr},
        {1, 2, nullptr, nullptr},
        {1, 3, "指定通信ハンドル不良", "業務設定データ送信"},
        {2, 4, "実行エラー（通信中）", "業務設定データ受信"},
        {3, 5, "指定フォルダが存在しない", "マスターファイル送信"},
        {4, 6, "送信ファイルが無い", "マスターファイル受信"},
        {5, 7, "ﾌｨｰﾙﾄﾞﾌｧｲﾙ(ﾃﾞｰﾀ)ｴﾗｰ", "データ送信"},
        {6, 8, "ＢＨＴファイル名が不良", "データ受信"},
        {7, 9, "通信エラー発生", "データ受信"},
        {-1, 10, "送信データエラー", "データ受信"},
        {0, 11, "ディスク空き容量不足", "プログラム転送"},
        {0, 12, "ファイルアクセスエラー", "プログラム転送"},
        {0, 13, "タイムアウト", "プログラム転送"},
        {0, 14, "リトライエラー", "プログラム転送"},
        {0, 15, "受信フィールドエラー", "プログラム転送"},
        {0, 16, "受信データエラー", "プログラム転送"},
        {0, 17, "受信バッファ読み取りエラー", "プログラム転送"},
        {0, 18, "送信バッファ書き込みエラー", "プログラム転送"},
        {0, 19, "通信エラー発生", "プログラム転送"},
        {0, -3, "通信エラー発生", "プログラム転送"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.code));
        ui.clear();
        YmErrorMsg(c.kind, c.code);
        if (!c.text) {
            EXPECT_EQ(ui.messageBoxCount(), 0);
            continue;
        }
        ASSERT_EQ(ui.messageBoxCount(), 1);
        const testsupport::UiEvent box = ui.messageBoxes()[0];
        EXPECT_EQ(box.text, QString::fromUtf8(c.text));
        EXPECT_EQ(box.caption, QString::fromUtf8(c.caption));
        EXPECT_TRUE(box.style.foreground);
        EXPECT_EQ(box.style.buttons, platform::MsgButtons::Ok);
        if (c.code == 0) {
            EXPECT_EQ(box.style.icon, MsgIcon::Information);
            EXPECT_EQ(box.style.modality, MsgModality::Task);
        } else {
            EXPECT_EQ(box.style.icon, MsgIcon::Stop);
            EXPECT_EQ(box.style.modality, MsgModality::Application);
        }
    }
}

// ---------------------------------------------------------------- real transfers

class RealTransfer : public LibraryTest {};

TEST_F(RealTransfer, SendsARecordFileFromTheDefaultFolderToTheSimulator)
{
    const QString inbox = folder("inbox");
    TerminalSim sim(folder("sim"), {"--inbox", inbox.chopped(1)});
    ASSERT_TRUE(sim.ready());
    pointPort(1, sim.device());
    storeSettings();
    ASSERT_TRUE(YmInitialize());
    ASSERT_TRUE(writeFile(txFolder + "data.csv", "A,B\r\nCC,DDDD\r\n"));
    ASSERT_TRUE(writeFile(txFolder + "data.fld", "3,2\r\n"));

    const int handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(YmSendFile(handle, "data.csv", "", ""), 0) << sim.log().toStdString();
    EXPECT_FALSE(comm::Busy);
    EXPECT_FALSE(comm::ComForm->isVisible());
    EXPECT_EQ(YmComClose(handle), 0);
    EXPECT_EQ(readFile(inbox + "DATA.CSV"), QByteArray("A  B \r\nCC DD\r\n"));
    EXPECT_EQ(readFile(inbox + "DATA.FLD"),
              QByteArray("* created by BHT\r\nfile\tDATA.CSV\r\nsize\t14\r\nrecords\t2\r\nfields\t3 2\r\n"));
    YmErrorMsg(5, 0);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QString("正常終了"));
}

TEST_F(RealTransfer, ReceivesIntoTheDefaultFolderAndHandsBackNameAndFields)
{
    const QString outbox = folder("outbox");
    ASSERT_TRUE(writeFile(outbox + "DATA.DAT", "ABCD1XY\r\nEFGH2ZW\r\n"));
    TerminalSim sim(folder("sim"), {"--outbox", outbox.chopped(1), "--fields", "4,1,2"});
    ASSERT_TRUE(sim.ready());
    pointPort(1, sim.device());
    storeSettings({{"LogEnable", 1}});
    ASSERT_TRUE(YmInitialize());

    const int handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    QByteArray name = "stale";
    QByteArray fields = "stale";
    EXPECT_EQ(YmRecvFile(handle, "", 0, 0, name, fields), 0) << sim.log().toStdString();
    EXPECT_EQ(name, QByteArray("DATA.DAT"));
    EXPECT_EQ(fields, QByteArray("4,1,2"));
    EXPECT_EQ(readFile(rxFolder + "DATA.DAT"), QByteArray("ABCD1XY\r\nEFGH2ZW\r\n"));
    const QString log = YmLogFileName();
    EXPECT_EQ(YmComClose(handle), 0);
    const QByteArray logged = readFile(log);
    EXPECT_TRUE(logged.contains("DATA.DAT")) << logged.toStdString();
    EXPECT_TRUE(logged.contains(platform::cp932::encode(u"受信  正常終了"))) << logged.toStdString();
}

} // namespace
