#include "jobs/JobListOps.h"

#include "jobs/LetterCodes.h"

#include <gtest/gtest.h>
#include <memory>

using namespace jobs;

namespace {

std::string names(const TSetData &set)
{
    std::string all;
    for (int i = 0; i < set.GyCount; ++i)
        all += (i ? "," : "") + set.GyData[i].GyName.toStdString();
    return all;
}

std::string names(const TGyData &job, bool group)
{
    std::string all;
    const auto &items = group ? job.GrKoDa : job.DaKoDa;
    for (int i = 0; i < (group ? job.GrCount : job.DaCount); ++i)
        all += (i ? "," : "") + items[i].KName.toStdString();
    return all;
}

std::unique_ptr<TSetData> setOf(int jobs)
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    set->GyCount = 0;
    for (int i = 0; i < jobs; ++i) {
        TAddGyDat add = set->AddGyDat;
        add.GyName = QString::number(i);
        EXPECT_TRUE(AddJob(*set, add));
    }
    return set;
}

TGyData jobWith(int groups, int data)
{
    TGyData job;
    for (int i = 0; i < groups; ++i)
        EXPECT_TRUE(AddItem(job, {true, QStringLiteral("g%1").arg(i), 0}));
    for (int i = 0; i < data; ++i)
        EXPECT_TRUE(AddItem(job, {false, QStringLiteral("d%1").arg(i), 0}));
    return job;
}

TEST(JobListOps, MoveInsertAndDelete)
{
    const struct {
        const char *what;
        int from;
        int to;
        bool moved;
        const char *expected;
    } moves[] = {
        {"up", 3, 1, true, "0,3,1,2,4"},         {"down", 1, 3, true, "0,2,3,1,4"},
        {"to the end", 0, 4, true, "1,2,3,4,0"}, {"on itself", 2, 2, false, "0,1,2,3,4"},
        {"beyond", 2, 5, false, "0,1,2,3,4"},    {"from nowhere", -1, 2, false, "0,1,2,3,4"},
    };
    for (const auto &m : moves) {
        SCOPED_TRACE(m.what);
        auto set = setOf(5);
        EXPECT_EQ(moveEntry(set->GyData, set->GyCount, m.from, m.to), m.moved);
        EXPECT_EQ(names(*set), m.expected);
    }
    auto set = setOf(3);
    EXPECT_TRUE(insertEntry(set->GyData, set->GyCount, 1, set->GyData[2]));
    EXPECT_EQ(names(*set), "0,2,1,2");
    EXPECT_TRUE(deleteEntry(set->GyData, set->GyCount, 0));
    EXPECT_EQ(names(*set), "2,1,2");
    EXPECT_TRUE(set->GyData[3].GyName.isEmpty());
    EXPECT_FALSE(deleteEntry(set->GyData, set->GyCount, 3));
}

TEST(JobListOps, TheStackKeepsTheNewestTwenty)
{
    EntryStack<int> stack;
    EXPECT_EQ(stack.top(), -1);
    for (int i = 1; i <= 21; ++i)
        stack.push(i);
    EXPECT_EQ(stack.top(), 19);
    for (int i = 21; i >= 2; --i)
        EXPECT_EQ(stack.pop(), i);
    EXPECT_EQ(stack.pop(), std::nullopt);
}

TEST(JobListOps, AddingStopsAtTheLimits)
{
    auto set = setOf(20);
    EXPECT_EQ(set->TmpGyNo, 19);
    TAddGyDat add = set->AddGyDat;
    EXPECT_FALSE(AddJob(*set, add));
    EXPECT_EQ(set->GyCount, 20);
    add.GyName.clear();
    auto one = setOf(1);
    EXPECT_FALSE(AddJob(*one, add));

    TGyData job = jobWith(10, 10);
    EXPECT_FALSE(AddItem(job, {true, QStringLiteral("x"), 0}));
    EXPECT_FALSE(AddItem(job, {false, QStringLiteral("x"), 0}));
    TGyData fresh = jobWith(0, 1);
    ASSERT_TRUE(AddItem(fresh, {false, QStringLiteral("日付"), 6}));
    EXPECT_FALSE(fresh.TmpGrFlg);
    EXPECT_EQ(fresh.TmpDaNo, 1);
    EXPECT_EQ(DataTypeLetter(fresh.DaKoDa[1].KDType), QChar(u'W'));
    EXPECT_EQ(fresh.DaKoDa[1].KDLen, 10);
    ASSERT_TRUE(AddItem(fresh, {true, QStringLiteral("g"), 0}));
    EXPECT_TRUE(fresh.TmpGrFlg);
    EXPECT_EQ(fresh.TmpGrNo, 0);
}

