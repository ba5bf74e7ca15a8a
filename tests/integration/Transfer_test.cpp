// The communication library and its engine (through ymtool), the terminal simulator and lrzsz over
// ptys, in real time.

#include "Peers.h"

#include "platform/Cp932.h"
#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>

using namespace itest;

namespace {

const QByteArray MasterFld =
    "* created by BHT\r\nfile\tMASTER.DAT\r\nsize\t2700\r\nrecords\t300\r\nfields\t4 1 2\r\n";

// rb lowers the case of some upper-case names.
QByteArray readAnyCase(const QString &folder, const char *name)
{
    for (const QString &file : QDir(folder).entryList(QDir::Files))
        if (file.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return readFile(folder + QLatin1Char('/') + file);
    return {};
}

class Transfer : public testing::Test {
protected:
    void SetUp() override
    {
        root = testsupport::caseFolder();
        for (const char *sub : {"in", "out", "rx", "src", "peer"})
            ASSERT_TRUE(QDir(root).mkpath(QString::fromLatin1(sub)));
    }
    QString path(const QString &rel) const { return root + QLatin1Char('/') + rel; }
    // ymtool's output, for the failure message.
    static std::string shown(const YmRun &run) { return run.lines.join(QLatin1Char('\n')).toStdString(); }

    QString root;
};

TEST_F(Transfer, TheSimulatorTakesAnSbBatch)
{
    if (!lrzszPresent())
        GTEST_SKIP() << "lrzsz is not installed";
    const QByteArray program = randomBytes(5000, 1);
    const QByteArray records = randomRecords(300, 7, 2);
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), program));
    ASSERT_TRUE(writeFile(path("src/MASTER.DAT"), records));
    Sim sim(root, {"--inbox", path("in"), "--rate", "460800"});
    ASSERT_TRUE(sim.ready());
    SpawnSpec launch{"/usr/bin/sb",
                     {"--ymodem", "PRG.PD4", "MASTER.DAT"},
                     path("src"),
                     sim.device(),
                     -1,
                     {},
                     path("sb.err"),
                     {}};
    Child sb(launch);
    ASSERT_TRUE(sb.wait(60000));
    EXPECT_EQ(sb.exitCode(), 0);
    const QString log = sim.stop();
    EXPECT_EQ(readFile(path("in/PRG.PD4")), program) << log.toStdString();
    EXPECT_EQ(readFile(path("in/MASTER.DAT")), records) << log.toStdString();
}

TEST_F(Transfer, TheSimulatorSendsItsOutboxToRbWithTheFieldDefinitionFirst)
{
    if (!lrzszPresent())
        GTEST_SKIP() << "lrzsz is not installed";
    const QByteArray records = randomRecords(300, 7, 3);
    ASSERT_TRUE(writeFile(path("out/MASTER.DAT"), records));
    Sim sim(root, {"--outbox", path("out"), "--fields", "4,1,2"});
    ASSERT_TRUE(sim.ready());
    SpawnSpec launch{
        "/usr/bin/rb", {"-vv", "--ymodem"}, path("peer"), sim.device(), -1, {}, path("rb.err"), {}};
    Child rb(launch);
    ASSERT_TRUE(rb.wait(60000));
    EXPECT_EQ(rb.exitCode(), 0);
    sim.stop();
    EXPECT_EQ(readAnyCase(path("peer"), "MASTER.FLD"), MasterFld);
    EXPECT_EQ(readAnyCase(path("peer"), "MASTER.DAT"), records);
    const QString err = QString::fromLatin1(readFile(path("rb.err"))).toLower();
    EXPECT_LT(err.indexOf(QLatin1String("receiving: master.fld")),
              err.indexOf(QLatin1String("receiving: master.dat")));
    EXPECT_GE(err.indexOf(QLatin1String("receiving: master.fld")), 0) << err.toStdString();
}

