#include "jobs/SendDataLayout.h"

#include "jobs/BhtFileLayout.h"
#include "jobs/LetterCodes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

static void PrintTo(const SendDataColumn &c, std::ostream *os)
{
    *os << '{' << c.Title.toStdString() << ", " << c.WidthText.toStdString() << ", " << c.PixelWidth << '}';
}

namespace {

const SendDataColumn Heading{QStringLiteral("ﾌｨｰﾙﾄﾞ項目"), QStringLiteral("桁数(ﾊﾞｲﾄ数)"), 80};
const SendDataColumn Date{QStringLiteral("日付(YYYY/MM/DD)"), QStringLiteral("10"), 120};
const SendDataColumn Time{QStringLiteral("時刻(HH:MM:SS)"), QStringLiteral("8"), 120};
const SendDataColumn HtNo{QStringLiteral("HtNo"), QStringLiteral("4"), 40};

SendDataColumn field(const char *name, int width)
{
    return {QString::fromUtf8(name), QString::number(width), 120};
}

TKoData item(const char *name, int len, bool saved = true)
{
    TKoData k;
    InitKoData(k, QString::fromUtf8(name), u'A');
    k.KDLen = len;
    k.KDSaveFlg = saved;
    return k;
}

// A job with the layout computed as the editor does before it opens the viewer.
TGyData job(int tStamp, int tsLoc, bool htNo, std::vector<TKoData> group, std::vector<TKoData> data)
{
    TGyData j;
    j.GyName = QStringLiteral("棚卸");
    j.FName = QStringLiteral("TANA.DAT");
    j.TStamp = tStamp;
    j.TSLoc = tsLoc;
    j.AddIDChk = htNo;
    j.GrCount = int(group.size());
    for (size_t i = 0; i < group.size(); ++i)
        j.GrKoDa[i] = group[i];
    j.DaCount = int(data.size());
    for (size_t i = 0; i < data.size(); ++i)
        j.DaKoDa[i] = data[i];
    GetBhtFld(j);
    return j;
}

TEST(SendDataLayout, StampAtTheEndAfterTerminalNumberAndItem)
{
    const SendDataLayout layout = GetSendDataLayout(job(3, 1, true, {}, {item("数量", 10)}));
    EXPECT_EQ(layout.Caption, QStringLiteral("棚卸 送信データレイアウト (TANA.DAT)"));
    EXPECT_EQ(layout.Columns, (QList<SendDataColumn>{Heading, HtNo, field("数量", 10), Date, Time}));
    EXPECT_EQ(layout.FieldCount, 4);
    EXPECT_EQ(layout.RecordLength, 32);
    EXPECT_FALSE(layout.FieldCountTooLarge);
    EXPECT_FALSE(layout.RecordTooLong);
}

TEST(SendDataLayout, ColumnsFollowTheRecordsFields)
{
    const struct {
        const char *what;
        TGyData job;
        QList<SendDataColumn> columns;
        qint64 length;
    } cases[] = {
        {"stamp first, then the terminal number",
         job(3, 0, true, {item("得意先", 13)}, {item("数量", 8)}),
         {Heading, Date, Time, HtNo, field("得意先", 13), field("数量", 8)},
         43},
        {"date only, first", job(1, 0, false, {}, {item("数量", 8)}), {Heading, Date, field("数量", 8)}, 18},
        {"time only, last", job(2, 1, false, {}, {item("数量", 8)}), {Heading, field("数量", 8), Time}, 16},
        {"no stamp, wherever placed",
         job(0, 0, false, {}, {item("数量", 8)}),
         {Heading, field("数量", 8)},
         8},
        {"items not stored leave no column",
         job(0, 1, false, {item("G0", 3), item("G1", 7, false), item("G2", 2)},
             {item("D0", 6, false), item("D1", 9)}),
         {Heading, field("G0", 3), field("G2", 2), field("D1", 9)},
         14},
        {"nothing stored", job(0, 1, false, {}, {item("D0", 6, false)}), {Heading}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const SendDataLayout layout = GetSendDataLayout(c.job);
        EXPECT_EQ(layout.Columns, c.columns);
        EXPECT_EQ(layout.FieldCount, c.columns.size() - 1);
        EXPECT_EQ(layout.RecordLength, c.length);
    }
}

TEST(SendDataLayout, TooLongARecordIsFlagged)
{
    std::vector<TKoData> items(10, item("X", 3500));
    SendDataLayout layout = GetSendDataLayout(job(0, 1, false, items, items));
    EXPECT_EQ(layout.FieldCount, 20);
    EXPECT_EQ(layout.RecordLength, 70000);
    EXPECT_TRUE(layout.RecordTooLong);
    EXPECT_FALSE(layout.FieldCountTooLarge);

    // 65535 bytes is still within what the terminal takes.
    TGyData j = job(0, 1, false, {}, {item("X", 65535)});
    EXPECT_FALSE(GetSendDataLayout(j).RecordTooLong);
    j.DaKoDa[0].KDLen = 65536;
    GetBhtFld(j);
    EXPECT_TRUE(GetSendDataLayout(j).RecordTooLong);
}

TEST(SendDataLayout, ACountBeyondTheLayoutIsBounded)
{
    TGyData j = job(0, 1, false, {}, {item("数量", 8)});
    j.BhtFileFld.Count = 300;
    const SendDataLayout layout = GetSendDataLayout(j);
    EXPECT_EQ(layout.Columns.size(), 1 + BhtFldWidthCount);
    EXPECT_EQ(layout.FieldCount, 300);
    EXPECT_TRUE(layout.FieldCountTooLarge);
    j.BhtFileFld.Count = -4;
    EXPECT_EQ(GetSendDataLayout(j).Columns, QList<SendDataColumn>{Heading});
}

TEST(SendDataLayout, OnlyJobsThatStoreDataHaveALayout)
{
    const struct {
        QChar mode;
        const char *fName;
        bool shown;
    } cases[] = {
        {u'A', "A.DAT", true},  {u'B', "B.DAT", true},  {u'A', "", false},      {u'B', "", false},
        {u'J', "J.DAT", false}, {u'S', "S.DAT", false}, {u'R', "R.DAT", false}, {u'r', "R.DAT", false},
        {u'b', "B.DAT", false}, {u'X', "X.DAT", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << QString(c.mode).toStdString() << " \"" << c.fName << '"');
        TGyData j;
        j.GyMode = GyModeIndex(c.mode);
        j.FName = QString::fromUtf8(c.fName);
        EXPECT_EQ(CanShowSendDataLayout(j), c.shown);
    }
}

} // namespace
