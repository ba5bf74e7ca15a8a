#include "QuillonTestSupport.h"
#include "addins/quillon/DataType.h"

#include <gtest/gtest.h>

using namespace quillon;
using quillontest::blanks;
using quillontest::field;
using quillontest::model;

TEST(QuillonModelTest, LimitsPerModelAndRefusedModels)
{
    const ModelLimits m800 = model(800), m900 = model(900), m1300 = model(1300);
    EXPECT_EQ(m800.captionSuffix, QStringLiteral("(BHT-800)"));
    EXPECT_EQ(m900.captionSuffix, QStringLiteral("(BHT-900)"));
    EXPECT_EQ(m1300.captionSuffix, QStringLiteral("(BHT-1300)"));
    for (const ModelLimits &m : {m800, m1300}) {
        EXPECT_EQ(m.NameMax, 20);
        EXPECT_EQ(m.BarMaxLen, 3500);
        EXPECT_EQ(m.SpTopPos, 9999);
        EXPECT_EQ(m.PosMaxDegits, 4);
        EXPECT_EQ(m.DKMaxStd, 180);
        EXPECT_EQ(m.DKMaxWide, 90);
    }
    EXPECT_EQ(m900.NameMax, 21);
    EXPECT_EQ(m900.BarMaxLen, 99);
    EXPECT_EQ(m900.SpTopPos, 99);
    EXPECT_EQ(m900.PosMaxDegits, 2);
    EXPECT_EQ(m900.DKMaxStd, 84);
    EXPECT_EQ(m900.DKMaxWide, 40);
    for (int refused : {0, 300, 600, 801, -800})
        EXPECT_FALSE(LimitsOf(refused).has_value()) << refused;
}

TEST(QuillonRecordsTest, BarDatTextGoldenBytesAndBack)
{
    TBarDat bar;
    bar.BarType = QStringLiteral("AiK");
    bar.BGTIN = true;
    bar.BFmt = FmtSeparator;
    bar.SVChar = u',';
    bar.BChkMode = 1;
    bar.BChkDNo = 2;
    bar.BChkTop = 3;
    bar.BChkStr = QStringLiteral("49");
    bar.DTop = 2;
    bar.Dlen = 13;
    bar.DelChar = QStringLiteral("-/");
    const QByteArray expected = field("AiK", 20) + blanks(32) + "10" + "," + "1" + "02" + "0003" +
                                field("49", 32) + "0002" + "0013" + "2" + "-/ ";
    ASSERT_EQ(expected.size(), 106);
    EXPECT_EQ(GetBarDat(bar), expected);
    EXPECT_EQ(SetBarDat(expected, model(800)), bar);

    // The defaults: fixed length, no check, no delete characters.
    const QByteArray initial = blanks(52) + "00N0010001" + blanks(32) + "00010020" + "0" + blanks(3);
    EXPECT_EQ(GetBarDat(InitBarDat()), initial);
    EXPECT_EQ(SetBarDat(initial, model(900)), InitBarDat());
}

TEST(QuillonRecordsTest, FormatLetters)
{
    struct Case {
        char letter;
        int format;
        QChar separator;
    };
    for (const Case &c : {Case{'N', FmtFixed, {}}, Case{'S', FmtSpace, {}}, Case{'T', FmtTab, {}},
                          Case{'C', FmtCr, {}}, Case{'A', FmtLetterA, {}}, Case{';', FmtSeparator, u';'},
                          Case{'\xa5', FmtSeparator, u'･'}, Case{'@', FmtSeparator, u'@'}}) {
        SCOPED_TRACE(c.letter);
        TBarDat bar;
        SetBFmt(c.letter, bar);
        EXPECT_EQ(bar.BFmt, c.format);
        EXPECT_EQ(bar.SVChar, c.separator);
        EXPECT_EQ(GetBFmt(bar), c.letter);
    }
    // A separated format without its character is never written as a NUL byte.
    TBarDat none;
    none.BFmt = FmtSeparator;
    EXPECT_EQ(GetBFmt(none), ' ');
    EXPECT_EQ(BFmtItemsText(),
              QStringLiteral("固定長\r\nｽﾍﾟｰｽ区切り\r\nﾀﾌﾞ記号区切り\r\nCR記号区切り\r\n区切り文字指定\r\n"));
}

