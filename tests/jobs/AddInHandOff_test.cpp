#include "jobs/AddInHandOff.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "platform/RegistryFile.h"
#include "tests/jobs/SettingsProgramFolder.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QFile>
#include <gtest/gtest.h>
#include <vector>

using namespace jobs;

namespace {

// The key as a settings program left it; nullopt leaves a value out.
struct Left {
    std::optional<int> Result;
    std::optional<int> SetCount;
    std::vector<std::optional<const char *>> Para;
};

void leave(const Left &left)
{
    QFile::remove(platform::registry::storePath());
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(AddInHandOffKey, true));
    if (left.Result) {
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("Result"), *left.Result));
    }
    if (left.SetCount) {
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), *left.SetCount));
    }
    for (std::size_t k = 0; k < left.Para.size(); ++k) {
        if (left.Para[k]) {
            ASSERT_TRUE(reg.WriteString(QStringLiteral("Para%1").arg(k), QString::fromUtf8(*left.Para[k])));
        }
    }
}

AddInStrings strings(std::initializer_list<const char *> list)
{
    AddInStrings out{};
    int k = 0;
    for (const char *s : list)
        out[std::size_t(k++)] = platform::cp932::encode(QString::fromUtf8(s));
    return out;
}

const std::vector<std::optional<const char *>> AllSix{"p0", "p1", "p2", "p3", "p4", "p5"};

} // namespace

TEST(AddInHandOffTest, EditorReadBackClamps)
{
    struct Case {
        const char *name;
        Left left;
        std::optional<AddInBlocks> expected;
    };
    const Case cases[] = {
        {"count above five", {1, 7, AllSix}, AddInBlocks{5, strings({"p0", "p1", "p2", "p3", "p4", "p5"})}},
        {"para2 missing",
         {1, 3, {"p0", "p1", std::nullopt, "p3", "p4", "p5"}},
         AddInBlocks{1, strings({"p0", "p1"})}},
        {"count zero", {1, 0, AllSix}, std::nullopt},
        {"count missing", {1, {}, AllSix}, std::nullopt},
        {"count negative", {1, -2, AllSix}, std::nullopt},
        {"para0 missing", {1, 2, {std::nullopt, "p1", "p2"}}, std::nullopt},
        // A program that answers Para0 alone (Olvide) is taken with an empty Para1.
        {"para1 missing", {1, 1, {"日付", std::nullopt, "stale2"}}, AddInBlocks{1, strings({"日付", ""})}},
        {"result false", {0, 1, AllSix}, std::nullopt},
        {"result missing", {{}, 1, AllSix}, std::nullopt},
        {"result any non-zero", {7, 2, AllSix}, AddInBlocks{2, strings({"p0", "p1", "p2"})}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        leave(c.left);
        EXPECT_EQ(EditorAnswer(ReadAddInAnswer()), c.expected);
    }
}

TEST(AddInHandOffTest, AddJobReadBackClamps)
{
    struct Case {
        const char *name;
        Left left;
        bool taken;
        AddInBlocks expected;
    };
    // What AddGyDat held before; entries above the count that were not visited keep their contents.
    const AddInBlocks before{3, strings({"o0", "o1", "o2", "o3", "o4", "o5"})};
    const Case cases[] = {
        {"count missing", {1, {}, AllSix}, true, {1, strings({"p0", "p1", "o2", "o3", "o4", "o5"})}},
        {"para0 missing", {1, 1, {std::nullopt, "p1"}}, true, {1, strings({"", "", "o2", "o3", "o4", "o5"})}},
        {"para1 missing", {1, 1, {"p0"}}, true, {1, strings({"p0", "", "o2", "o3", "o4", "o5"})}},
        {"count zero", {1, 0, AllSix}, true, {1, strings({"p0", "p1", "o2", "o3", "o4", "o5"})}},
        {"count nine", {1, 9, AllSix}, true, {5, strings({"p0", "p1", "p2", "p3", "p4", "p5"})}},
        {"para3 missing",
         {1, 4, {"p0", "p1", "p2", std::nullopt, "p4"}},
         true,
         {2, strings({"p0", "p1", "p2", "", "o4", "o5"})}},
        {"result false", {0, 2, AllSix}, false, before},
        {"result missing", {{}, 2, AllSix}, false, before},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        leave(c.left);
        AddInBlocks target = before;
        EXPECT_EQ(AddJobAnswer(ReadAddInAnswer(), target), c.taken);
        EXPECT_EQ(target, c.expected);
    }
}

TEST(AddInHandOffTest, WriteFillsTheKeyAndRemovesStaleStrings)
{
    struct Case {
        int count;
        int written; // Para values present afterwards
    };
    for (const Case &c : {Case{0, 0}, Case{1, 2}, Case{2, 3}, Case{5, 6}, Case{9, 6}}) {
        SCOPED_TRACE(c.count);
        leave({1, 5, AllSix});
        ASSERT_TRUE(
            WriteAddInHandOff(QStringLiteral("入荷検品"), c.count, strings({"a", "b", "c", "d", "e", "f"})));
        platform::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(AddInHandOffKey, false));
        EXPECT_EQ(reg.ReadString(QStringLiteral("GyName")), QStringLiteral("入荷検品"));
        EXPECT_EQ(reg.ReadInteger(QStringLiteral("BhtType")), 800);
        EXPECT_EQ(reg.ReadInteger(QStringLiteral("SetCount")), std::min(c.count, 5));
        EXPECT_EQ(reg.ReadBool(QStringLiteral("Result")), false);
        for (int k = 0; k < 6; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(reg.ValueExists(QStringLiteral("Para%1").arg(k)), k < c.written);
            if (k < c.written) {
                EXPECT_EQ(reg.ReadString(QStringLiteral("Para%1").arg(k)), QString(QChar(u'a' + k)));
            }
        }
    }
}

