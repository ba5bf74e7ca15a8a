#include "TessaryTestSupport.h"
#include "addins/tessary/SaveLayout.h"

#include <gtest/gtest.h>

using namespace tessary;

namespace {

const TModel &model800()
{
    return *FindModel(800);
}

} // namespace

TEST(SaveLayoutTest, AllowedSourcesFollowTheOtherPages)
{
    struct Case {
        const char *name;
        bool dk, dkMst, mkMst;
        int dousa, saveType, stamp;
        bool quantity;
        const char *allowed;
    };
    const Case cases[] = {
        {"plainOneToOne", false, false, false, OneToOne, 0, 0, false, "MSO"},
        {"quantityShown", false, false, false, OneToOne, 0, 0, true, "MSCO"},
        {"quantityHiddenInOneToN", false, false, false, OneToN, 0, 0, true, "MSO"},
        {"countType", false, false, false, OneToN, 3, 0, false, "Mon"},
        {"masterWithoutDataKind", false, true, false, OneToOne, 0, 1, false, "MSOD"},
        {"everything", true, true, true, OneToN, 3, 3, false, "KkMmonDT"},
        {"timeOnly", true, false, true, OneToN, 1, 2, false, "KMmSOT"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TTessaryState s;
        s.DKubun = c.dk;
        s.DKMst = c.dkMst;
        s.MKMst = c.mkMst;
        s.Dousa = c.dousa;
        s.SaveType = c.saveType;
        s.TStamp = c.stamp;
        s.SuryouInput = c.quantity;
        EXPECT_EQ(GetSaveDef(s), QString::fromLatin1(c.allowed));
    }
    EXPECT_EQ(GetSDefStr(QStringLiteral("KmoT")),
              (QStringList{"データ区分", "照合元コードマスター参照", "照合OK数", "照合時刻"}));
}

TEST(SaveLayoutTest, FieldsAreCorrectedToTheirSource)
{
    struct Case {
        const char *name;
        const char *allowed;
        TSaveDat before, after;
    };
    const Case cases[] = {
        {"sourceGoneInCountType", "Mon", {'S', 5, 7}, {'M', 5, 7}},
        {"dateBecomesTime", "MSOT", {'D', 1, 10}, {'T', 1, 8}},
        {"timeBecomesDate", "MSOD", {'T', 1, 8}, {'D', 1, 10}},
        {"dateWithoutStamp", "MSO", {'D', 1, 10}, {'M', 1, 10}},
        {"neverSet", "MSO", {0, 0, 0}, {'M', 1, 1}},
        {"countLength", "Mon", {'o', 7, 9}, {'o', 1, 4}},
        {"quantityZero", "MSCO", {'C', 0, 0}, {'C', 1, 1}},
        {"okNg", "MSO", {'O', 4, 9}, {'O', 1, 2}},
        {"startPastLimit", "MSO", {'S', 5000, 4000}, {'S', 3500, 3500}},
        {"specialStart", "MSO", {'M', 9999, 200}, {'M', 9999, 200}},
        {"unknownCode", "MSO", {'Z', 3, 3}, {'M', 3, 3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::array<TSaveDat, SaveFieldMax> fields{};
        fields[15] = c.before; // rows beyond the field count are corrected as well
        CheckSaveDat(fields, QString::fromLatin1(c.allowed), model800());
        EXPECT_EQ(fields[15], c.after);
    }
}

TEST(SaveLayoutTest, RowLengthStaysWithinTheBarcode)
{
    const TModel &m = model800();
    EXPECT_EQ(CheckSDTLen('M', 3400, 200, m), (TSaveDat{'M', 3400, 101}));
    EXPECT_EQ(CheckSDTLen('M', 9999, 200, m), (TSaveDat{'M', 9999, 200}));
    EXPECT_EQ(CheckSDTLen('n', 1, 9, m), (TSaveDat{'n', 1, 4}));
    EXPECT_EQ(CheckSDTLen('S', std::nullopt, std::nullopt, m), (TSaveDat{'S', 1, 1}));
    // A start past BarMaxLen leaves no room: the length shows 1 until the start is corrected.
    EXPECT_EQ(CheckSDTLen('S', 5000, 10, m), (TSaveDat{'S', 5000, 1}));
    EXPECT_EQ(CheckSDTLen('K', 90, 20, *FindModel(900)), (TSaveDat{'K', 90, 10}));
}

TEST(SaveLayoutTest, PanelsSaveTypesAndPreview)
{
    EXPECT_EQ(PanelOf('C'), RowPanel::LengthOnly);
    EXPECT_EQ(PanelOf('o'), RowPanel::LengthOnly);
    EXPECT_EQ(PanelOf('O'), RowPanel::Hidden);
    EXPECT_EQ(PanelOf('D'), RowPanel::Hidden);
    EXPECT_EQ(PanelOf('k'), RowPanel::StartAndLength);
    EXPECT_EQ(SaveTypeItems(OneToOne).size(), 3);
    EXPECT_EQ(SaveTypeItems(OneToN).last(), QStringLiteral("照合OK/NGｶｳﾝﾄ"));
    EXPECT_EQ(SaveTypeFor(3, OneToOne), 2);
    EXPECT_EQ(SaveTypeFor(3, OneToN), 3);
    EXPECT_EQ(TimeStampLetter(3), 'X');
    EXPECT_EQ(TimeStampLetter(7), 'N');
    EXPECT_EQ(TimeStampIndex('T'), 2);
    EXPECT_EQ(TimeStampIndex('?'), 0);

    TTessaryState s;
    s.SaveFields = 3;
    s.SaveDat[0] = {'M', 1, 13};
    s.SaveDat[1] = {'O', 1, 2};
    s.SaveDat[2] = {'k', 1, 1234};
    const QList<PreviewColumn> columns = DspDataLayout(s);
    ASSERT_EQ(columns.size(), 3);
    EXPECT_EQ(columns[0].caption, QStringLiteral("照合元ﾊﾞｰｺｰﾄﾞ"));
    EXPECT_EQ(columns[0].width, 86);
    EXPECT_EQ(columns[0].cell, QStringLiteral("  13"));
    EXPECT_EQ(columns[1].caption, QStringLiteral("照合OK/NG"));
    EXPECT_EQ(columns[2].width, 112);
    EXPECT_EQ(columns[2].cell, QStringLiteral("1234"));
}
