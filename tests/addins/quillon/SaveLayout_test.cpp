#include "QuillonTestSupport.h"
#include "addins/quillon/SaveLayout.h"

#include <gtest/gtest.h>

using namespace quillon;
using quillontest::model;

TEST(QuillonSaveLayoutTest, CodesFollowTheDataKind)
{
    EXPECT_EQ(GetSaveDef(false), QByteArray("#*1234567890?<>()"));
    EXPECT_EQ(GetSaveDef(true), QByteArray("#%*1234567890?<>()"));
    const QStringList without = SaveItems(GetSaveDef(false));
    const QStringList with = SaveItems(GetSaveDef(true));
    EXPECT_EQ(without.size(), 17);
    EXPECT_EQ(with.size(), 18);
    EXPECT_FALSE(without.contains(QStringLiteral("ﾃﾞｰﾀ区分ﾃﾞｰﾀ")));
    EXPECT_EQ(with.at(1), QStringLiteral("ﾃﾞｰﾀ区分ﾃﾞｰﾀ"));
    EXPECT_EQ(with.at(3), QStringLiteral("照合ﾃﾞｰﾀ入力ﾊﾞｰｺｰﾄﾞ 1"));
    EXPECT_EQ(with.at(12), QStringLiteral("照合ﾃﾞｰﾀ入力ﾊﾞｰｺｰﾄﾞ 10"));
    EXPECT_EQ(with.at(17), QStringLiteral("時刻(HHMMSS)"));
    EXPECT_TRUE(GetSDefStr("#?").startsWith(QStringLiteral("HtNo\r\nOK/NG\r\n")));
    EXPECT_EQ(CodeAtChoice("#*1", 1), '*');
    EXPECT_EQ(CodeAtChoice("#*1", 7), '1');
    EXPECT_EQ(ChoiceOfCode("#*1", '1'), 2);
    EXPECT_EQ(ChoiceOfCode("#*1", '%'), 0);
}

TEST(QuillonSaveLayoutTest, CheckSaveDatNormalisesEveryRow)
{
    struct Case {
        TSaveDat in;
        bool dataKind;
        int model;
        TSaveDat out;
        RowEdits edits;
    };
    for (const Case &c : {
             Case{{'#', 5, 12}, false, 800, {'#', 1, 8}, RowEdits::LengthOnly},
             Case{{'<', 7, 3}, false, 800, {'<', 1, 10}, RowEdits::None},
             Case{{'>', 7, 3}, false, 800, {'>', 1, 8}, RowEdits::None},
             Case{{'(', 7, 3}, false, 800, {'(', 1, 8}, RowEdits::None},
             Case{{')', 7, 3}, false, 800, {')', 1, 6}, RowEdits::None},
             Case{{'?', 7, 3}, false, 800, {'?', 1, 2}, RowEdits::None},
             Case{{'%', 4, 9}, false, 800, {'*', 4, 9}, RowEdits::StartAndLength},
             Case{{'%', 4, 9}, true, 800, {'%', 4, 9}, RowEdits::StartAndLength},
             Case{{'X', 4, 9}, true, 800, {'*', 4, 9}, RowEdits::StartAndLength},
             Case{{'3', 0, 0}, false, 800, {'3', 1, 1}, RowEdits::StartAndLength},
             Case{{'3', 5000, 4000}, false, 800, {'3', 3500, 3500}, RowEdits::StartAndLength},
             Case{{'0', 9999, 20}, false, 800, {'0', 9999, 20}, RowEdits::StartAndLength},
             Case{{'*', 150, 150}, false, 900, {'*', 99, 99}, RowEdits::StartAndLength},
         }) {
        SCOPED_TRACE(std::string(1, c.in.code) + " " + std::to_string(c.in.top));
        SaveRows rows;
        rows.fill(c.in);
        CheckSaveDat(rows, GetSaveDef(c.dataKind), model(c.model));
        EXPECT_EQ(rows[15], c.out);
        EXPECT_EQ(RowEditsOf(rows[0].code), c.edits);
    }
    EXPECT_EQ(RowMaximaOf('#', model(800)).len, 8);
    EXPECT_EQ(RowMaximaOf('<', model(800)).len, 10);
    EXPECT_EQ(RowMaximaOf('*', model(800)).top, 9999);
    EXPECT_EQ(RowMaximaOf('*', model(900)).len, 99);
}

TEST(QuillonSaveLayoutTest, CheckSDTLenKeepsTheFieldInsideTheBarcode)
{
    struct Case {
        char code;
        QString top, len;
        int model;
        int s, l;
    };
    for (const Case &c : {Case{'*', "3400", "200", 800, 3400, 101}, Case{'*', "9999", "200", 800, 9999, 200},
                          Case{'*', "5000", "20", 800, 3500, 1}, Case{'1', "1", "4000", 800, 1, 3500},
                          Case{'#', "1", "12", 800, 1, 8}, Case{'*', "99", "40", 900, 99, 40},
                          Case{'*', "50", "60", 900, 50, 50}, Case{'*', "", "x", 800, 1, 1}}) {
        SCOPED_TRACE((c.top + " " + c.len).toStdString());
        const TSaveDat row = CheckSDTLen(c.code, c.top, c.len, model(c.model));
        EXPECT_EQ(row.top, c.s);
        EXPECT_EQ(row.len, c.l);
    }
}

TEST(QuillonSaveLayoutTest, StartDigitsOnTheWayToTheSpecialStartAreKept)
{
    struct Case {
        QString text;
        int model;
        bool kept;
    };
    for (const Case &c :
         {Case{"9", 800, true}, Case{"99", 800, true}, Case{"999", 800, true}, Case{"9999", 800, true},
          Case{"3500", 800, true}, Case{"3501", 800, false}, Case{"5000", 800, false}, Case{"99", 900, true},
          Case{"100", 900, false}, Case{"9", 900, true}}) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(StartDigitKept(c.text, model(c.model)), c.kept);
    }
}

TEST(QuillonSaveLayoutTest, PreviewCells)
{
    SaveRows rows;
    rows[0] = {'#', 1, 8};
    rows[1] = {'<', 1, 10};
    rows[2] = {'0', 1, 1234};
    rows[3] = {'*', 1, 20};
    const auto cells = DspDataLayout(rows, 3);
    EXPECT_EQ(cells[0].caption, QStringLiteral("HtNo"));
    EXPECT_EQ(cells[0].width, 40);
    EXPECT_EQ(cells[0].value, QStringLiteral("   8"));
    EXPECT_EQ(cells[1].caption, QStringLiteral("日付(YYY/MM/DD)"));
    EXPECT_EQ(cells[1].width, 110);
    EXPECT_EQ(cells[1].value, QStringLiteral("  10"));
    EXPECT_EQ(cells[2].caption, QStringLiteral("照合ﾃﾞｰﾀ入力ﾊﾞｰｺｰﾄﾞ10"));
    EXPECT_EQ(cells[2].value, QStringLiteral("1234"));
    for (int c = 3; c < SaveRowCount; ++c) {
        EXPECT_EQ(cells[std::size_t(c)].caption, QString()) << c;
        EXPECT_EQ(cells[std::size_t(c)].value, QString()) << c;
    }
}