TEST(AddInHandOffTest, ParametersKeepTheirBytesThroughTheStore)
{
    // Shift-JIS bytes the job holds, with double-byte and half-width characters.
    const QByteArray para = platform::cp932::encode(QStringLiteral("日付ｶﾅ\\~①  "));
    AddInStrings data{};
    data[0] = para;
    ASSERT_TRUE(WriteAddInHandOff(QStringLiteral("x"), 1, data));
    {
        platform::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(AddInHandOffKey, true));
        ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), true));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), 1));
    }
    const auto blocks = EditorAnswer(ReadAddInAnswer());
    ASSERT_TRUE(blocks);
    EXPECT_EQ(blocks->AddInData[0], para);
}

TEST(AddInHandOffTest, AStoreThatCannotBeWrittenStartsNothing)
{
    leave({1, 1, {"stale"}});
    const QString store = platform::registry::storePath();
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner));
    QString error;
    EXPECT_FALSE(WriteAddInHandOff(QStringLiteral("x"), 1, strings({"new", "new"}), &error));
    EXPECT_FALSE(error.isEmpty());
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // The add-job variant with a listed program then returns 0 and leaves AddGyDat alone.
    const QString folder = jobstest::folderWithSettingsProgram("TEST.PD4    prog                \r\n",
                                                               QStringLiteral("prog"), "exit 0\n");
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner));
    AddInBlocks target{1, strings({"mine", ""})};
    EXPECT_EQ(AddInSetPrg(folder, QStringLiteral("TEST.PD4"), QStringLiteral("x"), target), 0);
    EXPECT_EQ(target, (AddInBlocks{1, strings({"mine", ""})}));
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(AddInHandOffTest, AddJobVariantRunsTheProgramAndReportsMissingOnes)
{
    testsupport::RecordingUi ui;
    // A settings program that confirms: it writes its answer through the same store.
    const QString folder = jobstest::folderWithSettingsProgram(
        "TEST.PD4    answer              \r\nGONE.PD4    missing             \r\n", QStringLiteral("answer"),
        "exit 0\n");

    AddInBlocks target{2, strings({"a", "b", "c"})};
    EXPECT_EQ(AddInSetPrg(folder, QStringLiteral("NONE.PD4"), QStringLiteral("x"), target), 2);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_EQ(AddInSetPrg(folder, QStringLiteral("GONE.PD4"), QStringLiteral("x"), target), 2);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("設定プログラムを実行できません。"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, platform::MsgIcon::Stop);
    // The program ended without confirming: Result stays false, nothing is taken.
    EXPECT_EQ(AddInSetPrg(folder, QStringLiteral("TEST.PD4"), QStringLiteral("x"), target), 0);
    EXPECT_EQ(target, (AddInBlocks{2, strings({"a", "b", "c"})}));
}

TEST(AddInHandOffTest, ProgramNameCheck)
{
    struct Case {
        const char *name;
        AddInNameCheck expected;
    };
    for (const Case &c :
         {Case{"", AddInNameCheck::Empty}, Case{"X.PD4", AddInNameCheck::Ok},
          Case{"a.pd", AddInNameCheck::Malformed}, Case{"abc.pd4", AddInNameCheck::Ok},
          Case{".PD4", AddInNameCheck::Malformed}, Case{"ABC.PD3", AddInNameCheck::Malformed}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckAddInName(QString::fromUtf8(c.name)), c.expected);
    }
    EXPECT_EQ(UpperAddInName(QStringLiteral("abc.pd4")), QStringLiteral("ABC.PD4"));
}