TEST(QuillonRecordsTest, SetBarDatHoldsReadValuesToTheirRanges)
{
    const auto text = [](QByteArray mode, QByteArray dno, QByteArray top, QByteArray del) {
        return blanks(20) + field("CODE", 32) + "01" + "N" + mode + dno + top + field("X", 32) + "0005" +
               "0010" + del;
    };
    struct Case {
        const char *name;
        QByteArray record;
        int model;
        int mode, dno, top;
        QString chk, del;
    };
    for (const Case &c : {
             Case{"mode cut to 2", text("7", "03", "0004", "0   "), 800, 2, 3, 4, "X", ""},
             Case{"no check keeps the defaults", text("0", "03", "0004", "1-  "), 800, 0, 1, 1, "", "-"},
             Case{"negative number and start", text("1", "-1", "-001", "3 a "), 800, 1, 1, 1, "X", " a "},
             Case{"start past 3500", text("1", "01", "5000", "4abc"), 800, 1, 1, 3500, "X", ""},
             Case{"start 9999 kept", text("2", "01", "9999", "2ab "), 800, 2, 1, 9999, "X", "ab"},
             Case{"start past 99 on 900", text("1", "01", "0150", "0   "), 900, 1, 1, 99, "X", ""},
         }) {
        SCOPED_TRACE(c.name);
        const TBarDat bar = SetBarDat(c.record, model(c.model));
        EXPECT_EQ(bar.BarUser, QStringLiteral("CODE"));
        EXPECT_FALSE(bar.BGTIN);
        EXPECT_TRUE(bar.BDelCD);
        EXPECT_EQ(bar.BChkMode, c.mode);
        EXPECT_EQ(bar.BChkDNo, c.dno);
        EXPECT_EQ(bar.BChkTop, c.top);
        EXPECT_EQ(bar.BChkStr, c.chk);
        EXPECT_EQ(bar.DTop, 5);
        EXPECT_EQ(bar.Dlen, 10);
        EXPECT_EQ(bar.DelChar, c.del);
    }
}

TEST(QuillonRecordsTest, BzDatTextGoldenBytesAndNormalisation)
{
    TBzDat bz{QStringLiteral("BEEP.WAV"), 2000, 3, 5, 1, 2};
    const QByteArray golden = "15" + field("BEEP.WAV", 14) + "2000" + "03" + "05" + "01" + "2";
    EXPECT_EQ(GetBzDat(bz, QStringLiteral("15")), golden);
    const BzDatRead back = SetBzDat(golden);
    EXPECT_EQ(back.bz, bz);
    EXPECT_EQ(back.displayTime, 15);
    // An empty display time is written as 30.
    EXPECT_EQ(GetBzDat(DefaultOkBz(), QString()), "30" + blanks(14) + "0001" + "01" + "05" + "01" + "0");

    struct Case {
        QByteArray record;
        int display, hz, count, vib;
    };
    for (const Case &c : {Case{"00" + blanks(14) + "0030" + "02" + "01" + "01" + "1", 0, 62, 2, 1},
                          Case{"-1" + blanks(14) + "0003" + "00" + "01" + "01" + "2", 30, 62, 0, 2},
                          Case{"99" + blanks(14) + "0061" + "-1" + "01" + "01" + "3", 99, 62, 1, 0},
                          Case{"  " + blanks(14) + "0002" + "01" + "01" + "01" + "9", 30, 2, 1, 0},
                          Case{"12" + blanks(14) + "0000" + "01" + "01" + "01" + "0", 12, 0, 1, 0},
                          Case{"12" + blanks(14) + "9999" + "01" + "01" + "01" + "0", 12, 5000, 1, 0},
                          Case{"12" + blanks(14) + "-005" + "01" + "01" + "01" + "0", 12, 1, 1, 0},
                          Case{"12" + blanks(14) + "0062" + "01" + "01" + "01" + "0", 12, 62, 1, 0}}) {
        SCOPED_TRACE(c.record.toStdString());
        const BzDatRead read = SetBzDat(c.record);
        EXPECT_EQ(read.displayTime, c.display);
        EXPECT_EQ(read.bz.BzHz, c.hz);
        EXPECT_EQ(read.bz.Count, c.count);
        EXPECT_EQ(read.bz.BpVib, c.vib);
    }
}

// Found by fuzzing the loads: a damaged barcode text must not carry a NUL into its delete
// characters nor a negative position, both of which the save wrote back broken.
TEST(QuillonBarDatTest, DamagedTextSavesWhole)
{
    QByteArray text = GetBarDat(InitBarDat());
    text.replace(94, 8, " -99-123");
    text.replace(102, 4, QByteArray("2\0X ", 4));
    const TBarDat bar = SetBarDat(text, model(800));
    EXPECT_GE(bar.DTop, 0);
    EXPECT_GE(bar.Dlen, 0);
    EXPECT_FALSE(bar.DelChar.contains(QChar(0)));
    const QByteArray saved = GetBarDat(bar);
    EXPECT_EQ(saved.size(), BarDatTextLength);
    EXPECT_FALSE(saved.contains('\0'));
    EXPECT_EQ(GetBarDat(SetBarDat(saved, model(800))), saved);
}