TEST(JobListOps, DeletingLeavesTheRightCurrentEntry)
{
    auto set = setOf(3);
    EXPECT_TRUE(DeleteJob(*set, 2));
    EXPECT_EQ(set->TmpGyNo, 1); // the last one went: the new last is current
    EXPECT_TRUE(DeleteJob(*set, 0));
    EXPECT_EQ(names(*set), "1");
    EXPECT_FALSE(DeleteJob(*set, 0));

    TGyData job = jobWith(1, 2);
    job.TmpDaNo = 1;
    EXPECT_TRUE(DeleteGroupItem(job, 0));
    EXPECT_EQ(job.GrCount, 0);
    EXPECT_EQ(job.TmpGrNo, -1);
    EXPECT_FALSE(job.TmpGrFlg);
    EXPECT_EQ(currentItem(job), &job.DaKoDa[1]);
    EXPECT_FALSE(DeleteGroupItem(job, 0));
    EXPECT_TRUE(DeleteDataItem(job, 1));
    EXPECT_EQ(job.TmpDaNo, 0);
    EXPECT_FALSE(DeleteDataItem(job, 0));

    TGyData three = jobWith(3, 1);
    EXPECT_TRUE(DeleteGroupItem(three, 1));
    EXPECT_EQ(names(three, true), "g0,g2");
    EXPECT_EQ(three.TmpGrNo, 1);
    EXPECT_TRUE(three.TmpGrFlg);
}

TEST(JobListOps, DropsMoveTheCurrentEntry)
{
    auto set = setOf(4);
    set->TmpGyNo = 1;
    EXPECT_TRUE(DropJob(*set, 15)); // below the last row: to the end
    EXPECT_EQ(names(*set), "0,2,3,1");
    EXPECT_EQ(set->TmpGyNo, 3);
    EXPECT_FALSE(DropJob(*set, 3));

    TGyData job = jobWith(0, 3);
    job.TmpDaNo = 2;
    EXPECT_TRUE(DropItem(job, false, 0));
    EXPECT_EQ(names(job, false), "d2,d0,d1");
    EXPECT_EQ(job.TmpDaNo, 0);
}

// A moved job shows its data item; the jobs it passed keep the item they showed. A moved item
// becomes its job's current item.
TEST(JobListOps, ADropLeavesTheMovedEntryCurrent)
{
    const struct {
        int from;
        int row;
        const char *order;
    } jobCases[] = {{1, 3, "0,2,3,1"}, {3, 0, "3,0,1,2"}, {0, 9, "1,2,3,0"}};
    for (const auto &c : jobCases) {
        SCOPED_TRACE(c.order);
        auto set = setOf(4);
        for (int i = 0; i < 4; ++i)
            set->GyData[i].TmpGrFlg = true;
        set->TmpGyNo = c.from;
        ASSERT_TRUE(DropJob(*set, c.row));
        EXPECT_EQ(names(*set), c.order);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(set->GyData[i].TmpGrFlg, i != set->TmpGyNo) << i;
    }

    const struct {
        bool group;
        bool wasGroup;
    } itemCases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
    for (const auto &c : itemCases) {
        SCOPED_TRACE(c.group);
        TGyData job = jobWith(3, 3);
        job.TmpGrFlg = c.wasGroup;
        (c.group ? job.TmpGrNo : job.TmpDaNo) = 0;
        ASSERT_TRUE(DropItem(job, c.group, 2));
        EXPECT_EQ(job.TmpGrFlg, c.group);
        EXPECT_EQ(currentItem(job), c.group ? &job.GrKoDa[2] : &job.DaKoDa[2]);
    }
}

