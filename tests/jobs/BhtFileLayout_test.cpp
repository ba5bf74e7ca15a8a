#include "jobs/BhtFileLayout.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <vector>

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

TKoData item(const QString &name, int len, bool saved = true)
{
    TKoData k;
    InitKoData(k, name, u'A');
    k.KDLen = len;
    k.KDSaveFlg = saved;
    return k;
}

std::vector<int> widths(const TBhtFileFld &f)
{
    return {f.Width.begin(), f.Width.begin() + f.Count};
}

// Date and time stamp, terminal number, two stored group items of 13 and 5 bytes and one stored
// data item of 8 bytes.
TGyData stampedJob(int tsLoc)
{
    TGyData job;
    job.TStamp = 3;
    job.TSLoc = tsLoc;
    job.AddIDChk = true;
    job.GrCount = 2;
    job.GrKoDa[0] = item(QStringLiteral("得意先"), 13);
    job.GrKoDa[1] = item(QStringLiteral("担当"), 5);
    job.DaCount = 1;
    job.DaKoDa[0] = item(QStringLiteral("数量"), 8);
    return job;
}

TEST(GetBhtFld, StampFirstThenTerminalNumberThenItems)
{
    TGyData job = stampedJob(0);
    EXPECT_TRUE(GetBhtFld(job));
    const TBhtFileFld &f = job.BhtFileFld;
    EXPECT_EQ(f.Count, 6);
    EXPECT_EQ(widths(f), (std::vector<int>{10, 8, 4, 13, 5, 8}));
    EXPECT_EQ(f.TSFldNo, 1);
    EXPECT_EQ(f.HtNoFldNo, 3);
    EXPECT_EQ(f.GKTopFldNo, 4);
    EXPECT_EQ(f.GKFldCnt, 2);
    EXPECT_EQ(f.GKFldNo[0], 4);
    EXPECT_EQ(f.GKFldNo[1], 5);
    EXPECT_EQ(f.DKTopFldNo, 6);
    EXPECT_EQ(f.DKFldCnt, 1);
    EXPECT_EQ(f.DKFldNo[0], 6);
    EXPECT_EQ(f.KName[3], QStringLiteral("得意先"));
    EXPECT_EQ(f.KName[4], QStringLiteral("担当"));
    EXPECT_EQ(f.KName[5], QStringLiteral("数量"));
}

TEST(GetBhtFld, StampLast)
{
    TGyData job = stampedJob(1);
    EXPECT_TRUE(GetBhtFld(job));
    const TBhtFileFld &f = job.BhtFileFld;
    EXPECT_EQ(widths(f), (std::vector<int>{4, 13, 5, 8, 10, 8}));
    EXPECT_EQ(f.HtNoFldNo, 1);
    EXPECT_EQ(f.GKTopFldNo, 2);
    EXPECT_EQ(f.DKTopFldNo, 4);
    EXPECT_EQ(f.TSFldNo, 5);
    EXPECT_EQ(f.KName[1], QStringLiteral("得意先"));
}

TEST(GetBhtFld, StampKindsAndNoStamp)
{
    const struct {
        int tStamp, tsLoc;
        std::vector<int> widths;
        int tsFldNo;
    } cases[] = {
        {1, 0, {10, 8}, 1}, {2, 0, {8, 8}, 1}, {1, 1, {8, 10}, 2}, {2, 1, {8, 8}, 2},
        {0, 0, {8}, 0},     {0, 1, {8}, 0},    {4, 0, {8}, 0},     {-1, 1, {8}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "TStamp " << c.tStamp << " TSLoc " << c.tsLoc);
        TGyData job;
        job.TStamp = c.tStamp;
        job.TSLoc = c.tsLoc;
        job.DaCount = 1;
        job.DaKoDa[0] = item(QStringLiteral("D"), 8);
        job.BhtFileFld.TSFldNo = 9; // stale values must not survive
        EXPECT_TRUE(GetBhtFld(job));
        EXPECT_EQ(widths(job.BhtFileFld), c.widths);
        EXPECT_EQ(job.BhtFileFld.TSFldNo, c.tsFldNo);
        EXPECT_EQ(job.BhtFileFld.HtNoFldNo, 0);
        EXPECT_EQ(job.BhtFileFld.GKTopFldNo, 0);
    }
}