struct SendCase {
    const char *pcName;
    QByteArray content;
    const char *bhtName;
    const char *fields;    // "" for none given
    const char *widthFile; // written beside the PC file as NAME.fld, or null
    const char *stored;    // the name in the terminal's inbox
    QByteArray expected;
    QByteArray expectedFld; // empty: no field definition must arrive
};

TEST_F(Transfer, TheEngineSendsEachKindOfFileToTheSimulator)
{
    const QByteArray program = randomBytes(5000, 4);
    const QByteArray records = randomRecords(300, 7, 5);
    const SendCase cases[] = {
        {"prg.pd4", program, "PRG.PD4", "", nullptr, "PRG.PD4", program, {}},
        {"master.dat", records, "master.dat", "4,1,2", nullptr, "MASTER.DAT", records, MasterFld},
        {"mst.dat", records, "MST.DAT", "", "4,1,2\r\n", "MST.DAT", records,
         "* created by BHT\r\nfile\tMST.DAT\r\nsize\t2700\r\nrecords\t300\r\nfields\t4 1 2\r\n"},
        {"data.csv", "A,B\r\nCC,DDDD\r\n", "DATA.CSV", "3,2", nullptr, "DATA.CSV", "A  B \r\nCC DD\r\n",
         "* created by BHT\r\nfile\tDATA.CSV\r\nsize\t14\r\nrecords\t2\r\nfields\t3 2\r\n"},
    };
    Sim sim(root, {"--inbox", path("in"), "--rate", "460800"});
    ASSERT_TRUE(sim.ready());
    for (const SendCase &c : cases) {
        const QString pc = path(QStringLiteral("src/") + QLatin1String(c.pcName));
        ASSERT_TRUE(writeFile(pc, c.content));
        if (c.widthFile) {
            ASSERT_TRUE(
                writeFile(pc.left(pc.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".fld"), c.widthFile));
        }
        QStringList args{"send", "COM1", pc, QLatin1String(c.bhtName)};
        if (*c.fields)
            args << QLatin1String(c.fields);
        const YmRun run = runYmtool(args, sim.device(), root);
        ASSERT_TRUE(run.ended) << c.pcName;
        EXPECT_EQ(run.result, 0) << c.pcName << "\n" << shown(run);
        EXPECT_EQ(run.exitCode, 0) << c.pcName;
        const QString stored = QLatin1String(c.stored);
        EXPECT_EQ(readFile(path("in/") + stored), c.expected) << c.pcName;
        const QString fld =
            path("in/") + stored.left(stored.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".FLD");
        EXPECT_EQ(readFile(fld), c.expectedFld) << c.pcName;
    }
    const QString log = sim.stop();
    EXPECT_TRUE(log.contains(QLatin1String("batches received 4"))) << log.toStdString();
}

