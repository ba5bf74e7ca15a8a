#include "common/RegistryKeys.h"
#include "jobs/SetGyoumuRules.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

using jobs::EditorPage;
using jobs::ToolButtonStates;

namespace {

TEST(SetGyoumuRules, ToolButtonsFollowTheStatePageAndMode)
{
    const auto buttons = [](bool save, bool sData, bool close, bool gy, bool gr, bool da) {
        ToolButtonStates s;
        s.SaveTBtn = save;
        s.SDataTBtn = sData;
        s.SGDatTBtn = save;
        s.CloseTBtn = close;
        s.GyNewBtn = s.GyDelBtn = gy;
        s.GrNewBtn = s.GrDelBtn = gr;
        s.DaNewBtn = s.DaDelBtn = da;
        return s;
    };
    const struct {
        const char *what;
        bool open;
        EditorPage page;
        char mode;
        ToolButtonStates expected;
    } cases[] = {
        {"closed: only receive", false, EditorPage::Job, 'A',
         buttons(false, false, false, false, false, false)},
        {"base page", true, EditorPage::Base, 'A', buttons(true, false, true, false, false, false)},
        {"mode A", true, EditorPage::Job, 'A', buttons(true, true, true, true, true, true)},
        {"mode B: two fixed data items", true, EditorPage::Job, 'B',
         buttons(true, true, true, true, true, false)},
        {"mode J: data items only", true, EditorPage::Job, 'J',
         buttons(true, false, true, true, false, true)},
        {"mode X", true, EditorPage::Job, 'X', buttons(true, false, true, true, false, false)},
        {"mode R", true, EditorPage::Job, 'R', buttons(true, false, true, true, false, false)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const ToolButtonStates s = jobs::toolButtonStates(c.open, c.page, QLatin1Char(c.mode));
        EXPECT_TRUE(s.RGDatTBtn);
        EXPECT_EQ(s.SaveTBtn, c.expected.SaveTBtn);
        EXPECT_EQ(s.SGDatTBtn, c.expected.SGDatTBtn);
        EXPECT_EQ(s.SDataTBtn, c.expected.SDataTBtn);
        EXPECT_EQ(s.CloseTBtn, c.expected.CloseTBtn);
        EXPECT_EQ(s.GyNewBtn, c.expected.GyNewBtn);
        EXPECT_EQ(s.GrNewBtn, c.expected.GrNewBtn);
        EXPECT_EQ(s.DaNewBtn, c.expected.DaNewBtn);
        EXPECT_EQ(s, c.expected);
    }
}

TEST(SetGyoumuRules, SaveNamesEndInBnf)
{
    const struct {
        const char *chosen;
        const char *saved;
    } cases[] = {
        {"/d/abc", "/d/abc.bnf"},     {"/d/ABC.BnF", "/d/ABC.BnF"}, {"/d/abc.bnf", "/d/abc.bnf"},
        {"/d/abc.txt", "/d/abc.bnf"}, {"/d/a.b.txt", "/d/a.b.bnf"}, {"/d.x/abc", "/d.x/abc.bnf"},
        {"/d/abc.", "/d/abc.bnf"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(jobs::bnfSaveName(QString::fromUtf8(c.chosen)).toStdString(), c.saved);
    }
    EXPECT_TRUE(jobs::isBnfName(QStringLiteral("/x/set.bnf")));
    EXPECT_TRUE(jobs::isBnfName(QStringLiteral("/x/SET.BNF")));
    EXPECT_FALSE(jobs::isBnfName(QStringLiteral("/x/set.txt")));
    EXPECT_FALSE(jobs::isBnfName(QStringLiteral("/x.bnf/set")));
    EXPECT_EQ(jobs::setCaption(QStringLiteral("/x/棚卸.BNF")).toStdString(), "業務設定(棚卸.BNF)");
}

TEST(SetGyoumuRules, TheLastSetIsRememberedWithASeparatedFolder)
{
    {
        platform::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(ManagerSettingsKey, true));
        ASSERT_TRUE(registry.WriteString(QStringLiteral("BnfFolder"), QStringLiteral("/sets")));
        registry.CloseKey();
    }
    platform::TRegistry registry;
    jobs::BnfLocation read = jobs::readBnfLocation(registry);
    EXPECT_EQ(read.BnfFolder.toStdString(), "/sets/");
    EXPECT_TRUE(read.BnfFile.isEmpty());
    ASSERT_TRUE(jobs::writeBnfLocation(registry, {QStringLiteral("/b/"), QStringLiteral("/b/x.bnf")}));
    read = jobs::readBnfLocation(registry);
    EXPECT_EQ(read.BnfFolder.toStdString(), "/b/");
    EXPECT_EQ(read.BnfFile.toStdString(), "/b/x.bnf");
}

TEST(SetGyoumuRules, AReceivedNameIsUsedOnlyAsAPlainFileName)
{
    EXPECT_EQ(jobs::receivedFilePath("/tmp/r", "CNF800.BNF").value_or("-").toStdString(),
              "/tmp/r/CNF800.BNF");
    EXPECT_EQ(jobs::receivedFilePath("/tmp/r/", "CNF800.BNF").value_or("-").toStdString(),
              "/tmp/r/CNF800.BNF");
    for (const char *name : {"", ".", "..", "../CNF800.BNF", "A/B", "A\\B", "A\nB"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(jobs::receivedFilePath("/tmp/r", QString::fromUtf8(name)).has_value());
    }
}

} // namespace
