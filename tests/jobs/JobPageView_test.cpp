#include "jobs/JobPageView.h"

#include "jobs/CheckBnfDat.h"
#include "jobs/LetterCodes.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

int typeIndex(char letter)
{
    return DataTypeIndex(QLatin1Char(letter));
}

std::unique_ptr<TSetData> newSet(char mode = 'A')
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    set->GyData[0].GyMode = GyModeIndex(QLatin1Char(mode));
    return set;
}

// A data item of the first job, shown as the current one.
TKoData &currentItem(TSetData &set, int index = 0)
{
    TGyData &job = set.GyData[0];
    job.DaCount = std::max(job.DaCount, index + 1);
    job.TmpGrFlg = false;
    job.TmpDaNo = index;
    return job.DaKoDa[index];
}

TEST(JobPageView, TypeRulesNormaliseLengthsAndLimits)
{
    const struct {
        const char *name;
        char type;
        int size;
        int len;
        const char *max;
        const char *min;
        int expectedLen;
        const char *expectedMax;
        const char *expectedMin;
        bool lenEnabled;
    } cases[] = {
        {"string_cut_at_its_point", 'A', 0, 20, "+12.5", "1", 20, "12", "1", true},
        {"string_longer_than_3500", 'A', 0, 4000, "9", "0", 3500, "9", "0", true},
        {"string_max_above_length", 'A', 0, 5, "30", "1", 5, "5", "1", true},
        {"string_max_no_number", 'A', 0, 7, "x", "", 7, "7", "", true},
        {"zero_filled_keeps_two_bytes", 'B', 0, 50, "-123", "9", 50, "23", "9", true},
        {"zero_filled_last_bytes_first", 'B', 0, 50, "5.25", "1.5", 50, "25", "", true},
        {"date_W", 'W', 0, 20, "-3", "+1", 10, "3", "1", false},
        {"date_X", 'X', 0, 20, "", "", 8, "", "", false},
        {"time_Z", 'Z', 0, 20, "", "", 5, "", "", false},
        {"unsigned_double_width", 'a', 1, 10, "99", "12345678901", 8, "99", "45678901", true},
        {"amount_double_width", 'c', 1, 10, "-5.5", "0", 7, "5", "0", true},
        {"unsigned_standard", 'a', 0, 10, "100", "0", 10, "100", "0", true},
        {"signed_real_gets_a_sign", 'b', 0, 12, "15", "-007", 12, "+15", "-7", true},
        {"signed_real_double_width", 'b', 1, 12, "+0", "-0", 8, "+0", "-0", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto set = newSet();
        TKoData &item = currentItem(*set);
        item.KDType = typeIndex(c.type);
        item.KDSize = c.size;
        item.KDLen = c.len;
        item.KDMax = QString::fromUtf8(c.max);
        item.KDMin = QString::fromUtf8(c.min);
        const JobPageView view = DspGyData(*set);
        EXPECT_EQ(item.KDLen, c.expectedLen);
        EXPECT_EQ(item.KDMax.toStdString(), c.expectedMax);
        EXPECT_EQ(item.KDMin.toStdString(), c.expectedMin);
        EXPECT_EQ(view.Item.KDLenText.toStdString(), std::to_string(c.expectedLen));
        EXPECT_EQ(view.Item.KDLenEnabled, c.lenEnabled);
        EXPECT_EQ(view.Item.LimitsVisible, c.lenEnabled);
    }
}

TEST(JobPageView, ChangingTheTypeToADateAndBackKeepsTheDatesLength)
{
    auto set = newSet();
    TKoData &item = currentItem(*set);
    item.KDType = typeIndex('A');
    item.KDLen = 20;
    ItemView view;
    item.KDType = typeIndex('X');
    ChangeType(item, false, set->GyData[0], false, 0, view);
    EXPECT_EQ(item.KDLen, 8);
    EXPECT_FALSE(view.KDLenEnabled);
    item.KDType = typeIndex('A');
    ChangeType(item, false, set->GyData[0], false, 0, view);
    EXPECT_EQ(item.KDLen, 8);
    EXPECT_TRUE(view.KDLenEnabled);
}

TEST(JobPageView, DefaultKindsFollowTheType)
{
    const struct {
        const char *name;
        char type;
        char defType;
        int expectedIndex;
        char expectedDefType;
        int items;
        bool textEdit;
        bool numberEdit;
    } cases[] = {
        {"date_shows_the_system_date", 'W', '3', 3, '3', 4, false, false},
        {"time_shows_the_system_time", 'Z', '3', 3, '3', 4, false, false},
        {"string_falls_back_from_system", 'A', '3', 0, '0', 3, false, false},
        {"number_falls_back_from_system", 'a', '3', 0, '0', 3, false, false},
        {"set_value_of_a_string", 'A', '1', 1, '1', 3, true, false},
        {"set_value_of_a_number", 'b', '1', 1, '1', 3, false, true},
        {"previous_input", 'C', '2', 2, '2', 3, false, false},
        {"unknown_kind", 'X', 'q', 0, '0', 4, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto set = newSet();
        TKoData &item = currentItem(*set);
        item.KDType = typeIndex(c.type);
        item.KDefType = QLatin1Char(c.defType);
        const JobPageView view = DspGyData(*set);
        EXPECT_EQ(view.Item.DefaultCB, c.expectedIndex);
        EXPECT_EQ(item.KDefType, QLatin1Char(c.expectedDefType));
        EXPECT_EQ(view.Item.DefaultItems.size(), c.items);
        EXPECT_EQ(view.Item.DefaultDatSEVisible, c.textEdit);
        EXPECT_EQ(view.Item.DefaultDatNEVisible, c.numberEdit);
    }
}

TEST(JobPageView, TheDefaultEditsLengthFollowsTheTypeAndIsNeverZero)
{
    // A string's default has the room of its length (at most 64 bytes); the zero-filled and
    // suppressed numbers' the room of their maximum.
    const struct {
        const char *name;
        char type;
        int len;
        const char *max;
        int length;
        int kept; // of a 100-byte default
    } cases[] = {
        {"string_by_its_length", 'A', 10, "5", 10, 10},      {"string_within_64", 'A', 100, "10", 64, 64},
        {"string_of_length_one", 'A', 1, "1", 1, 1},         {"string_length_zero", 'A', 0, "0", 1, 1},
        {"zero_filled_by_its_maximum", 'B', 20, "7", 7, 20}, {"suppressed_maximum_zero", 'C', 20, "0", 1, 20},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto set = newSet();
        TKoData &item = currentItem(*set);
        item.KDType = typeIndex(c.type);
        item.KDLen = c.len;
        item.KDMax = QString::fromLatin1(c.max);
        item.KDefType = u'1';
        item.KDefDat = QString(100, QLatin1Char('1'));
        const JobPageView view = DspGyData(*set);
        EXPECT_EQ(view.Item.DefaultDatSEMaxLength, c.length);
        EXPECT_EQ(item.KDefDat.size(), c.kept);
    }
}

TEST(JobPageView, AWideDefaultIsCutAtAWholeCharacter)
{
    // A length that ends inside a double-byte character keeps the characters before it; a lone
    // byte would reach the terminal file as a broken character.
    const struct {
        int len;
        const char *kept;
    } cases[] = {{3, "あ"}, {4, "あい"}, {1, ""}, {6, "あいｳ"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.len);
        auto set = newSet();
        TKoData &item = currentItem(*set);
        item.KDType = typeIndex('A');
        item.KDLen = c.len;
        item.KDMax = QStringLiteral("1");
        item.KDefDat = QStringLiteral("あいｳえ");
        DspGyData(*set);
        EXPECT_EQ(item.KDefDat.toStdString(), c.kept);
    }
}

// Showing a string item keeps a default longer than its maximum, so the check before a save
// still finds it; one longer than the length is cut to the length and passes.
TEST(JobPageView, AShownStringsDefaultLongerThanItsMaximumIsStillRefused)
{
    const struct {
        int len;
        const char *max;
        bool refused;
    } cases[] = {{20, "5", true}, {20, "20", false}, {5, "5", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.len);
        auto set = newSet();
        TKoData &item = currentItem(*set);
        item.KDType = typeIndex('A');
        item.KDLen = c.len;
        item.KDMax = QString::fromLatin1(c.max);
        item.KDMin = QStringLiteral("1");
        item.KDefType = u'1';
        item.KDefDat = QStringLiteral("ABCDEFGHIJ");
        DspGyData(*set);
        EXPECT_EQ(item.KDefDat.size(), std::min(c.len, 10));
        BnfShownControls shown;
        shown.APOffTimeNE = shown.Bar2ReadNE = QStringLiteral("30");
        shown.DspErrTimeNE = QStringLiteral("20");
        shown.BzHzNE = shown.BzCountNE = shown.BzOnTimeNE = shown.BzOffTimeNE = QStringLiteral("1");
        shown.GNameSE = set->GyData[0].GyName;
        shown.GModeCB = set->GyData[0].GyMode;
        shown.KNameSE = item.KName;
        shown.KDLenNE = QString::number(item.KDLen);
        shown.KDTypeCB = item.KDType;
        shown.KDMaxNE = item.KDMax;
        shown.KDMinNE = item.KDMin;
        const std::optional<BnfInputError> failure =
            CheckBnfDat(*set, shown, [](const QString &) { return true; });
        EXPECT_EQ(failure.has_value(), c.refused);
        if (failure && c.refused) {
            EXPECT_EQ(failure->control.toStdString(), "DefaultDatSE");
            EXPECT_EQ(failure->message.toStdString(), "初期値の文字列を入力最大桁数以下にしてください。");
        }
    }
}

TEST(JobPageView, ModeBHoldsAStringAndASignedQuantity)
{
    auto set = newSet('B');
    TGyData &job = set->GyData[0];
    job.DaCount = 1;
    job.DaKoDa[0].KDType = typeIndex('a');
    JobPageView view = DspGyData(*set);
    EXPECT_EQ(job.DaCount, 2);
    EXPECT_EQ(job.DaKoDa[0].KDType, typeIndex('A'));
    EXPECT_EQ(job.DaKoDa[1].KDType, typeIndex('b'));
    EXPECT_EQ(job.DaKoDa[1].KName.toStdString(), "数量");
    EXPECT_FALSE(view.Item.KDTypeEnabled);

    job.DaCount = 4;
    job.TmpDaNo = 3;
    job.DaKoDa[1].KDType = typeIndex('W');
    view = DspGyData(*set);
    EXPECT_EQ(job.DaCount, 2);
    EXPECT_EQ(job.TmpDaNo, 0);
    EXPECT_EQ(job.DaKoDa[1].KDType, typeIndex('b'));
    EXPECT_EQ(view.DataItems.size(), 2);
}

TEST(JobPageView, EachModeShowsItsGroups)
{
    const struct {
        char mode;
        bool save, item, groupList, dataList, receive, program;
    } cases[] = {
        {'A', true, true, true, true, false, false},     {'B', true, true, true, true, false, false},
        {'J', false, true, false, true, false, false},   {'R', false, false, false, false, true, false},
        {'r', false, false, false, false, true, false},  {'S', false, false, false, false, false, false},
        {'b', false, false, false, false, false, false}, {'X', false, false, false, false, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(1, c.mode));
        auto set = newSet(c.mode);
        const JobPageView view = DspGyData(*set);
        EXPECT_EQ(view.SaveGroup, c.save);
        EXPECT_EQ(view.KoNameGroup, c.item);
        EXPECT_EQ(view.HasItem, c.item);
        EXPECT_EQ(view.GroupPanel, c.groupList);
        EXPECT_EQ(view.DataPanel, c.dataList);
        EXPECT_EQ(view.RcvProtoVisible, c.receive);
        EXPECT_EQ(view.ProgVisible, c.program);
    }
}

TEST(JobPageView, ModeJReadsItsFirstItemFromABarcode)
{
    auto set = newSet('J');
    TGyData &job = set->GyData[0];
    job.DaCount = 2;
    job.TmpGrFlg = true;
    job.TmpDaNo = 1;
    const JobPageView view = DspGyData(*set);
    EXPECT_FALSE(job.TmpGrFlg);
    EXPECT_EQ(job.TmpDaNo, 0);
    EXPECT_TRUE(view.Item.KDInpVisible);
    EXPECT_FALSE(view.Item.KDInpEnabled);
    EXPECT_EQ(view.Item.KDInpCB, 2);
    EXPECT_FALSE(view.Item.KDNextFilled);
}

TEST(JobPageView, TheMoveTargetStaysWithinItsList)
{
    auto set = newSet();
    TGyData &job = set->GyData[0];
    job.DaCount = 3;
    job.DaKoDa[1].KName = QStringLiteral("二");
    job.DaKoDa[2].KName = QStringLiteral("三");
    TKoData &item = currentItem(*set, 0);
    item.KDNext = 5;
    const JobPageView view = DspGyData(*set);
    EXPECT_EQ(item.KDNext, 2);
    EXPECT_EQ(view.Item.KDNextItems, QStringList({QStringLiteral("二"), QStringLiteral("三"),
                                                  QStringLiteral("次のデータ入力処理")}));
    EXPECT_EQ(GetKDNext(job, true, 0), QStringList{QStringLiteral("データ入力処理")});

    // Mode J does not write it, but a clamped value is all the same.
    auto j = newSet('J');
    currentItem(*j).KDNext = -4;
    DspGyData(*j);
    EXPECT_EQ(j->GyData[0].DaKoDa[0].KDNext, 0);
}

TEST(JobPageView, CountsAndIndexesFromAFileStayInsideTheLists)
{
    auto set = newSet();
    set->TmpGyNo = 50;
    set->GyData[0].DaCount = 99;
    set->GyData[0].TmpDaNo = 40;
    const JobPageView view = DspGyData(*set);
    EXPECT_EQ(set->TmpGyNo, 0);
    EXPECT_EQ(view.DataItems.size(), MaxKoCount);
    EXPECT_EQ(set->GyData[0].TmpDaNo, MaxKoCount - 1);
}

TEST(JobPageView, EnterMovesAlongThePage)
{
    auto set = newSet();
    TGyData &job = set->GyData[0];
    ItemView item;
    item.KDTypeCB = typeIndex('a');
    const struct {
        const char *from;
        const char *text;
        int defaultIndex;
        bool group;
        int dataIndex;
        const char *to;
    } cases[] = {
        {"GNameSE", "x", 0, false, 0, "GModeCB"},
        {"GNameSE", "", 0, false, 0, ""},
        {"GModeCB", "", 0, false, 0, "FNameSE"},
        {"FNameSE", "F.DAT", 0, false, 0, "AddIDChkCB"},
        {"TSLocCB", "", 0, false, 0, "KNameSE"},
        {"KDBColorCB", "", 0, false, 0, "KDTypeCB"},
        {"KDTypeCB", "", 0, false, 0, "KDLenNE"},
        {"KDLenNE", "", 0, false, 0, "KDMaxNE"},
        {"DefaultCB", "", 1, false, 0, "DefaultDatNE"},
        {"DefaultCB", "", 0, false, 0, "DoubleChkCB"},
        {"DefaultCB", "", 0, false, 1, "AddNumChk"},
        {"DefaultCB", "", 0, true, 0, "KDNextCB"},
        {"AddNumChk", "", 0, false, 1, "KDNextCB"},
        {"DoubleChkCB", "", 0, false, 0, "KDNextCB"},
        {"KDNextCB", "", 0, false, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        job.TmpGrFlg = c.group;
        job.TmpDaNo = c.dataIndex;
        item.DefaultCB = c.defaultIndex;
        EXPECT_EQ(
            P2KeyDown(QString::fromLatin1(c.from), QString::fromLatin1(c.text), job, item).toStdString(),
            c.to);
    }
    job.GyMode = GyModeIndex(QLatin1Char('X'));
    EXPECT_EQ(P2KeyDown(QStringLiteral("GModeCB"), QString(), job, item).toStdString(), "PNameSE");
    job.GyMode = GyModeIndex(QLatin1Char('S'));
    EXPECT_EQ(P2KeyDown(QStringLiteral("GModeCB"), QString(), job, item).toStdString(), "");
}

} // namespace