TEST_F(Transfer, TheEngineShowsTheProgressAndRefusesWhatItCannotSend)
{
    ASSERT_TRUE(writeFile(path("src/master.dat"), randomRecords(3, 7, 6)));
    Sim sim(root, {"--inbox", path("in"), "--rate", "460800"});
    ASSERT_TRUE(sim.ready());
    const YmRun sent =
        runYmtool({"send", "COM1", path("src/master.dat"), "MASTER.DAT", "4,1,2"}, sim.device(), root);
    EXPECT_EQ(sent.result, 0) << shown(sent);
    for (const char *label : {"label MASTER.DAT ﾃﾞｰﾀ送信", "label MASTER.DAT 送信開始",
                              "label MASTER.DAT 送信中", "label MASTER.DAT 送信終了"})
        EXPECT_TRUE(sent.lines.contains(QString::fromUtf8(label))) << label << "\n" << shown(sent);
    EXPECT_EQ(sent.lines.last(), QStringLiteral("result 0"));

    const struct {
        QStringList args;
        int result;
    } refused[] = {
        {{"send", "COM1", path("src/master.dat"), "MASTER.DAT"}, 7},          // no field list anywhere
        {{"send", "COM1", path("src/master.dat"), "MASTER.DAT", "4,0,2"}, 7}, // unusable widths
        {{"send", "COM1", path("src/master.dat"), "TOOLONGNAME.DAT", "7"}, 8},
        {{"send", "COM1", path("src/missing.pd4"), "MISSING.PD4"}, 6},
        {{"recv", "COM1", path("no-such-folder")}, 5},
        {{"send", "COM1", path("src/master.dat"), "MASTER.DAT", "4,1,2", "--log",
          path("no-such-folder/t.log")},
         12},
    };
    for (const auto &r : refused) {
        const YmRun run = runYmtool(r.args, sim.device(), root);
        EXPECT_EQ(run.result, r.result) << r.args.join(' ').toStdString() << "\n" << shown(run);
        EXPECT_EQ(run.exitCode, 1);
    }
    const YmRun noPort = runYmtool({"send", "COM1", path("src/master.dat"), "MASTER.DAT", "4,1,2"},
                                   path("no-such-device"), root);
    EXPECT_EQ(noPort.result, 1) << shown(noPort);
    EXPECT_TRUE(noPort.lines.contains(QString::fromUtf8("message [Corliss通信] COM1 は既に使用されているか / "
                                                        "使用不可の状態です。")))
        << shown(noPort);
    // The box names the port alone; standard error says which device was tried, from where, and why.
    EXPECT_TRUE(noPort.errors.contains(
        QStringLiteral("COM1: cannot open %1 (set by HARBROOK_PORT_COM1): %2")
            .arg(path("no-such-device"), QString::fromLocal8Bit(std::strerror(ENOENT)))))
        << noPort.errors.join('\n').toStdString();
    sim.stop();
    EXPECT_EQ(QDir(path("in")).entryList(QDir::Files).size(), 2); // MASTER.FLD and MASTER.DAT only
}

TEST_F(Transfer, YmtoolAppendsTheLibrarysLogAndLeavesTheUsersStoreAlone)
{
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), randomBytes(3000, 18)));
    const QByteArray earlier = "an earlier line\r\n";
    ASSERT_TRUE(writeFile(path("transfer.log"), earlier));
    const QString store = qEnvironmentVariable("HARBROOK_REGISTRY");
    ASSERT_FALSE(store.isEmpty());
    const bool storeExisted = QFile::exists(store);
    const QByteArray storeBefore = readFile(store);
    Sim sim(root, {"--inbox", path("in"), "--rate", "460800"});
    ASSERT_TRUE(sim.ready());
    const YmRun run = runYmtool(
        {"send", "COM1", path("src/PRG.PD4"), "PRG.PD4", "--log", path("transfer.log")}, sim.device(), root);
    sim.stop();
    ASSERT_EQ(run.result, 0) << shown(run);
    const QString log = platform::cp932::decode(readFile(path("transfer.log")));
    EXPECT_TRUE(log.startsWith(QLatin1String(earlier))) << log.toStdString();
    const QStringList added = log.mid(earlier.size()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(added.size(), 1) << log.toStdString();
    EXPECT_TRUE(added.first().contains(QLatin1String("PRG.PD4"))) << log.toStdString();
    EXPECT_TRUE(added.first().contains(QString::fromUtf8("正常終了"))) << log.toStdString();
    EXPECT_EQ(QFile::exists(store), storeExisted);
    EXPECT_EQ(readFile(store), storeBefore);
    // The window's gauge ends full.
    QString gauge;
    for (const QString &line : run.lines)
        if (line.startsWith(QLatin1String("gauge ")))
            gauge = line.mid(6);
    const QStringList parts = gauge.split(QLatin1Char('/'));
    ASSERT_EQ(parts.size(), 2) << shown(run);
    EXPECT_EQ(parts.at(0), parts.at(1)) << shown(run);
}

