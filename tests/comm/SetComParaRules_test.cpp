#include "ComPortPty.h"
#include "comm/CorlissRules.h"
#include "comm/SetComParaRules.h"
#include "platform/PosixSerialPort.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using comm::ComConditions;
using comm::ComControlState;
using comm::PortCheck;
using commtest::PortHolder;
using commtest::PortOverride;
using commtest::PortPty;
using commtest::RefusingLine;
using commtest::storedInteger;

namespace {

const char *checkName(PortCheck check)
{
    switch (check) {
    case PortCheck::Usable:
        return "Usable";
    case PortCheck::PortUnusable:
        return "PortUnusable";
    case PortCheck::LineRefused:
        return "LineRefused";
    }
    return "?";
}

} // namespace

TEST(SetComParaRules, ListsHoldTheOperatorsChoices)
{
    EXPECT_EQ(comm::comPortItems(),
              QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}));
    EXPECT_EQ(comm::comSpeedItems(), QStringList({"115.2kbps", "460.8kbps"}));
    EXPECT_EQ(comm::writeModeItems(), QStringList({QStringLiteral("上書き"), QStringLiteral("追加")}));
}

TEST(SetComParaRules, ControlsShowTheConditions)
{
    const struct {
        ComConditions conditions;
        ComControlState controls;
    } cases[] = {
        {{3, 460800, 0, 0, "COM3"}, {2, 1, false, 0}},
        {{9, 115200, 1, 1, "COM9"}, {8, 0, true, 1}},
        {{1, 115200, 1, 0, "COM1"}, {0, 0, true, 0}},
        // Values another program may have stored: only exactly 460800 and 1 tick the second choice.
        {{5, 9600, 2, 7, "COM5"}, {4, 0, false, 0}},
        {{2, 460801, -1, 1, "COM2"}, {1, 0, false, 1}},
        // Ports the main form would not use fall back to COM1 rather than an empty list.
        {{0, 115200, 1, 1, "COM0"}, {0, 0, true, 1}},
        {{12, 115200, 1, 1, "COM12"}, {0, 0, true, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.conditions.ComP);
        const ComControlState got = comm::controlsFor(c.conditions);
        EXPECT_EQ(got.portIndex, c.controls.portIndex);
        EXPECT_EQ(got.speedIndex, c.controls.speedIndex);
        EXPECT_EQ(got.continuous, c.controls.continuous);
        EXPECT_EQ(got.writeModeIndex, c.controls.writeModeIndex);
    }
}

TEST(SetComParaRules, ControlsGiveTheConditionsWithThePortName)
{
    const struct {
        ComControlState controls;
        ComConditions conditions;
    } cases[] = {
        {{2, 1, false, 0}, {3, 460800, 0, 0, "COM3"}},
        {{8, 0, true, 1}, {9, 115200, 1, 1, "COM9"}},
        {{0, 0, true, 0}, {1, 115200, 1, 0, "COM1"}},
        {{-1, -1, true, -1}, {1, 115200, 1, 0, "COM1"}}, // nothing selected
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.controls.portIndex);
        const ComConditions got = comm::conditionsFor(c.controls);
        EXPECT_EQ(got.ComP, c.conditions.ComP);
        EXPECT_EQ(got.ComSpeed, c.conditions.ComSpeed);
        EXPECT_EQ(got.RcvMode, c.conditions.RcvMode);
        EXPECT_EQ(got.WrMode, c.conditions.WrMode);
        EXPECT_EQ(got.ComPort, c.conditions.ComPort);
    }
    // Every usable combination comes back unchanged through the dialog.
    for (int port = 1; port <= 9; ++port)
        for (int speed : {115200, 460800})
            for (int rcv : {0, 1})
                for (int wr : {0, 1}) {
                    const ComConditions back = comm::conditionsFor(comm::controlsFor({port, speed, rcv, wr}));
                    EXPECT_EQ(back.ComP, port);
                    EXPECT_EQ(back.ComSpeed, speed);
                    EXPECT_EQ(back.RcvMode, rcv);
                    EXPECT_EQ(back.WrMode, wr);
                }
}

