#include "MasterTestSupport.h"

#include "common/RegistryKeys.h"
#include "masters/MasterEditRules.h"
#include "platform/Registry.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace masters;
using namespace masterstest;

namespace {

TEST(MasterEditRules, ProposesTheMasterNameUpperCasedWhenTheTerminalCanTakeIt)
{
    struct Case {
        const char16_t *path;
        const char16_t *proposed;
    };
    const Case cases[] = {
        {u"/home/op/master.dat", u"MASTER.DAT"},
        {u"/m/abcdefgh.txt", u"ABCDEFGH.TXT"}, // 12 bytes
        {u"/m/abcdefghi.txt", u""},            // 13 bytes
        {u"/m/a_b[1]^`.x", u"A_B[1]^`.X"},     // the six characters between Z and a
        {u"/m/商品.dat", u""},
        {u"/m/my file.dat", u""},
        {u"/m/a-b.dat", u""},
        {u"", u""},
    };
    for (const Case &c : cases) {
        const QString path = QString::fromUtf16(c.path);
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(proposedBhtName(path), QString::fromUtf16(c.proposed));
    }
}

TEST(MasterEditRules, RefusesProgramWidthAndDatabaseFilesInAnyCase)
{
    for (const char *name : {"a.fn3", "a.FN4", "a.Pd3", "a.pd4", "a.FLD", "a.xls", "a.MDB", "a.exe", "a.dll"})
        EXPECT_TRUE(isRefusedMasterName(QString::fromLatin1(name))) << name;
    for (const char *name : {"a.dat", "a.xlsx", "a", "a.fld.dat", "fld"})
        EXPECT_FALSE(isRefusedMasterName(QString::fromLatin1(name))) << name;
    EXPECT_EQ(openRefusalText(QStringLiteral("/x/A.EXE")),
              QStringLiteral("A.EXE\r\nのファイルは指定できません。"));
    EXPECT_EQ(saveRefusalText(QStringLiteral("/x/A.EXE")),
              QStringLiteral("A.EXE\r\nのファイル名は指定できません。"));
}

TEST(MasterEditRules, ButtonsFollowWhetherAFileIsOpen)
{
    const MasterButtonStates closed = EnableBtn(false);
    EXPECT_TRUE(closed.NewBtn && closed.OpenBtn && closed.ImportBtn && closed.EndBtn);
    EXPECT_FALSE(closed.SaveBtn || closed.SendBtn || closed.BackPaeBtn || closed.BackBtn || closed.NextBtn ||
                 closed.NextPageBtn || closed.InsBtn || closed.DelBtn || closed.CloseBtn);
    const MasterButtonStates open = EnableBtn(true);
    EXPECT_FALSE(open.NewBtn || open.OpenBtn);
    EXPECT_TRUE(open.ImportBtn && open.EndBtn && open.SaveBtn && open.SendBtn && open.BackPaeBtn &&
                open.BackBtn && open.NextBtn && open.NextPageBtn && open.InsBtn && open.DelBtn &&
                open.CloseBtn);
}

TEST(MasterEditRules, ColumnTitlesAndMessagesNameTheColumn)
{
    EXPECT_EQ(columnTitle(1, 10), QStringLiteral("検索キー(10桁)"));
    EXPECT_EQ(columnTitle(4, 8), QStringLiteral("参照データ３(8桁)"));
    EXPECT_EQ(columnPixels(10), 96);
    EXPECT_EQ(columnPixels(40), 246);
    EXPECT_EQ(entryRowMessage(21, 1), QStringLiteral("No21の参照キーを入力してください。"));
    EXPECT_EQ(entryRowMessage(3, 6), QStringLiteral("No3の参照データ５を入力してください。"));
    EXPECT_EQ(deleteQuestion(7), QStringLiteral("ﾚｺｰﾄﾞNo7を削除してもいいですか？"));
    EXPECT_EQ(fileCaption(QStringLiteral("/m/商品.dat")), QStringLiteral("マスターファイル（商品.dat）編集"));
    EXPECT_EQ(fieldList({10, 20, 5, 8}), QStringLiteral("10,20,5,8"));
}

TEST(MasterEditRules, LocationsGetATrailingSeparatorOnlyWhenNotEmpty)
{
    platform::TRegistry registry;
    EXPECT_EQ(readMasterLocation(registry).MasterFolder, QString());
    ASSERT_TRUE(registry.OpenKey(ManagerSettingsKey, true));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("MasterFolder"), QStringLiteral("/m")));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("DataSourceFolder"), QString()));
    registry.CloseKey();
    MasterLocation location = readMasterLocation(registry);
    EXPECT_EQ(location.MasterFolder, QStringLiteral("/m/"));
    EXPECT_EQ(location.DataSourceFolder, QString());

    location.MasterFile = QStringLiteral("/m/a.dat");
    location.DataSourceFile = QStringLiteral("/s/b.xls");
    location.DataSourceFolder = QStringLiteral("/s/");
    ASSERT_TRUE(writeMasterLocation(registry, location));
    const MasterLocation back = readMasterLocation(registry);
    EXPECT_EQ(back.MasterFolder, location.MasterFolder);
    EXPECT_EQ(back.MasterFile, location.MasterFile);
    EXPECT_EQ(back.DataSourceFolder, location.DataSourceFolder);
    EXPECT_EQ(back.DataSourceFile, location.DataSourceFile);
}

TEST(MasterEditRules, SameFileSeesThroughLinks)
{
    ASSERT_TRUE(writeFile(casePath("a.dat"), "x"));
    ASSERT_TRUE(QFile::link(casePath("a.dat"), casePath("b.dat")));
    EXPECT_TRUE(sameFile(casePath("a.dat"), casePath("b.dat")));
    EXPECT_FALSE(sameFile(casePath("a.dat"), casePath("c.dat")));
}

} // namespace