TEST(GetBhtFld, UnstoredItemsKeepZeroAndTheOthersCloseUp)
{
    TGyData job;
    job.GrCount = 3;
    job.GrKoDa[0] = item(QStringLiteral("G0"), 3);
    job.GrKoDa[1] = item(QStringLiteral("G1"), 7, false);
    job.GrKoDa[2] = item(QStringLiteral("G2"), 2);
    job.DaCount = 2;
    job.DaKoDa[0] = item(QStringLiteral("D0"), 6, false);
    job.DaKoDa[1] = item(QStringLiteral("D1"), 9);
    job.BhtFileFld.GKFldNo[1] = 77;
    job.BhtFileFld.DKFldNo[0] = 77;

    EXPECT_TRUE(GetBhtFld(job));
    const TBhtFileFld &f = job.BhtFileFld;
    EXPECT_EQ(widths(f), (std::vector<int>{3, 2, 9}));
    EXPECT_EQ(f.GKFldCnt, 2);
    EXPECT_EQ(f.GKFldNo[0], 1);
    EXPECT_EQ(f.GKFldNo[1], 0);
    EXPECT_EQ(f.GKFldNo[2], 2);
    EXPECT_EQ(f.DKTopFldNo, 3);
    EXPECT_EQ(f.DKFldCnt, 1);
    EXPECT_EQ(f.DKFldNo[0], 0);
    EXPECT_EQ(f.DKFldNo[1], 3);
    EXPECT_EQ(f.KName[1], QStringLiteral("G2"));
    EXPECT_EQ(f.KName[2], QStringLiteral("D1"));
}

TEST(GetBhtFld, DataTopIsSetEvenWhenNoDataItemIsStored)
{
    TGyData job;
    job.AddIDChk = true;
    job.DaCount = 1;
    job.DaKoDa[0] = item(QStringLiteral("D"), 5, false);
    EXPECT_TRUE(GetBhtFld(job));
    EXPECT_EQ(job.BhtFileFld.Count, 1);
    EXPECT_EQ(job.BhtFileFld.DKTopFldNo, 2);
    EXPECT_EQ(job.BhtFileFld.DKFldCnt, 0);
    EXPECT_EQ(job.BhtFileFld.GKTopFldNo, 0);
}

TGyData fullJob(int len)
{
    TGyData job;
    job.TStamp = 3;
    job.TSLoc = 1;
    job.AddIDChk = true;
    job.GrCount = MaxKoCount;
    job.DaCount = MaxKoCount;
    for (int k = 0; k < MaxKoCount; ++k) {
        job.GrKoDa[k] = item(QStringLiteral("G%1").arg(k), len);
        job.DaKoDa[k] = item(QStringLiteral("D%1").arg(k), len);
    }
    return job;
}

TEST(GetBhtFld, FullListsFillTwentyThreeFields)
{
    TGyData job = fullJob(1);
    EXPECT_TRUE(GetBhtFld(job));
    const TBhtFileFld &f = job.BhtFileFld;
    EXPECT_EQ(f.Count, 23);
    EXPECT_EQ(f.HtNoFldNo, 1);
    EXPECT_EQ(f.GKFldNo[9], 11);
    EXPECT_EQ(f.DKTopFldNo, 12);
    EXPECT_EQ(f.DKFldNo[9], 21);
    EXPECT_EQ(f.TSFldNo, 22);
    EXPECT_EQ(f.Width[21], 10);
    EXPECT_EQ(f.Width[22], 8);
    EXPECT_EQ(f.KName[20], QStringLiteral("D9"));
}

TEST(GetBhtFld, TotalWidthLimit)
{
    // 4 + 18 for the stamp: 20 items of w bytes give 22 + 20 w.
    const struct {
        int len;
        int last;
        bool ok;
    } cases[] = {{3275, 3275, true}, {3276, 3276, false}, {3500, 3500, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.len);
        TGyData job = fullJob(c.len);
        EXPECT_EQ(GetBhtFld(job), c.ok);
        // The layout is filled all the same.
        EXPECT_EQ(job.BhtFileFld.Count, 23);
        EXPECT_EQ(job.BhtFileFld.Width[20], c.last);
    }
    // Exactly 65535 bytes still fits, 65536 does not.
    TGyData job = fullJob(3275);
    job.DaKoDa[9].KDLen = 3275 + 13;
    EXPECT_TRUE(GetBhtFld(job));
    job.DaKoDa[9].KDLen = 3275 + 14;
    EXPECT_FALSE(GetBhtFld(job));
    // Widths that would wrap a 32-bit sum back below the limit are still too wide.
    TGyData huge = fullJob(std::numeric_limits<int>::max());
    EXPECT_FALSE(GetBhtFld(huge));
}