TEST(SetComParaRules, CheckMessages)
{
    const struct {
        PortCheck result;
        int port;
        int speed;
        QString text;
    } cases[] = {
        {PortCheck::PortUnusable, 3, 115200,
         QStringLiteral(
             "COM3 は既に使用されているか\r\n使用不可の状態です。\r\n通信ポートを変更してください。")},
        {PortCheck::PortUnusable, 9, 460800,
         QStringLiteral(
             "COM9 は既に使用されているか\r\n使用不可の状態です。\r\n通信ポートを変更してください。")},
        {PortCheck::LineRefused, 4, 460800,
         QStringLiteral("通信ポートCOM4の通信スピードは\r\n460.8kbpsの設定ができません。")},
        {PortCheck::LineRefused, 4, 115200,
         QStringLiteral("通信設定がエラーになりました。\r\n通信ポートを変更してください。")},
        {PortCheck::Usable, 1, 460800, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(comm::portCheckMessage(c.result, c.port, c.speed), c.text)
            << checkName(c.result) << " COM" << c.port << " " << c.speed;
}

TEST(SetComParaRules, CheckOpensThePortExclusivelyAtTheSpeed)
{
    const QString absent = testsupport::caseFolder() + QStringLiteral("/no-such-device");
    const QString plainFile = testsupport::caseFolder() + QStringLiteral("/not-a-tty");
    {
        QFile file(plainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    RefusingLine refusesFast(RefusingLine::Refuses::FastSpeed);
    RefusingLine refusesAll(RefusingLine::Refuses::Everything);
    enum class Device { FreePty, HeldByAnotherProcess, HeldByThisProcess, Absent, PlainFile };
    const struct {
        const char *what;
        Device device;
        int speed;
        platform::LineControl *line;
        PortCheck expected;
    } cases[] = {
        {"free at 115.2", Device::FreePty, 115200, nullptr, PortCheck::Usable},
        {"free at 460.8", Device::FreePty, 460800, nullptr, PortCheck::Usable},
        {"held by another program", Device::HeldByAnotherProcess, 115200, nullptr, PortCheck::PortUnusable},
        {"held by an open transfer", Device::HeldByThisProcess, 460800, nullptr, PortCheck::PortUnusable},
        {"no device", Device::Absent, 115200, nullptr, PortCheck::PortUnusable},
        {"not a serial device", Device::PlainFile, 115200, nullptr, PortCheck::PortUnusable},
        {"460.8 refused", Device::FreePty, 460800, &refusesFast, PortCheck::LineRefused},
        {"115.2 on a device refusing 460.8", Device::FreePty, 115200, &refusesFast, PortCheck::Usable},
        {"every setting refused", Device::FreePty, 115200, &refusesAll, PortCheck::LineRefused},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        PortPty pty(5);
        ASSERT_TRUE(pty.ok());
        std::unique_ptr<PortOverride> elsewhere;
        std::unique_ptr<PortHolder> otherProcess;
        std::unique_ptr<platform::SerialPort> transfer;
        platform::PortOpenError error = platform::PortOpenError::None;
        switch (c.device) {
        case Device::FreePty:
            break;
        case Device::HeldByAnotherProcess:
            otherProcess = std::make_unique<PortHolder>(pty.path());
            ASSERT_TRUE(otherProcess->held());
            break;
        case Device::HeldByThisProcess:
            transfer = platform::openSerialPort(QStringLiteral("COM5"), 115200, error);
            ASSERT_NE(transfer, nullptr);
            break;
        case Device::Absent:
            elsewhere = std::make_unique<PortOverride>(5, absent);
            break;
        case Device::PlainFile:
            elsewhere = std::make_unique<PortOverride>(5, plainFile);
            break;
        }
        EXPECT_EQ(checkName(comm::checkPort(5, c.speed, c.line)), checkName(c.expected));
        if (c.expected == PortCheck::Usable) {
            // The check let go of the port at once: a transfer opens it right after.
            EXPECT_NE(platform::openSerialPort(QStringLiteral("COM5"), c.speed, error), nullptr);
        }
    }
}

TEST(SetComParaRules, CheckRefusesPortNumbersWithoutADevice)
{
    for (int port : {0, 10, -1})
        EXPECT_EQ(checkName(comm::checkPort(port, 115200)), checkName(PortCheck::PortUnusable)) << port;
}

TEST(SetComParaRules, StoreWritesTheFourIntegersAndKeepsTheRest)
{
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(comm::commSettingsKey(), true));
    ASSERT_TRUE(registry.WriteInteger(QStringLiteral("ComPort"), 1));
    ASSERT_TRUE(registry.WriteBool(QStringLiteral("DspMode"), false));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("DefRxFolder"), QStringLiteral("/rx/")));
    // The object still has a key open, as the dialog's does after an earlier store.
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vestrane\\FerrolinProBHT800"), true));

    ASSERT_TRUE(comm::storeConditions(registry, {7, 460800, 0, 0, "COM7"}));
    EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), 7);
    EXPECT_EQ(storedInteger(QStringLiteral("ComSpeed")), 460800);
    EXPECT_EQ(storedInteger(QStringLiteral("RcvMode")), 0);
    EXPECT_EQ(storedInteger(QStringLiteral("WrMode")), 0);

    platform::TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(comm::commSettingsKey()));
    EXPECT_EQ(reader.ReadBool(QStringLiteral("DspMode")), false);
    EXPECT_EQ(reader.ReadString(QStringLiteral("DefRxFolder")), QStringLiteral("/rx/"));
    EXPECT_FALSE(reader.OpenKeyReadOnly(QStringLiteral("\\Software\\Vestrane\\FerrolinProBHT800\\Software")))
        << "stored below the key that was open";

    ASSERT_TRUE(comm::storeConditions(registry, {2, 115200, 1, 1, "COM2"}));
    EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), 2);
    EXPECT_EQ(storedInteger(QStringLiteral("ComSpeed")), 115200);
    EXPECT_EQ(storedInteger(QStringLiteral("RcvMode")), 1);
    EXPECT_EQ(storedInteger(QStringLiteral("WrMode")), 1);
}

TEST(SetComParaRules, StoreThatCannotWriteFails)
{
    const QString blocker = testsupport::caseFolder() + QStringLiteral("/blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray previous = qgetenv("HARBROOK_REGISTRY");
    qputenv("HARBROOK_REGISTRY", (blocker + QStringLiteral("/registry.json")).toLocal8Bit());
    platform::TRegistry registry;
    const bool stored = comm::storeConditions(registry, {3, 115200, 1, 1, "COM3"});
    qputenv("HARBROOK_REGISTRY", previous);
    EXPECT_FALSE(stored);
    EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), std::nullopt);
}
