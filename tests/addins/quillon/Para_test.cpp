#include "QuillonTestSupport.h"
#include "addins/quillon/Settings.h"

#include <gtest/gtest.h>

using namespace quillon;
using quillontest::blanks;
using quillontest::field;
using quillontest::model;

namespace {

// BarDatText of validBar(): "AK", fixed length, start 1, length 13.
const QByteArray ValidBarText =
    field("AK", 20) + blanks(32) + "00N0010001" + blanks(32) + "00010013" + "0" + blanks(3);
const QByteArray DefaultOkText = "30" + blanks(14) + "0001" + "01" + "05" + "01" + "0";

// Data kind on (numbers, 横倍) with its barcode and master, saving three fields on condition OK/NG.
QuillonSettings fullSettings()
{
    QuillonSettings s = quillontest::validSettings();
    s.DKubunChk = true;
    s.DKNameSE = QStringLiteral("区分");
    s.DKTypeCB = 1;
    s.DKFontCB = 1;
    s.DKMaxNE = QStringLiteral("40");
    s.DKMinNE = QStringLiteral("2");
    s.DKBarChk = true;
    s.DKBarDat = quillontest::validBar();
    s.DKMstUseChk = true;
    s.DKMstFileSE = QStringLiteral("DKM.DAT");
    s.DKMstErrChk = false;
    s.CmpModeCB = 1;
    s.SKMstUseChk = true;
    s.SKMstFileSE = QStringLiteral("INFO.DAT");
    s.NgDspTimeNE = QStringLiteral("25");
    s.DSaveChk = true;
    s.SaveFileSE = QStringLiteral("RESULT.DAT");
    s.SaveFieldsCB = 2;
    s.SaveTypeCB = 2;
    s.SaveDat[0] = {'#', 1, 8};
    s.SaveDat[1] = {'%', 3, 10};
    s.SaveDat[2] = {'<', 1, 10};
    s.showSaveDat();
    return s;
}

addins::HandOffRequest request(int bht, const QByteArray &para0, const QByteArray &para1, int count = 1)
{
    addins::HandOffRequest r;
    r.keyOpened = true;
    r.GyName = QStringLiteral("照合業務");
    r.BhtType = bht;
    r.SetCount = count;
    r.Para0 = para0;
    r.Para1 = para1;
    r.hasPara1 = !para1.isEmpty();
    return r;
}

void expectWideTextRoundTrip(const QByteArray &record)
{
    EXPECT_EQ(platform::cp932::encode(platform::cp932::decode(record)), record);
}

} // namespace

TEST(QuillonParaTest, GoldenBytesWithDataKindAndSavingOnModel800)
{
    QuillonSettings s = fullSettings();
    const QByteArray para0 = BuildPara0(s);
    const QByteArray expected0 = "1" + field("RESULT.DAT", 14)                                 // 1-15
                                 + "1" + field("区分", 22) + "B" + "1" + "0040" + "0002" + "1" // 16-49
                                 + ValidBarText                                                // 50-155
                                 + "1" + field("DKM.DAT", 14) + "0" + blanks(17)               // 156-188
                                 + field("品番", 22) + "0020" + "0001" + ValidBarText +
                                 field("MASTER.DAT", 14) // 189-338
                                 + blanks(30) + DefaultOkText + "25" + blanks(14) + "0002" + "03" + "01" +
                                 "01" + "0" + blanks(44) + "m0";
    ASSERT_EQ(expected0.size(), 468);
    EXPECT_EQ(para0, expected0);

    const QByteArray para1 = BuildPara1(s, model(800));
    QByteArray expected1 = field("照合", 22) + "1" + ValidBarText + "1" + field("INFO.DAT", 14) + blanks(6) +
                           "03" + "W" + "#00010008" + "%00030010" + "<00010010";
    expected1 += blanks(500 - int(expected1.size()));
    EXPECT_EQ(para1, expected1);
    expectWideTextRoundTrip(para0);
    expectWideTextRoundTrip(para1);
}

TEST(QuillonParaTest, GoldenBytesWithDataKindAndSavingOffOnModel900)
{
    QuillonSettings s = quillontest::validSettings();
    // What the page 1 controls hold is not written while the data kind is off.
    s.DKNameSE = QStringLiteral("区分");
    s.DKBarChk = true;
    s.SaveFileSE = QStringLiteral("IGNORED.DAT");
    const QByteArray para0 = BuildPara0(s);
    const QByteArray expected0 = "0" + blanks(14) + "0" + blanks(172) + field("品番", 22) + "0020" + "0001" +
                                 ValidBarText + field("MASTER.DAT", 14) + blanks(30) + DefaultOkText + "30" +
                                 blanks(14) + "0002" + "03" + "01" + "01" + "0" + blanks(44) + "m0";
    EXPECT_EQ(para0, expected0);
    const QByteArray para1 = BuildPara1(s, model(900));
    EXPECT_EQ(para1, field("照合", 22) + "0" + ValidBarText + "0" + blanks(20) + "011" + blanks(347));
}