TEST_F(Transfer, TheEngineReceivesTheSimulatorsBatch)
{
    const QByteArray program = randomBytes(3000, 7);
    const QByteArray records = randomRecords(200, 7, 8);
    ASSERT_TRUE(writeFile(path("out/PRG.PD4"), program));
    ASSERT_TRUE(writeFile(path("out/MASTER.DAT"), records));
    Sim sim(root, {"--outbox", path("out"), "--fields", "4,1,2", "--rate", "460800"});
    ASSERT_TRUE(sim.ready());
    const YmRun run = runYmtool({"recv", "COM1", path("rx")}, sim.device(), root);
    const QString log = sim.stop();
    ASSERT_EQ(run.result, 0) << shown(run) << log.toStdString();
    EXPECT_EQ(readFile(path("rx/PRG.PD4")), program);
    EXPECT_EQ(readFile(path("rx/MASTER.DAT")), records);
    EXPECT_EQ(QDir(path("rx")).entryList(QDir::Files), (QStringList{"MASTER.DAT", "PRG.PD4"}));
    EXPECT_EQ(run.value("file"), QStringLiteral("PRG.PD4")); // the last file of the batch
}

TEST_F(Transfer, TheEngineReceivesRecordDataAsCsv)
{
    ASSERT_TRUE(writeFile(path("out/DATA.DAT"), "ABCD1XY\r\nEFGH2ZW\r\n"));
    Sim sim(root, {"--outbox", path("out"), "--fields", "4,1,2", "--rate", "460800"});
    ASSERT_TRUE(sim.ready());
    const YmRun run = runYmtool({"recv", "COM1", path("rx"), "--csv", "--dbl-quoted"}, sim.device(), root);
    sim.stop();
    ASSERT_EQ(run.result, 0) << shown(run);
    EXPECT_EQ(readFile(path("rx/DATA.DAT")),
              QByteArray("\"ABCD\",\"1\",\"XY\"\r\n\"EFGH\",\"2\",\"ZW\"\r\n"));
    EXPECT_EQ(run.value("file"), QStringLiteral("DATA.DAT"));
    EXPECT_EQ(run.value("fields"), QStringLiteral("4,1,2"));
}

TEST_F(Transfer, TheTerminalsFaultsEndWithTheirCodesAndLeaveTheFolderAlone)
{
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), randomBytes(4000, 9)));
    ASSERT_TRUE(writeFile(path("out/PRG.PD4"), randomBytes(4000, 10)));
    const QByteArray older = "the operator's older copy";
    ASSERT_TRUE(writeFile(path("rx/PRG.PD4"), older));
    const struct {
        bool send;
        QStringList faults;
        int result;
    } cases[] = {
        {true, {"--cancel", "1"}, 2},
        {true, {"--nak-for-c", "1"}, 16},
        {false, {"--cancel", "1"}, 2},
    };
    for (const auto &c : cases) {
        const auto before = snapshot(path("rx"));
        Sim sim(root,
                QStringList{"--inbox", path("in"), "--outbox", path("out"), "--rate", "460800"} + c.faults);
        ASSERT_TRUE(sim.ready());
        const YmRun run =
            c.send ? runYmtool({"send", "COM1", path("src/PRG.PD4"), "PRG.PD4"}, sim.device(), root)
                   : runYmtool({"recv", "COM1", path("rx")}, sim.device(), root);
        const QString log = sim.stop();
        EXPECT_EQ(run.result, c.result) << c.faults.join(' ').toStdString() << "\n"
                                        << shown(run) << log.toStdString();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(snapshot(path("rx")), before) << c.faults.join(' ').toStdString();
        EXPECT_TRUE(run.value("file").isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path("in/PRG.PD4")));
}