TEST(JobListOps, InsertAndOverwriteFromTheStack)
{
    auto set = setOf(1);
    EntryStack<TGyData> stack;
    for (int i = 0; i < 21; ++i) {
        TGyData copied = set->GyData[0];
        copied.GyName = QStringLiteral("c%1").arg(i);
        stack.push(copied);
    }
    // Each insert goes before the current job and becomes current: newest first, up to 20 jobs.
    set->TmpGyNo = 0;
    for (int i = 0; i < 19; ++i)
        EXPECT_TRUE(InsertFromStack(*set, stack));
    EXPECT_EQ(set->GyCount, 20);
    EXPECT_EQ(set->GyData[0].GyName.toStdString(), "c2");
    EXPECT_EQ(set->GyData[18].GyName.toStdString(), "c20");
    EXPECT_EQ(set->GyData[19].GyName.toStdString(), "0");
    EXPECT_FALSE(InsertFromStack(*set, stack));
    EXPECT_EQ(stack.size(), 1); // a full list keeps the stack

    set->TmpGyNo = 5;
    EXPECT_TRUE(OverwriteFromStack(*set, stack));
    EXPECT_EQ(set->GyData[5].GyName.toStdString(), "c1");
    EXPECT_FALSE(OverwriteFromStack(*set, stack));
    EXPECT_EQ(set->GyCount, 20);

    // Items: one stack for both lists, into a job without group items.
    TGyData job = jobWith(0, 2);
    EntryStack<TKoData> items;
    items.push(job.DaKoDa[1]);
    EXPECT_TRUE(InsertFromStack(job, true, items));
    EXPECT_EQ(names(job, true), "d1");
    EXPECT_TRUE(job.TmpGrFlg);
    EXPECT_EQ(job.TmpGrNo, 0);
    items.push(job.GrKoDa[0]);
    job.TmpDaNo = 0;
    EXPECT_TRUE(OverwriteFromStack(job, false, items));
    EXPECT_EQ(names(job, false), "d1,d1");
    EXPECT_FALSE(job.TmpGrFlg);
}

TEST(JobListOps, PopupEnabling)
{
    auto set = setOf(1);
    TGyData &job = set->GyData[0];
    const struct {
        const char *what;
        EditList list;
        int jobs;
        int groups;
        int data;
        bool stackEmpty;
        PopupStates expected;
    } cases[] = {
        {"one job", EditList::Jobs, 1, 0, 1, false, {true, false, false, true, true, false}},
        {"two jobs, empty stack", EditList::Jobs, 2, 0, 1, true, {true, true, true, true, false, false}},
        {"no group items", EditList::Groups, 1, 0, 1, false, {true, false, false, false, true, false}},
        {"a group item", EditList::Groups, 1, 1, 1, false, {true, true, true, true, true, true}},
        {"one data item", EditList::Data, 1, 0, 1, false, {true, false, false, true, true, true}},
        {"two data items", EditList::Data, 1, 0, 2, true, {true, true, true, true, false, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        set->GyCount = c.jobs;
        job.GrCount = c.groups;
        job.DaCount = c.data;
        EXPECT_EQ(DspPopup(c.list, *set, c.stackEmpty, c.stackEmpty), c.expected);
    }
    EXPECT_EQ(GetItemSelect(3, 0), 3);
    EXPECT_EQ(GetItemSelect(3, 239), 17);
    EXPECT_EQ(GetItemSelect(3, 240), 3);
    EXPECT_EQ(GetItemSelect(3, -1), 3);
}

TEST(JobListOps, AddJobChecks)
{
    const auto mode = [](char letter) { return GyModeIndex(QLatin1Char(letter)); };
    const struct {
        const char *what;
        AddGyFields fields;
        std::optional<AddGyFault> expected;
    } cases[] = {
        {"no name", {"", mode('A'), "", ""}, AddGyFault{"業務名を入力してください", "GNameSE"}},
        {"R without a receive name", {"受信", mode('R'), "", ""}, std::nullopt},
        {"r without a receive name",
         {"受信", mode('r'), "", ""},
         AddGyFault{"受信ファイル名を入力してください", "RNameSE"}},
        {"X without a program",
         {"ｱﾄﾞｲﾝ", mode('X'), "", ""},
         AddGyFault{"プログラム名を入力してください", "PNameSE"}},
        {"X with a short name",
         {"ｱﾄﾞｲﾝ", mode('X'), "a.pd", ""},
         AddGyFault{"プログラム名を再入力してください。", "PNameSE"}},
        {"X lower case", {"ｱﾄﾞｲﾝ", mode('X'), "abc.pd4", ""}, std::nullopt},
        {"X five bytes", {"ｱﾄﾞｲﾝ", mode('X'), "X.PD4", ""}, std::nullopt},
        {"A ignores the program", {"収集", mode('A'), "a", ""}, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AddGyCheck(c.fields), c.expected);
    }
}

} // namespace
