#include "jobs/ScreenPreview.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString Dots20 = QString(20, QChar(0xFF65)); // half-width middle dots
const QString Zeros20 = QString(20, u'0');
const QString WideDots10 = QString(10, QChar(0x30FB));
const QString WideZeros10 = QString(10, QChar(0xFF10));

QString spaces(int n)
{
    return QString(n, u' ');
}

TKoData item(const QString &name, QChar type, const QString &kdMax = QString(), int kdLen = 10,
             int kdSize = 0)
{
    TKoData k;
    InitKoData(k, name, type);
    k.KDMax = kdMax;
    k.KDLen = kdLen;
    k.KDSize = kdSize;
    return k;
}

// A mode A job that stores its data, with the given data items, the first one current.
TGyData dataJob(std::vector<TKoData> items, QChar mode = u'A')
{
    TGyData job;
    job.GyName = QStringLiteral("入荷");
    job.GyMode = GyModeIndex(mode);
    job.FName = QStringLiteral("NYUKA.DAT");
    job.DaCount = int(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        job.DaKoDa[i] = items[i];
    return job;
}

TGyData groupJob(int count, const QString &kdMax, int current = 0)
{
    TGyData job = dataJob({item(QStringLiteral("数量"), u'A', QStringLiteral("5"))});
    job.GrCount = count;
    for (int i = 0; i < count; ++i)
        job.GrKoDa[i] = item(QStringLiteral("G%1").arg(i), u'A', kdMax);
    job.TmpGrFlg = true;
    job.TmpGrNo = current;
    return job;
}

struct Row {
    QString text;
    PreviewAlign align;
    friend bool operator==(const Row &, const Row &) = default;
    friend void PrintTo(const Row &r, std::ostream *os)
    {
        *os << '"' << r.text.toStdString() << "\" align " << int(r.align);
    }
};

std::vector<Row> shownRows(const ScreenPreview &p)
{
    std::vector<Row> rows;
    for (const PreviewLabel &d : p.DLabel) {
        if (d.Visible)
            rows.push_back({d.Text, d.Align});
    }
    return rows;
}

QStringList shownNames(const ScreenPreview &p)
{
    QStringList names;
    for (const PreviewLabel &k : p.KLabel) {
        if (k.Visible)
            names << k.Text;
    }
    return names;
}

QStringList shownKeys(const ScreenPreview &p)
{
    QStringList keys;
    for (const PreviewLabel &g : p.GLabel)
        keys << (g.Visible ? g.Text : QStringLiteral("-"));
    return keys;
}

constexpr PreviewAlign L = PreviewAlign::Left;
constexpr PreviewAlign R = PreviewAlign::Right;

// The rows one item draws, by type, size and limit.
struct ItemCase {
    const char *name;
    QChar type;
    int kdSize;
    QString kdMax;
    int kdLen;
    std::vector<Row> rows;
    friend void PrintTo(const ItemCase &c, std::ostream *os) { *os << c.name; }
};

class ItemRows : public testing::TestWithParam<ItemCase> {};

TEST_P(ItemRows, DrawsTheSampleCutByBytes)
{
    const ItemCase &c = GetParam();
    TKoData k = item(QStringLiteral("品名"), c.type, c.kdMax, c.kdLen, c.kdSize);
    k.KDfColor = 2;
    k.KDbColor = 7;
    const ScreenPreview p = DspBhtPanel(dataJob({k}));
    EXPECT_EQ(shownRows(p), c.rows);
    // Rows follow the name line, one row height apart, in the item's colours.
    for (size_t r = 0; r < c.rows.size(); ++r) {
        EXPECT_EQ(p.DLabel[r].Top, 30 + 14 * int(r));
        EXPECT_EQ(p.DLabel[r].Left, 2);
        EXPECT_EQ(p.DLabel[r].Width, 140);
        EXPECT_EQ(p.DLabel[r].FontColour, ColourValue(2));
        EXPECT_EQ(p.DLabel[r].BackColour, ColourValue(7));
    }
}

const ItemCase itemCases[] = {
    {"StringOf25", u'A', 0, "25", 25, {{u'A' + Dots20.left(19), R}, {Dots20.left(5), L}}},
    {"StringOf20", u'A', 0, "20", 20, {{u'A' + Dots20.left(19), R}}},
    {"StringOf3", u'A', 0, "3", 20, {{u'A' + Dots20.left(2), R}}},
    {"StringWithoutNumber", u'A', 0, "abc", 20, {{spaces(20), R}}},
    {"StringNegative", u'A', 0, "-4", 20, {{spaces(20), R}}},
    {"StringLimitedTo180",
     u'A',
     0,
     "999",
     999,
     {{u'A' + Dots20.left(19), R},
      {Dots20, L},
      {Dots20, L},
      {Dots20, L},
      {Dots20, L},
      {Dots20, L},
      {Dots20, L},
      {Dots20, L},
      {Dots20, L}}},
    {"StringTooLongFor64Bits",
     u'A',
     1,
     "99999999999999999999999",
     90,
     {{QChar(0xFF21) + WideDots10.left(9), R},
      {WideDots10, L},
      {WideDots10, L},
      {WideDots10, L},
      {WideDots10, L},
      {WideDots10, L},
      {WideDots10, L},
      {WideDots10, L},
      {WideDots10, L}}},
    {"WideStringOf15", u'A', 1, "15", 15, {{QChar(0xFF21) + WideDots10.left(9), R}, {WideDots10.left(5), L}}},
    {"ZeroFilledOf5", u'B', 0, "5", 5, {{QStringLiteral("00009"), R}}},
    {"ZeroFilledOf21", u'B', 0, "21", 21, {{QStringLiteral("0"), R}, {Zeros20.left(19) + u'9', L}}},
    {"ZeroFilledOf40", u'B', 0, "40", 40, {{Zeros20, R}, {Zeros20.left(19) + u'9', L}}},
    {"ZeroFilledOf45", u'B', 0, "45", 45, {{Zeros20.left(5), R}, {Zeros20, L}, {Zeros20.left(19) + u'9', L}}},
    {"WideZeroFilledOf11",
     u'B',
     1,
     "11",
     11,
     {{WideZeros10.left(1), R}, {WideZeros10.left(9) + QChar(0xFF19), L}}},
    {"ZeroSuppressedOf3", u'C', 0, "3", 3, {{Dots20.left(2) + u'9', R}}},
    {"WideZeroSuppressedOf25",
     u'C',
     1,
     "25",
     25,
     {{WideDots10.left(5), R}, {WideDots10, L}, {WideDots10.left(9) + QChar(0xFF19), L}}},
    {"AmountOf7", u'c', 0, "", 7, {{spaces(10) + QStringLiteral("\\･,･･･,･･9"), R}}},
    {"SignedRealOf8", u'b', 0, "", 8, {{spaces(10) + QStringLiteral("+･,･･･,･･9"), R}}},
    {"UnsignedOf3", u'a', 0, "", 3, {{spaces(17) + QStringLiteral("･･9"), R}}},
    {"UnsignedOf10", u'a', 0, "", 10, {{QStringLiteral("   ･,･･･,･･･,･･9").rightJustified(20), R}}},
    {"WideAmountOf3", u'c', 1, "", 3, {{spaces(12) + QStringLiteral("￥・・９"), R}}},
    {"WideUnsignedOf8", u'a', 1, "", 8, {{QStringLiteral("・・，・・・，・・９"), R}}},
    {"SignedRealOfHugeLength", u'b', 0, "", 2147483647, {{QStringLiteral("     ･･･,･･･,･･･,･･9"), R}}},
    {"NumberOfNegativeLength", u'a', 0, "", -5, {{spaces(20), R}}},
    {"Date", u'W', 0, "10", 10, {{QStringLiteral("          2099/12/31"), R}}},
    {"WideShortDate", u'X', 1, "8", 8, {{QStringLiteral("    ９９／１２／３１"), R}}},
    {"MonthDay", u'Y', 0, "5", 5, {{QStringLiteral("               12/31"), R}}},
    {"WideTime", u'Z', 1, "5", 5, {{QStringLiteral("          ２４：５９"), R}}},
};

INSTANTIATE_TEST_SUITE_P(ScreenPreview, ItemRows, testing::ValuesIn(itemCases),
                         [](const testing::TestParamInfo<ItemCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(ScreenPreview, DataItemNameLabelAndTitle)
{
    TKoData k = item(QStringLiteral("商品ｺｰﾄﾞ"), u'A', QStringLiteral("13"));
    k.KNfColor = 1;
    k.KNbColor = 4;
    const ScreenPreview p = DspBhtPanel(dataJob({k}));
    EXPECT_EQ(p.TitleLabel.Text, QStringLiteral("入荷>入力"));
    EXPECT_EQ(p.TitleLabel.Align, PreviewAlign::Left);
    EXPECT_EQ(p.TitleLabel.FontColour, ColourValue(0));
    EXPECT_EQ(p.TitleLabel.BackColour, ColourValue(3));
    ASSERT_TRUE(p.KLabel[0].Visible);
    EXPECT_EQ(p.KLabel[0].Text, QStringLiteral("商品ｺｰﾄﾞ"));
    EXPECT_EQ(p.KLabel[0].Top, 16);
    EXPECT_EQ(p.KLabel[0].Width, 8 * 7); // 商品 two bytes each, ｺｰﾄﾞ one each
    EXPECT_EQ(p.KLabel[0].FontColour, ColourValue(1));
    EXPECT_EQ(p.KLabel[0].BackColour, ColourValue(4));
    EXPECT_EQ(shownNames(p), QStringList{QStringLiteral("商品ｺｰﾄﾞ")});
}

// How many items of equal height a screen page of group items holds.
TEST(ScreenPreview, GroupPageHoldsWhatEndsWithin22HalfRows)
{
    const struct {
        const char *what;
        QString kdMax;
        int count, current;
        QStringList names;
        std::vector<int> nameTops;
    } cases[] = {
        {"three rows each: two", QStringLiteral("60"), 4, 0, {"G0", "G1"}, {16, 16 + 7 * 8}},
        {"one row each: five",
         QStringLiteral("20"),
         6,
         0,
         {"G0", "G1", "G2", "G3", "G4"},
         {16, 44, 72, 100, 128}},
        {"sixth current: from the second",
         QStringLiteral("20"),
         6,
         5,
         {"G1", "G2", "G3", "G4", "G5"},
         {16, 44, 72, 100, 128}},
        {"current beyond the list",
         QStringLiteral("20"),
         6,
         40,
         {"G1", "G2", "G3", "G4", "G5"},
         {16, 44, 72, 100, 128}},
        {"negative current", QStringLiteral("60"), 4, -3, {"G0", "G1"}, {16, 72}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenPreview p = DspBhtPanel(groupJob(c.count, c.kdMax, c.current));
        EXPECT_EQ(shownNames(p), c.names);
        for (size_t k = 0; k < c.nameTops.size(); ++k)
            EXPECT_EQ(p.KLabel[k].Top, c.nameTops[k]);
        EXPECT_EQ(p.TitleLabel.FontColour, ColourValue(1));
        EXPECT_EQ(p.TitleLabel.BackColour, ColourValue(4));
        EXPECT_FALSE(p.S1Label.Visible);
        EXPECT_FALSE(p.TotalLabel.Visible);
        EXPECT_EQ(shownKeys(p), (QStringList{"Ｍ１", "戻る", "Ｍ２", "次へ", "-", "-"}));
    }
}

TEST(ScreenPreview, ItemRowsUseTheirOwnDataLabelsInOrder)
{
    // Three rows of G0 take D1..D3, and G1 continues with D4 eight half rows lower.
    const ScreenPreview p = DspBhtPanel(groupJob(2, QStringLiteral("41")));
    EXPECT_EQ(shownRows(p).size(), 6u);
    EXPECT_EQ(p.DLabel[2].Top, 30 + 2 * 14);
    EXPECT_EQ(p.DLabel[3].Top, 30 + 7 * 8);
    EXPECT_FALSE(p.DLabel[6].Visible);
}

// The last item that fits decides what else shares the page: 20 half rows for a job that stores its
// data, 18 with a running total, 22 for mode J.
TEST(ScreenPreview, DataPageLimitByMode)
{
    const struct {
        const char *what;
        QChar mode;
        bool dspTotal;
        QString firstMax;
        int names;
    } cases[] = {
        {"A: 7 + 1 rows fit", u'A', false, QStringLiteral("140"), 2},
        {"A: 8 + 1 rows do not", u'A', false, QStringLiteral("160"), 1},
        {"B with total: 7 + 1 rows do not", u'B', true, QStringLiteral("140"), 1},
        {"B with total: 6 + 1 rows fit", u'B', true, QStringLiteral("120"), 2},
        {"J: 8 + 1 rows fit", u'J', false, QStringLiteral("160"), 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TGyData job =
            dataJob({item(QStringLiteral("D0"), u'A', c.firstMax), item(QStringLiteral("D1"), u'b')}, c.mode);
        job.DspTotal = c.dspTotal;
        EXPECT_EQ(shownNames(DspBhtPanel(job)).size(), c.names);
    }
}

TEST(ScreenPreview, LongItemsNeverRunPastTheElevenRows)
{
    // Nine rows of the longest string fill the page; nothing follows them.
    TGyData job = dataJob({item(QStringLiteral("D0"), u'A', QStringLiteral("180")),
                           item(QStringLiteral("D1"), u'A', QStringLiteral("1"))},
                          u'J');
    ScreenPreview p = DspBhtPanel(job);
    EXPECT_EQ(shownNames(p), QStringList{QStringLiteral("D0")});
    EXPECT_EQ(shownRows(p).size(), 9u);

    // Eight rows and a one-row item: the second still fits in mode J, on the eleventh row.
    job.DaKoDa[0].KDMax = QStringLiteral("160");
    p = DspBhtPanel(job);
    EXPECT_EQ(shownNames(p).size(), 2);
    EXPECT_EQ(shownRows(p).size(), 9u);
    EXPECT_EQ(p.KLabel[1].Top, 16 + 7 * 18);
    EXPECT_EQ(p.DLabel[8].Top, 30 + 7 * 18);
}

TEST(ScreenPreview, TheLongestStringLeavesTheTotalLineFree)
{
    TGyData job = dataJob(
        {item(QStringLiteral("D0"), u'A', QStringLiteral("180")), item(QStringLiteral("D1"), u'b')}, u'B');
    job.DspTotal = true;
    ScreenPreview p = DspBhtPanel(job);
    ASSERT_TRUE(p.TotalLabel.Visible);
    EXPECT_EQ(shownRows(p).size(), 8u);
    EXPECT_LE(p.DLabel[7].Top + PreviewRowHeight, p.TotalLabel.Top);

    job.DspTotal = false;
    p = DspBhtPanel(job);
    EXPECT_EQ(shownRows(p).size(), 9u);
}

TEST(ScreenPreview, AListWithoutItemsShowsNoItem)
{
    TGyData job = groupJob(0, QString());
    EXPECT_TRUE(shownNames(DspBhtPanel(job)).isEmpty());
    job.TmpGrFlg = false;
    job.DaCount = 0;
    EXPECT_TRUE(shownRows(DspBhtPanel(job)).empty());
}

// Count and total lines and the function keys of the data items' page.
TEST(ScreenPreview, DataPageLinesAndKeys)
{
    const QStringList stored{"Ｍ１", "戻る", "F1", "参照", "F4", "終了"};
    const QStringList notStored{"Ｍ１", "戻る", "Ｆ４", "終了", "-", "-"};
    const struct {
        const char *what;
        QChar mode;
        QString fName;
        bool dspTotal;
        bool count, total;
        QStringList keys;
        QString title;
        PreviewAlign titleAlign;
    } cases[] = {
        {"A stored", u'A', "A.DAT", false, true, false, stored, "入荷>入力", L},
        {"A not stored", u'A', "", false, false, false, notStored, "入荷>入力", L},
        {"A ignores the total", u'A', "A.DAT", true, true, false, stored, "入荷>入力", L},
        {"B stored with total", u'B', "B.DAT", true, true, true, stored, "入荷>入力", L},
        {"B stored without total", u'B', "B.DAT", false, true, false, stored, "入荷>入力", L},
        {"B total without file", u'B', "", true, false, false, notStored, "入荷>入力", L},
        {"J never counts", u'J', "J.DAT", true, false, false, notStored, "入荷", PreviewAlign::Centre},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TGyData job = dataJob({item(QStringLiteral("D0"), u'A', QStringLiteral("5"))}, c.mode);
        job.FName = c.fName;
        job.DspTotal = c.dspTotal;
        const ScreenPreview p = DspBhtPanel(job);
        EXPECT_EQ(p.S1Label.Visible, c.count);
        EXPECT_EQ(p.TotalLabel.Visible, c.total);
        EXPECT_EQ(shownKeys(p), c.keys);
        EXPECT_EQ(p.TitleLabel.Text, c.title);
        EXPECT_EQ(p.TitleLabel.Align, c.titleAlign);
    }
}

TEST(ScreenPreview, KeyPlacement)
{
    TGyData job = dataJob({item(QStringLiteral("D0"), u'A', QStringLiteral("5"))});
    ScreenPreview p = DspBhtPanel(job);
    const std::vector<std::pair<int, int>> stored{{2, 24},  {30, 24},  {58, 12},
                                                  {72, 24}, {100, 12}, {114, 24}};
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(p.GLabel[g].Left, stored[g].first) << "G" << g + 1;
        EXPECT_EQ(p.GLabel[g].Width, stored[g].second) << "G" << g + 1;
    }
    job.FName.clear();
    p = DspBhtPanel(job);
    const int lefts[] = {2, 30, 86, 114};
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(p.GLabel[g].Left, lefts[g]) << "G" << g + 1;
        EXPECT_EQ(p.GLabel[g].Width, 24) << "G" << g + 1;
    }
}

// Modes that show a fixed screen, whatever the job's items hold.
TEST(ScreenPreview, FixedScreensByMode)
{
    const struct {
        QChar mode;
        std::vector<std::pair<int, QString>> rows; // 1-based row, text; the others blank
        QStringList keys;
    } cases[] = {
        {u'S',
         {{5, "未送信データを      "}, {6, "すべて送信しますか？"}},
         {"Ｍ１", "取消", "Ｍ２", "送信", "-", "-"}},
        {u'R',
         {{5, "   通信ユニットに   "}, {6, "   ｾｯﾄしてください  "}},
         {"Ｍ１", "戻る", "-", "CU-USB", "-", "-"}},
        {u'r',
         {{5, "   通信ユニットに   "}, {6, "   ｾｯﾄしてください  "}},
         {"Ｍ１", "戻る", "-", "CU-USB", "-", "-"}},
        {u'b',
         {{1, "種類                "}, {2, "桁数    桁          "}},
         {"Ｍ１", "戻る", "-", "-", "-", "-"}},
        {u'X',
         {{4, "  設定する          "},
          {5, "  ｱﾄﾞｲﾝ業務ﾌﾟﾛｸﾞﾗﾑ  "},
          {6, "  の画面表示に      "},
          {7, "  なります。        "}},
         {"-", "-", "-", "-", "-", "-"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(c.mode).toStdString());
        TGyData job = groupJob(3, QStringLiteral("41"));
        job.GyMode = GyModeIndex(c.mode);
        job.RcvProto = 1;
        const ScreenPreview p = DspBhtPanel(job);
        EXPECT_EQ(p.TitleLabel.Text, QStringLiteral("入荷"));
        EXPECT_EQ(p.TitleLabel.Align, PreviewAlign::Centre);
        EXPECT_EQ(p.TitleLabel.BackColour, ColourValue(3));
        EXPECT_TRUE(shownNames(p).isEmpty());
        EXPECT_FALSE(p.S1Label.Visible);
        EXPECT_FALSE(p.TotalLabel.Visible);
        EXPECT_EQ(shownKeys(p), c.keys);
        for (int r = 0; r < PreviewDataRows; ++r) {
            QString expected = spaces(20);
            for (const auto &[number, text] : c.rows) {
                if (number == r + 1)
                    expected = text;
            }
            EXPECT_TRUE(p.DLabel[r].Visible);
            EXPECT_EQ(p.DLabel[r].Text, expected) << "row " << r + 1;
            EXPECT_EQ(p.DLabel[r].Top, 16 + 14 * r);
            EXPECT_EQ(p.DLabel[r].FontColour, ColourValue(0));
            EXPECT_EQ(p.DLabel[r].BackColour, ColourValue(1));
        }
    }
}

// The receive screen names the job's own protocol on its fourth key.
TEST(ScreenPreview, ReceiveProtocolKey)
{
    const struct {
        int rcvProto;
        QString text;
    } cases[] = {{0, "CU-232"}, {1, "CU-USB"}, {2, "Blueth"}, {3, ""},
                 {4, ""},       {9, "CU-232"}, {-1, "CU-232"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rcvProto);
        TGyData job;
        job.GyMode = GyModeIndex(u'R');
        job.RcvProto = c.rcvProto;
        const ScreenPreview p = DspBhtPanel(job);
        EXPECT_TRUE(p.GLabel[3].Visible);
        EXPECT_EQ(p.GLabel[3].Text, c.text);
        EXPECT_EQ(p.GLabel[3].Left, 100);
        EXPECT_EQ(p.GLabel[3].Width, 36);
    }
}

} // namespace
