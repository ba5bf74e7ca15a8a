#include "addins/marrent/ScreenPreview.h"

#include <gtest/gtest.h>

using namespace marrent;

namespace {

MarrentSettings on(int model)
{
    return DefaultSettings(*LimitsOf(model));
}

QStringList names(const PreviewScreen &screen)
{
    QStringList out;
    for (const PreviewLine &line : screen.lines)
        out << line.name;
    return out;
}

QString A(int n)
{
    return QString(n, u'A');
}

} // namespace

TEST(PreviewTest, CountLineTurnsHalfWidthAboveTheModelsWidth)
{
    struct Case {
        int model, count;
        const char16_t *line;
    };
    for (const Case &c :
         {Case{500, 6, u"999999 / 999999"}, Case{500, 4, u"9999 / 9999"}, Case{500, 3, u"９９９／９９９"},
          Case{800, 4, u"９９９９／９９９９"}, Case{800, 5, u"99999 / 99999"}, Case{900, 0, u"９／９"},
          Case{1300, 8, u"99999999 / 99999999"}}) {
        SCOPED_TRACE(std::to_string(c.model) + "/" + std::to_string(c.count));
        MarrentSettings s = on(c.model);
        s.PKCountLen = c.count;
        EXPECT_EQ(BuildPreview(s, *LimitsOf(c.model), std::nullopt).text("Count"),
                  QString::fromUtf16(c.line));
    }
}

TEST(PreviewTest, ProductInformationLines)
{
    struct Case {
        int model, length;
        QString caption, line1, line2; // empty line2: hidden
    };
    const QString cap = QStringLiteral("商品情報");
    for (const Case &c :
         {Case{500, 48, A(16), A(16), A(16)}, Case{500, 17, cap, A(16), A(1)}, Case{500, 16, cap, A(16), {}},
          Case{500, 33, A(16), A(16), A(1)}, Case{800, 40, cap, A(20), A(20)},
          Case{800, 60, A(20), A(20), A(20)}, Case{600, 7, cap, A(7), {}}}) {
        SCOPED_TRACE(std::to_string(c.model) + "/" + std::to_string(c.length));
        MarrentSettings s = on(c.model);
        s.SNameLen = c.length;
        const PreviewScreen p = BuildPreview(s, *LimitsOf(c.model), std::nullopt);
        EXPECT_EQ(p.text("SNameCaption"), c.caption);
        EXPECT_EQ(p.text("SName1"), c.line1);
        EXPECT_EQ(p.shows("SName2"), !c.line2.isEmpty());
        EXPECT_EQ(p.text("SName2"), c.line2);
    }
}

TEST(PreviewTest, LinesStackByWhatIsUsed)
{
    MarrentSettings s = on(800);
    s.DpUsed = true;
    s.DpName = QStringLiteral("伝票区分名がとても長い"); // cut to 20 bytes
    s.DpLen = 12;
    s.InpCount = true;
    s.InpCountDigits = 5;
    const PreviewScreen p = BuildPreview(s, *LimitsOf(800), QStringLiteral("入荷検品"));
    EXPECT_EQ(p.panel, 600);
    EXPECT_EQ(names(p), (QStringList{"Title", "DpName", "DpData", "SCCaption", "SCData", "Quantity",
                                     "SNameCaption", "SName1", "SName2", "CountCaption", "Remain", "Count",
                                     "M1Label", "M2Label", "M2Caption"}));
    EXPECT_EQ(p.text("Title"), QStringLiteral("入荷検品"));
    EXPECT_EQ(p.text("DpName"), QStringLiteral("伝票区分名がとても長"));
    EXPECT_EQ(p.text("DpData"), QStringLiteral("999999999999"));
    EXPECT_EQ(p.text("Quantity"), QStringLiteral("数量      ・・・・・"));
    EXPECT_EQ(p.text("CountCaption"), QStringLiteral("残数／検品数"));
    EXPECT_EQ(p.text("Remain"), QStringLiteral("残件数  ９９９９９９"));
    EXPECT_EQ(p.text("M1Label"), QStringLiteral("Ｍ１"));
    EXPECT_EQ(p.text("M2Caption"), QStringLiteral("未検品"));

    // Picking on 500 without voucher kind or quantity: the product code lines start at the top.
    MarrentSettings k = on(500);
    k.picking = true;
    k.InpCount = false;
    const PreviewScreen q = BuildPreview(k, *LimitsOf(500), QString());
    EXPECT_EQ(q.panel, 500);
    EXPECT_EQ(names(q), (QStringList{"Title", "SCCaption", "SCData", "SNameCaption", "SName1", "SName2",
                                     "CountCaption", "Remain", "Count", "M1Label"}));
    EXPECT_EQ(q.text("Title"), QStringLiteral("ピッキング"));
    EXPECT_EQ(q.text("CountCaption"), QStringLiteral("残数／ﾋﾟｯｷﾝｸﾞ数"));
    EXPECT_EQ(q.text("Remain"), QStringLiteral("残件数９９９９９"));

    k.picking = false;
    k.InpCount = true;
    k.InpCountDigits = 8; // at most 6 dots in 16 bytes
    const PreviewScreen r = BuildPreview(k, *LimitsOf(500), std::nullopt);
    EXPECT_EQ(r.text("Quantity"), QStringLiteral("数量・・・・・・"));
    EXPECT_EQ(r.text("M2Caption"), QStringLiteral("未検"));
    EXPECT_EQ(r.text("Title"), QStringLiteral("検品"));
}

TEST(PreviewTest, Model900KeepsItsProductLinesAndHasNoVoucherLines)
{
    MarrentSettings s = on(900);
    s.DpUsed = true;
    s.DpName = QStringLiteral("伝票");
    s.SNameLen = 5;
    const PreviewScreen p = BuildPreview(s, *LimitsOf(900), std::nullopt);
    EXPECT_EQ(p.panel, 900);
    EXPECT_FALSE(p.shows("DpName"));
    EXPECT_FALSE(p.shows("Quantity"));
    EXPECT_EQ(p.text("SName1"), A(21));
    s.InpCount = true;
    const QStringList order = names(BuildPreview(s, *LimitsOf(900), std::nullopt));
    EXPECT_LT(order.indexOf("Quantity"), order.indexOf("SNameCaption"));
    EXPECT_EQ(order.indexOf("Quantity"), order.indexOf("SCData") + 1);
}