TEST(GetBhtFld, EntriesBeyondTheCountAreLeftAlone)
{
    TGyData job;
    job.BhtFileFld.Width.fill(99);
    job.BhtFileFld.KName.fill(QStringLiteral("old"));
    job.DaCount = 1;
    job.DaKoDa[0] = item(QStringLiteral("D"), 5);
    GetBhtFld(job);
    EXPECT_EQ(job.BhtFileFld.Width[0], 5);
    EXPECT_EQ(job.BhtFileFld.Width[1], 99);
    EXPECT_EQ(job.BhtFileFld.KName[1], QStringLiteral("old"));
}

TEST(GetBhtFld, CountsBeyondTheListsAreBounded)
{
    // Counts can come from a file or a broken dialog; they must not index past the lists.
    TGyData job = fullJob(2);
    job.GrCount = 99;
    job.DaCount = 1000;
    EXPECT_TRUE(GetBhtFld(job));
    EXPECT_EQ(job.BhtFileFld.Count, 23);
    job.GrCount = -5;
    job.DaCount = -1;
    EXPECT_TRUE(GetBhtFld(job));
    EXPECT_EQ(job.BhtFileFld.Count, 3);
    EXPECT_EQ(job.BhtFileFld.GKTopFldNo, 0);
}

TKoData lineItem(char typeLetter, int size, const QString &kdMax)
{
    TKoData k;
    InitKoData(k, QStringLiteral("K"), QChar::fromLatin1(typeLetter));
    k.KDSize = size;
    k.KDMax = kdMax;
    return k;
}

TEST(KoScreenLines, StringTypesTakeALineForEachTwentyOrTenBytes)
{
    const struct {
        char type;
        int size;
        const char *kdMax;
        bool total;
        int lines;
    } cases[] = {
        {'A', 0, "0", false, 1},   {'A', 0, "20", false, 1},      {'A', 0, "21", false, 2},
        {'A', 0, "41", false, 3},  {'A', 0, "160", false, 8},     {'A', 0, "161", false, 9},
        {'A', 1, "10", false, 1},  {'A', 1, "11", false, 2},      {'A', 1, "41", false, 5},
        {'A', 1, "80", false, 8},  {'A', 1, "81", false, 9},      {'B', 0, "40", false, 2},
        {'C', 1, "30", false, 3},  {'A', 0, "-1", false, 9},      {'A', 0, "3500", false, 9},
        {'A', 0, "abc", false, 1}, {'A', 0, "", false, 1},        {'A', 0, "99999999999999999999", false, 9},
        {'A', 0, "161", true, 8},  {'A', 1, "-3", true, 8},       {'A', 0, "160", true, 8},
        {'W', 1, "100", false, 1}, {'Z', 0, "999", false, 1},     {'a', 1, "99999999", false, 1},
        {'b', 0, "999", true, 1},  {'c', 1, "9999999", false, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.type << " size " << c.size << " KDMax " << c.kdMax << " total " << c.total);
        EXPECT_EQ(KoScreenLines(lineItem(c.type, c.size, QString::fromLatin1(c.kdMax)), c.total), c.lines);
    }
}

TEST(KoScreenLines, AnUnknownTypeIndexCountsAsAString)
{
    TKoData k = lineItem('A', 0, QStringLiteral("41"));
    k.KDType = 42;
    EXPECT_EQ(KoScreenLines(k, false), 3);
}

// A string item that takes the given number of screen lines in standard size.
TKoData itemOfLines(int lines)
{
    return lineItem('A', 0, QString::number(lines * 20));
}

TEST(GetGrPage, FindsTheFirstItemOfTheScreen)
{
    TGyData job;
    job.GrCount = 3;
    for (int k = 0; k < 3; ++k)
        job.GrKoDa[k] = itemOfLines(4);
    job.GrPgKoYn.fill(7);

    EXPECT_EQ(GetGrPage(job, 0), 0);
    EXPECT_EQ(GetGrPage(job, 1), 0); // 5 + 5 = 10 rows fit
    EXPECT_EQ(GetGrPage(job, 2), 1); // 15 do not
    EXPECT_EQ(job.GrPgKoYn[0], 4);
    EXPECT_EQ(job.GrPgKoYn[2], 4);
    EXPECT_EQ(job.GrPgKoYn[3], 0);
    EXPECT_EQ(job.GrPgKoYn[9], 0);
}