TEST_F(Transfer, ASilentTerminalTimesTheSenderOut)
{
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), randomBytes(2000, 11)));
    // The terminal takes the header and then goes silent for longer than the sender waits.
    Sim sim(root, {"--inbox", path("in"), "--stall", "1", "--stall-ms", "60000"});
    ASSERT_TRUE(sim.ready());
    const YmRun run = runYmtool({"send", "COM1", path("src/PRG.PD4"), "PRG.PD4"}, sim.device(), root);
    sim.stop();
    EXPECT_EQ(run.result, 13) << shown(run);
}

QStringList outputLines(const QString &out)
{
    return QString::fromUtf8(readFile(out)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST_F(Transfer, AnInterruptPressesTheStopButton)
{
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), randomBytes(200000, 19)));
    Sim sim(root, {"--inbox", path("in"), "--rate", "9600"});
    ASSERT_TRUE(sim.ready());
    Child ymtool(ymtoolLaunch({"send", "COM1", path("src/PRG.PD4"), "PRG.PD4", "--speed", "9600"},
                              sim.device(), path("stop.out")));
    // Once blocks go out, the interrupt comes in the middle of the file.
    const QString sending = QString::fromUtf8("label PRG.PD4 送信中");
    for (int i = 0; i < 400 && !QString::fromUtf8(readFile(path("stop.out"))).contains(sending); ++i)
        ASSERT_FALSE(ymtool.wait(50)) << readFile(path("stop.out")).toStdString();
    ymtool.signal(SIGINT);
    ASSERT_TRUE(ymtool.wait(30000));
    sim.stop();
    const QStringList lines = outputLines(path("stop.out"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.contains(sending)) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("result 2")) << lines.join('\n').toStdString();
    EXPECT_EQ(ymtool.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(path("in/PRG.PD4")));
}

// A terminal that sends batch after batch without end, paced as the cradle's line and pausing about a
// second between batches (it answers only an invitation after a quiet line). The operator's stop
// ends the continuous receive at once, whether it comes in the middle of a batch or in the pause;
// every batch that came whole is stored once, in append mode one copy of the records each.
TEST_F(Transfer, AStopEndsAContinuousReceiveOfATerminalThatKeepsSending)
{
    const QByteArray records = randomRecords(1500, 7, 22); // 13,500 bytes: over a second on the line
    ASSERT_TRUE(writeFile(path("out/DATA.DAT"), records));
    const struct {
        const char *moment;
        const char *label; // the stop comes as the progress window shows it the nth time
        int nth;
        int result;
        const char *logged; // the last line of the transfer log
    } cases[] = {
        {"in the middle of a batch", "label DATA.DAT ﾃﾞｰﾀ受信", 2, 2, "中断"},
        {"between batches", "label 受信待ち", 3, 1, "取消"},
    };
    int run = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.moment);
        const QString folder = path(QStringLiteral("continuous%1").arg(run++));
        const QString rx = folder + QStringLiteral("/rx");
        const QString out = folder + QStringLiteral("/ymtool.out");
        const QString log = folder + QStringLiteral("/transfer.log");
        ASSERT_TRUE(QDir().mkpath(rx));
        Sim sim(folder, {"--outbox", path("out"), "--fields", "4,1,2", "--rate", "115200", "--batches",
                         "1000000", "--quiet-before-batch", "500"});
        ASSERT_TRUE(sim.ready());
        Child ymtool(
            ymtoolLaunch({"recv", "COM1", rx, "--continuous", "--append", "--log", log}, sim.device(), out));

        const QString label = QString::fromUtf8(c.label);
        for (int i = 0; i < 1500 && outputLines(out).count(label) < c.nth; ++i)
            ASSERT_FALSE(ymtool.wait(20)) << outputLines(out).join('\n').toStdString();
        ASSERT_EQ(outputLines(out).count(label), c.nth) << outputLines(out).join('\n').toStdString();
        ymtool.signal(SIGINT);
        QElapsedTimer sinceStop;
        sinceStop.start();
        const auto received = [&] {
            const QStringList lines = outputLines(out);
            return std::any_of(lines.begin(), lines.end(),
                               [](const QString &l) { return l.startsWith(QLatin1String("file ")); });
        };
        while (!received() && sinceStop.elapsed() < 10000)
            QThread::msleep(10);
        const qint64 took = sinceStop.elapsed();
        ASSERT_TRUE(ymtool.wait(10000));
        const QString simLog = sim.stop();
        EXPECT_LT(took, 1000) << outputLines(out).join('\n').toStdString();

        const QStringList lines = outputLines(out);
        EXPECT_EQ(lines.last(), QStringLiteral("result %1").arg(c.result)) << lines.join('\n').toStdString();
        const qsizetype delivered = simLog.count(QLatin1String("sent DATA.DAT "));
        EXPECT_GE(delivered, 1) << simLog.toStdString();
        EXPECT_EQ(readFile(rx + QStringLiteral("/DATA.DAT")), records.repeated(delivered))
            << simLog.toStdString();
        EXPECT_EQ(QDir(rx).entryList(QDir::Files), QStringList{"DATA.DAT"});

        const QStringList logLines =
            platform::cp932::decode(readFile(log)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(logLines.size(), delivered + 1) << logLines.join('\n').toStdString();
        const auto code = [](const QString &line) {
            return line.section(QString::fromUtf8("受信  "), 1).trimmed();
        };
        for (qsizetype i = 0; i < delivered; ++i) {
            EXPECT_TRUE(logLines.at(i).contains(QLatin1String("DATA.DAT"))) << logLines.at(i).toStdString();
            EXPECT_EQ(code(logLines.at(i)), QString::fromUtf8("正常終了")) << logLines.at(i).toStdString();
        }
        EXPECT_EQ(code(logLines.last()), QString::fromUtf8(c.logged)) << logLines.join('\n').toStdString();
    }
}