TEST(QuillonParaTest, DateKindsWriteTheirDigitsAndKeepTheHiddenBarcodeAndMaster)
{
    const QByteArray kept = "1" + ValidBarText + "1" + field("DKM.DAT", 14) + "0";
    struct Case {
        int type;
        QByteArray letterAndDigits;
    };
    for (const Case &c :
         {Case{3, "W00100010"}, Case{4, "X00080008"}, Case{5, "Y00050005"}, Case{6, "Z00050005"}}) {
        SCOPED_TRACE(c.type);
        QuillonSettings s = fullSettings();
        s.DKTypeCB = c.type;
        s.DKFontCB = 0;
        const QByteArray para0 = BuildPara0(s);
        EXPECT_EQ(para0.mid(38, 10), c.letterAndDigits.left(1) + "0" + c.letterAndDigits.mid(1));
        EXPECT_EQ(para0.mid(48, 123), kept);
        // Read back, the ticks and records are there for the day the type allows them again.
        const QuillonSettings loaded = LoadQuillon(request(800, para0, BuildPara1(s, model(800)))).settings;
        EXPECT_TRUE(loaded.DKBarChk);
        EXPECT_EQ(loaded.DKBarDat, s.DKBarDat);
        EXPECT_TRUE(loaded.DKMstUseChk);
        EXPECT_EQ(loaded.DKMstFileSE, s.DKMstFileSE);
    }
}

TEST(QuillonParaTest, LoadsWhatWasWritten)
{
    for (int bht : {800, 900, 1300}) {
        SCOPED_TRACE(bht);
        QuillonSettings s = fullSettings();
        const QByteArray para0 = BuildPara0(s);
        const QByteArray para1 = BuildPara1(s, model(bht));
        const LoadOutcome loaded = LoadQuillon(request(bht, para0, para1));
        ASSERT_TRUE(loaded.supported);
        EXPECT_EQ(loaded.caption, QStringLiteral("照合業務 設定(BHT-%1)").arg(bht));
        EXPECT_EQ(loaded.settings, s);
        QuillonSettings again = loaded.settings;
        EXPECT_EQ(BuildPara0(again), para0);
        EXPECT_EQ(BuildPara1(again, model(bht)), para1);
    }
    // Saving off, data kind off, 登録順, default signals.
    QuillonSettings plain = quillontest::validSettings();
    const QByteArray p0 = BuildPara0(plain), p1 = BuildPara1(plain, model(800));
    EXPECT_EQ(LoadQuillon(request(800, p0, p1)).settings, plain);
}

TEST(QuillonParaTest, NamesAreCutBetweenCharactersAndReadBackToNameMaxBytes)
{
    QuillonSettings s = quillontest::validSettings();
    s.DKubunChk = true;
    s.DKNameSE = QStringLiteral("あいうえおかきくけこさし"); // 24 bytes
    s.KKNameSE = QStringLiteral("Aあいうえおかきくけこさ");  // 23 bytes
    const QByteArray para0 = BuildPara0(s);
    EXPECT_EQ(para0.mid(16, 22), platform::cp932::encode(u"あいうえおかきくけこさ"));
    EXPECT_EQ(para0.mid(188, 22), platform::cp932::encode(u"Aあいうえおかきくけこ") + " ");
    expectWideTextRoundTrip(para0);

    const QByteArray para1 = BuildPara1(s, model(800));
    const QuillonSettings on800 = LoadQuillon(request(800, para0, para1)).settings;
    EXPECT_EQ(on800.DKNameSE, QStringLiteral("あいうえおかきくけこ"));
    EXPECT_EQ(on800.KKNameSE, QStringLiteral("Aあいうえおかきくけ"));
    // 21 bytes on model 900 would end inside the eleventh character: it is left out whole.
    const QuillonSettings on900 = LoadQuillon(request(900, para0, para1)).settings;
    EXPECT_EQ(on900.DKNameSE, QStringLiteral("あいうえおかきくけこ"));
    EXPECT_EQ(on900.KKNameSE, QStringLiteral("Aあいうえおかきくけこ"));
}