TEST(GetGrPage, TwelveRowsDoNotFit)
{
    TGyData job;
    job.GrCount = 2;
    job.GrKoDa[0] = itemOfLines(5); // 6 rows
    job.GrKoDa[1] = itemOfLines(4); // 5 rows: 11 fit
    EXPECT_EQ(GetGrPage(job, 1), 0);
    job.GrKoDa[1] = itemOfLines(5); // 12 do not
    EXPECT_EQ(GetGrPage(job, 1), 1);
    job.GrKoDa[1] = lineItem('A', 0, QStringLiteral("999")); // 10 rows alone
    EXPECT_EQ(GetGrPage(job, 1), 1);
}

TEST(GetPage, AJobWithoutItemsIsLeftUnchanged)
{
    TGyData job;
    job.GrCount = 0;
    job.DaCount = 0;
    job.GrPgKoYn.fill(3);
    job.DaPgKoYn.fill(3);
    EXPECT_EQ(GetGrPage(job, 0), -1);
    EXPECT_EQ(GetDaPage(job, 0), -1);
    EXPECT_EQ(job.GrPgKoYn[0], 3);
    EXPECT_EQ(job.DaPgKoYn[9], 3);
}

TEST(GetDaPage, RowLimitDependsOnTheMode)
{
    // Data items of 4 and 4 lines take 10 rows; of 4 and 5 lines 11 rows.
    const struct {
        int mode;
        bool dspTotal;
        int secondLines;
        int expected;
    } cases[] = {
        {0, false, 4, 0}, {0, false, 5, 1}, // 11 rows
        {5, false, 5, 0}, {5, false, 6, 1}, // mode J: 12 rows
        {1, true, 4, 1},  {1, true, 3, 0},  // mode B with total: 10 rows
        {1, false, 4, 0}, {1, false, 5, 1}, // mode B without total: 11 rows
        {5, true, 5, 0},                    // the total only counts in mode B
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mode " << c.mode << " total " << c.dspTotal << " lines " << c.secondLines);
        TGyData job;
        job.GyMode = c.mode;
        job.DspTotal = c.dspTotal;
        job.DaCount = 2;
        job.DaKoDa[0] = itemOfLines(4);
        job.DaKoDa[1] = itemOfLines(c.secondLines);
        EXPECT_EQ(GetDaPage(job, 1), c.expected);
        EXPECT_EQ(job.DaPgKoYn[1], c.secondLines);
    }
}

TEST(GetDaPage, ModeBTotalShortensTheLongestItem)
{
    TGyData job;
    job.GyMode = 1;
    job.DspTotal = true;
    job.DaCount = 1;
    job.DaKoDa[0] = lineItem('A', 0, QStringLiteral("500"));
    EXPECT_EQ(GetDaPage(job, 0), 0);
    EXPECT_EQ(job.DaPgKoYn[0], 8);
    job.DspTotal = false;
    GetDaPage(job, 0);
    EXPECT_EQ(job.DaPgKoYn[0], 9);
    // Group items never get the total rule.
    job.DspTotal = true;
    job.GrCount = 1;
    job.GrKoDa[0] = job.DaKoDa[0];
    GetGrPage(job, 0);
    EXPECT_EQ(job.GrPgKoYn[0], 9);
}

TEST(GetPage, ItemIndexesOutsideTheListAreBounded)
{
    TGyData job;
    job.GrCount = 12; // more than the list holds
    job.DaCount = 10;
    for (int k = 0; k < MaxKoCount; ++k) {
        job.GrKoDa[k] = itemOfLines(1);
        job.DaKoDa[k] = itemOfLines(1);
    }
    EXPECT_EQ(GetGrPage(job, -1), 0);
    EXPECT_EQ(GetGrPage(job, 9), 5);  // 2 rows per item: 5 items make 10 rows
    EXPECT_EQ(GetGrPage(job, 50), 5); // taken as the last item
    EXPECT_EQ(GetDaPage(job, 1000), 5);
}

} // namespace