TEST_F(Transfer, ANoisyLineStillCarriesFilesBothWays)
{
    const QByteArray program = randomBytes(20000, 12);
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), program));
    ASSERT_TRUE(writeFile(path("out/PRG.PD4"), program));
    const QStringList noise{"--corrupt", "0.0005", "--drop", "0.0003", "--repeat", "0.0003", "--seed", "7"};
    {
        Sim sim(root, QStringList{"--inbox", path("in")} + noise);
        ASSERT_TRUE(sim.ready());
        const YmRun run = runYmtool({"send", "COM1", path("src/PRG.PD4"), "PRG.PD4"}, sim.device(), root);
        const QString log = sim.stop();
        EXPECT_EQ(run.result, 0) << shown(run) << log.toStdString();
        EXPECT_EQ(readFile(path("in/PRG.PD4")), program);
    }
    {
        Sim sim(root, QStringList{"--outbox", path("out")} + noise);
        ASSERT_TRUE(sim.ready());
        const YmRun run = runYmtool({"recv", "COM1", path("rx")}, sim.device(), root);
        const QString log = sim.stop();
        EXPECT_EQ(run.result, 0) << shown(run) << log.toStdString();
        EXPECT_EQ(readFile(path("rx/PRG.PD4")), program);
    }
}

TEST_F(Transfer, TheEngineSendsToRb)
{
    if (!lrzszPresent())
        GTEST_SKIP() << "lrzsz is not installed";
    const QByteArray program = randomBytes(6000, 13);
    const QByteArray records = randomRecords(300, 7, 14);
    const QByteArray archive = randomBytes(2500, 20);
    ASSERT_TRUE(writeFile(path("src/PRG.PD4"), program));
    ASSERT_TRUE(writeFile(path("src/MASTER.DAT"), records));
    ASSERT_TRUE(writeFile(path("src/ARCHIVE.ZIP"), archive));
    const QStringList sends[] = {
        {path("src/PRG.PD4"), "PRG.PD4"},
        {path("src/MASTER.DAT"), "MASTER.DAT", "4,1,2"},
        {path("src/ARCHIVE.ZIP"), "ARCHIVE.ZIP"}, // binary, so no field list is needed
    };
    for (const QStringList &send : sends) {
        PeerLine line;
        SpawnSpec launch{
            "/usr/bin/rb", {"-vv", "--ymodem"}, path("peer"), {}, line.peerFd(), {}, path("rb.err"), {}};
        Child rb(launch);
        const YmRun run = runYmtool(QStringList{"send", "COM1"} + send, line.device(), root);
        EXPECT_EQ(run.result, 0) << shown(run) << readFile(path("rb.err")).toStdString();
        ASSERT_TRUE(rb.wait(30000));
        EXPECT_EQ(rb.exitCode(), 0);
    }
    EXPECT_EQ(readAnyCase(path("peer"), "PRG.PD4"), program);
    EXPECT_EQ(readAnyCase(path("peer"), "MASTER.DAT"), records);
    EXPECT_EQ(readAnyCase(path("peer"), "MASTER.FLD"), MasterFld);
    EXPECT_EQ(readAnyCase(path("peer"), "ARCHIVE.ZIP"), archive);
    EXPECT_EQ(readAnyCase(path("peer"), "ARCHIVE.FLD"), QByteArray());
    const QString err = QString::fromLatin1(readFile(path("rb.err"))).toLower();
    const auto fld = err.indexOf(QLatin1String("receiving: master.fld"));
    EXPECT_GE(fld, 0) << err.toStdString();
    EXPECT_LT(fld, err.indexOf(QLatin1String("receiving: master.dat")));
}