TEST(QuillonParaTest, MissingOrForeignParametersStartFromDefaults)
{
    QuillonSettings defaults;
    defaults.showSaveDat();
    const QByteArray para0 = BuildPara0(fullSettings());
    QuillonSettings full = fullSettings();
    const QByteArray para1 = BuildPara1(full, model(800));

    EXPECT_EQ(LoadQuillon(request(800, para0, para1, 0)).settings, defaults);
    EXPECT_EQ(LoadQuillon(request(800, {}, {}, 0)).settings, defaults);

    // Para1 missing: the collation data reads as empty and as its defaults; the saving is on with
    // one field.
    const QuillonSettings noPara1 = LoadQuillon(request(800, para0, {})).settings;
    EXPECT_EQ(noPara1.SKNameSE, QString());
    EXPECT_EQ(noPara1.SKBarDat.BFmt, FmtFixed);
    EXPECT_FALSE(noPara1.SKBarDat.BGTIN);
    EXPECT_FALSE(noPara1.SKMstUseChk);
    EXPECT_TRUE(noPara1.DSaveChk);
    EXPECT_EQ(noPara1.SaveFieldsCB, 0);
    EXPECT_EQ(noPara1.KKNameSE, QStringLiteral("品番"));
}

TEST(QuillonParaTest, RefusedModelNamesItself)
{
    for (int bht : {0, 600}) {
        const LoadOutcome out = LoadQuillon(request(bht, {}, {}));
        EXPECT_FALSE(out.supported);
        EXPECT_EQ(out.refusal, QStringLiteral("BHT-%1には対応していません。").arg(bht));
    }
    const addins::HandOffReadRules rules = QuillonReadRules();
    EXPECT_EQ(rules.markerPosition, 467);
    EXPECT_EQ(rules.markers, QList<QByteArray>{"m0"});
}

TEST(QuillonParaTest, DigitsAreHeldToTheDisplayLimitOnLoad)
{
    struct Case {
        int bht;
        QByteArray font, max, min;
        QString shownMax, shownMin;
    };
    for (const Case &c :
         {Case{800, "1", "0150", "0001", "90", "1"}, Case{900, "1", "0150", "0001", "40", "1"},
          Case{800, "0", "0150", "0170", "150", "150"}, Case{900, "0", "0150", "0001", "84", "1"},
          Case{800, "0", "0030", "0100", "30", "30"}, Case{800, "0", "0000", "-005", "1", "1"},
          Case{800, "0", "ABCD", "    ", "1", "1"}}) {
        SCOPED_TRACE(c.bht);
        SCOPED_TRACE(c.max.toStdString());
        QByteArray para0 = BuildPara0(quillontest::validSettings());
        para0.replace(15, 1, "1");
        para0.replace(39, 1, c.font);
        para0.replace(40, 4, c.max);
        para0.replace(44, 4, c.min);
        para0.replace(210, 4, c.max); // the search key is not held to a display limit
        para0.replace(214, 4, c.min);
        const QuillonSettings s = LoadQuillon(request(c.bht, para0, {})).settings;
        EXPECT_EQ(s.DKMaxNE, c.shownMax);
        EXPECT_EQ(s.DKMinNE, c.shownMin);
        const int kkMax = std::max(1, int(NumberOf(QString::fromLatin1(c.max)).value_or(1)));
        EXPECT_EQ(s.KKMaxNE, QString::number(kkMax));
    }
}

TEST(QuillonParaTest, SaveFieldCountsFromTheRecord)
{
    QuillonSettings s = fullSettings();
    const QByteArray para0 = BuildPara0(s);
    const QByteArray base = BuildPara1(s, model(800));
    struct Case {
        QByteArray count;
        int length; // of Para1 as stored
        int index;
    };
    for (const Case &c : {Case{"20", 500, 15}, Case{"00", 500, 0}, Case{"05", 500, 4}, Case{"05", 171, 1},
                          Case{"03", 160, 0}, Case{"xx", 500, 0}}) {
        SCOPED_TRACE(c.count.toStdString() + " " + std::to_string(c.length));
        QByteArray para1 = base;
        para1.replace(150, 2, c.count);
        para1.truncate(c.length);
        const QuillonSettings loaded = LoadQuillon(request(800, para0, para1)).settings;
        EXPECT_EQ(loaded.SaveFieldsCB, c.index);
        EXPECT_EQ(loaded.SaveTypeCB, 2);
        // Rows beyond the count read keep their defaults.
        const TSaveDat second = c.index >= 1 ? TSaveDat{'%', 3, 10} : TSaveDat{};
        EXPECT_EQ(loaded.SaveDat[1], second);
    }
}