TEST_F(Transfer, TheEngineReceivesSbBatches)
{
    if (!lrzszPresent())
        GTEST_SKIP() << "lrzsz is not installed";
    const QByteArray first = randomBytes(3000, 15);
    const QByteArray second = randomBytes(1025, 16);
    const QByteArray records = randomRecords(300, 7, 17);
    const QByteArray archive = randomBytes(4000, 21);
    ASSERT_TRUE(writeFile(path("src/PRG1.PD4"), first));
    ASSERT_TRUE(writeFile(path("src/PRG2.PD4"), second));
    ASSERT_TRUE(writeFile(path("src/MASTER.FLD"), MasterFld));
    ASSERT_TRUE(writeFile(path("src/MASTER.DAT"), records));
    ASSERT_TRUE(writeFile(path("src/ARCHIVE.ZIP"), archive));
    const QStringList batches[] = {{"PRG1.PD4", "PRG2.PD4"}, {"ARCHIVE.ZIP"}, {"MASTER.FLD", "MASTER.DAT"}};
    QStringList fieldLists;
    for (const QStringList &files : batches) {
        PeerLine line;
        SpawnSpec launch{"/usr/bin/sb",  QStringList{"--ymodem"} + files,
                         path("src"),    {},
                         line.peerFd(),  {},
                         path("sb.err"), {}};
        Child sb(launch);
        const YmRun run = runYmtool({"recv", "COM1", path("rx")}, line.device(), root);
        EXPECT_EQ(run.result, 0) << shown(run);
        EXPECT_EQ(run.value("file"), files.last());
        fieldLists << run.value("fields");
        ASSERT_TRUE(sb.wait(30000));
        EXPECT_EQ(sb.exitCode(), 0);
    }
    EXPECT_EQ(readFile(path("rx/PRG1.PD4")), first);
    EXPECT_EQ(readFile(path("rx/PRG2.PD4")), second);
    EXPECT_EQ(readFile(path("rx/MASTER.DAT")), records);
    EXPECT_EQ(readFile(path("rx/ARCHIVE.ZIP")), archive);
    EXPECT_FALSE(QFile::exists(path("rx/MASTER.FLD")));
    EXPECT_EQ(fieldLists.last(), QStringLiteral("4,1,2"));
}

} // namespace
