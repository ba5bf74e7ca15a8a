#include "TessaryTestSupport.h"
#include "addins/tessary/SaveLayout.h"
#include "addins/tessary/TessaryPara.h"
#include "platform/Cp932.h"

#include <gtest/gtest.h>

using namespace tessary;

namespace {

QByteArray sp(int n)
{
    return QByteArray(n, ' ');
}

QByteArray sj(const char *utf8)
{
    return platform::cp932::encode(QString::fromUtf8(utf8));
}

// Text padded with blanks to width bytes.
QByteArray field(const char *utf8, int width)
{
    QByteArray bytes = sj(utf8);
    return bytes + sp(width - int(bytes.size()));
}

const TModel &model(int bhtType)
{
    const TModel *m = FindModel(bhtType);
    EXPECT_NE(m, nullptr) << bhtType;
    return m ? *m : UnknownModel();
}

// A job that uses every part: data kind with barcode and master, 1:N with two pieces, saving.
TTessaryState fullJob(const TModel &m)
{
    TTessaryState s = DefaultState(m);
    s.DSave = true;
    s.SaveFile = QStringLiteral("RESULT.DAT");
    s.DKubun = true;
    s.DKName = QStringLiteral("区分");
    s.DKType = 1;
    s.DKMax = 12;
    s.DKMin = 3;
    s.DKFont = 1;
    s.DKBar = true;
    TBarDat &dk = s.DKBarDat;
    dk.BarType = QStringLiteral("AI");
    dk.BMax = 20;
    dk.BMin = 4;
    dk.BGTIN = true;
    dk.BFmt = 3; // the data kind is always stored fixed length
    dk.BChkMode = 1;
    dk.BChkDNo = 2;
    dk.BChkTop = 5;
    dk.BChkStr = QStringLiteral("49");
    dk.DTop[0] = 3;
    dk.Dlen[0] = 8;
    s.DKMst = true;
    s.DKMstFile = QStringLiteral("ITEM.MST");
    s.DKMstField = QStringLiteral("1,2,3");
    s.DKMstErr = true;

    s.Dousa = OneToN;
    s.CmpDatCnt = 2;
    s.SuryouInput = true; // hidden in 1:N, kept as ticked
    s.MKName = QStringLiteral("商品");
    TBarDat &mk = s.MKBarDat;
    mk.BarType = QStringLiteral("u");
    mk.BarUser = QStringLiteral("ABC");
    mk.BMax = 30;
    mk.BDelCD = true;
    mk.BFmt = 1;
    mk.DIdNo = {2, 3, 0, 0, 0};
    mk.DelChrCn = 2;
    mk.DelChar = QStringLiteral("-/");
    s.SKName = QStringLiteral("照合先");
    TBarDat &ck = s.CKBarDat;
    ck.BarType = QStringLiteral("M");
    ck.BFmt = 1;
    ck.DIdNo[0] = 4;
    ck.DelChrCn = 1;
    ck.DelChar = QStringLiteral("*");

    s.SaveFields = 3;
    s.SaveType = 3;
    s.TStamp = 3;
    s.SaveDat[0] = {'M', 1, 13};
    s.SaveDat[1] = {'o', 1, 3};
    s.SaveDat[2] = {'D', 1, 10};
    return s;
}

// What the strings carry of a state: the parts a load never sees go back to their defaults.
TTessaryState carried(const TTessaryState &state, const TModel &m)
{
    TTessaryState s = NormalisedForSave(state, m);
    const TTessaryState d = DefaultState(m);
    if (!s.DKubun) {
        s.DKName = d.DKName;
        s.DKType = d.DKType;
        s.DKFont = d.DKFont;
        s.DKMax = d.DKMax;
        s.DKMin = d.DKMin;
        s.DKBar = false;
    }
    if (!s.DKBar)
        s.DKBarDat = d.DKBarDat;
    if (!s.DKMst) {
        s.DKMstFile.clear();
        s.DKMstField.clear();
        s.DKMstErr = false;
    }
    if (!s.MKMst) {
        s.MKMstFile.clear();
        s.MKMstField.clear();
        s.SerchDatTop = d.SerchDatTop;
        s.SerchDatLen = d.SerchDatLen;
    }
    if (!s.DSave) {
        s.SaveFile.clear();
        s.SaveFields = d.SaveFields;
        s.SaveType = d.SaveType;
        s.TStamp = d.TStamp;
    }
    for (int i = s.DSave ? s.SaveFields : 0; i < SaveFieldMax; ++i)
        s.SaveDat[std::size_t(i)] = {'M', 1, 1};
    return s;
}

} // namespace

TEST(TessaryParaTest, FullJobOnModel800IsWrittenByteForByte)
{
    const TessaryPara para = SaveState(fullJob(model(800)), model(800));

    const QByteArray para0 =
        "1" +
        field("RESULT.DAT", 14)
        // data kind: name, type B, 12 to 3 digits, double width, from a barcode
        + "1" + field("区分", 22) + "B" + "0012" + "0003" + "1" + "1" + field("AI", 20) + "0020" + "0004" +
        sp(32) + "1" + "0" + "N" + "1" + "02" + "0005" + field("49", 32) + "0003" +
        "0008"
        // 1:N, two pieces; the source
        + "N" + "2" + field("商品", 22) + field("u", 20) + "0030" + "0001" + field("ABC", 32) + "0" + "1" +
        "K" + "0" + "01" + "0001" + sp(32) + "0002" + "0001" + "0001" +
        "0003"
        "0001"
        "0001" +
        "0000"
        "0001"
        "0001" +
        "0000"
        "0001"
        "0001" +
        "0000"
        "0001"
        "0001" +
        "2" + field("-/", 3) + sp(466 - 349) + "D1";
    EXPECT_EQ(para.Para0, para0);

    const QByteArray para1 = field("照合先", 22) + field("M", 20) + "3500" + "0001" + sp(32) + "0" + "0" +
                             "K" + "0" + "01" + "0001" + sp(32) + "0004" + "0001" + "0001" +
                             "0000"
                             "0001"
                             "0001" +
                             "0000"
                             "0001"
                             "0001" +
                             "0000"
                             "0001"
                             "0001" +
                             "0000"
                             "0001"
                             "0001" +
                             "1" + "*" +
                             "1"
                             // three fields, type 4, date and time
                             + "03" + "4" + "X" + "M00010013" + "o00010003" + "D00010010" + sp(144 - 27) +
                             "1" + field("ITEM.MST", 12) + field("1,2,3", 10) + "1" + "0" + sp(30) +
                             field("*", 3) + sp(7);
    EXPECT_EQ(para.Para1, para1);
}

TEST(TessaryParaTest, PlainJobOnModel500HasTheShortPara0)
{
    const TModel &m = model(500);
    TTessaryState s = DefaultState(m);
    s.MKName = QStringLiteral("ABC");
    s.SKName = QStringLiteral("XYZ");
    s.MKBarDat.BarType = QStringLiteral("A");
    s.CKBarDat.BarType = QStringLiteral("A");
    s.CKBarDat.BFmt = 2; // with no pieces the whole data is compared: fixed length
    const TessaryPara para = SaveState(s, m);

    const QByteArray para0 = "0" + sp(14) + "0" + sp(143) + "0" + "0" + field("ABC", 22) + field("A", 20) +
                             "0016" + "0001" + sp(32) + "0" + "0" + "N" + "0" + "01" + "0001" + sp(32) +
                             "0000" + "0001" + "0001" + QByteArray("000000010001").repeated(4) + "0-  " +
                             sp(366 - 349) + "D1";
    EXPECT_EQ(para.Para0.size(), 368);
    EXPECT_EQ(para.Para0, para0);

    const QByteArray para1 = field("XYZ", 22) + field("A", 20) + "3500" + "0001" + sp(32) + "0" + "0" + "N" +
                             "0" + "01" + "0001" + sp(32) + "0001" + "0001" + "0001" +
                             QByteArray("000000010001").repeated(4) + "0-" + "0" + "0" + sp(335 - 188) + "0" +
                             sp(23) + "0" + sp(30) + sp(3) + sp(7);
    EXPECT_EQ(para.Para1, para1);
}

TEST(TessaryParaTest, SavedStatesLoadBackAndSurviveTheWideStore)
{
    struct Case {
        const char *name;
        int bhtType;
        std::function<void(TTessaryState &)> edit;
    };
    const std::vector<Case> cases{
        {"full800", 800, [](TTessaryState &) {}},
        {"full300", 300, [](TTessaryState &) {}},
        {"oneToOneQuantity900", 900,
         [](TTessaryState &s) {
             s.Dousa = OneToOne;
             s.SaveType = 2;
             s.SaveDat[1] = {'C', 1, 4};
             s.SaveDat[2] = {'O', 1, 2};
             s.CKBarDat.BMax = 99;
             s.CKBarDat.BChkMode = 2;
             s.CKBarDat.BChkTop = 999; // the special position beyond BarMaxLen
             s.CKBarDat.BChkStr = QStringLiteral("ｱｲｳ漢字");
         }},
        {"dateTypeNoBarcode7080", 7080,
         [](TTessaryState &s) {
             s.DKType = 3;
             s.DKBar = false;
             s.DKMax = 10;
             s.DKMin = 10;
             s.DKFont = 0;
             s.MKMst = true;
             s.MKMstFile = QStringLiteral("SRC.MST");
             s.MKMstField = QStringLiteral("10,20");
             s.SerchDatTop = 9999;
             s.SerchDatLen = 3500;
         }},
        {"sixteenFields1300", 1300,
         [](TTessaryState &s) {
             s.SaveFields = 16;
             for (int i = 3; i < 16; ++i)
                 s.SaveDat[std::size_t(i)] = {'S', i * 100, 3500 - i * 100 + 1};
             s.SaveType = 1; // S is a source unless the count type is saved
             s.DKName = QStringLiteral("漢字漢字漢字漢字漢字"); // 20 bytes, NameMax on 1300
         }},
        {"nothingSaved600", 600,
         [](TTessaryState &s) {
             s.DSave = false;
             s.DKubun = false;
             s.DKMst = false;
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TModel &m = model(c.bhtType);
        TTessaryState s = fullJob(m);
        c.edit(s);
        const TessaryPara para = SaveState(s, m);
        EXPECT_EQ(para.Para0.size(), m.para0Length);
        EXPECT_EQ(para.Para1.size(), Para1Length);
        for (const QByteArray &p : {para.Para0, para.Para1})
            EXPECT_EQ(platform::cp932::encode(platform::cp932::decode(p)), p);
        const TTessaryState loaded = LoadState(para.Para0, para.Para1, m);
        // A quantity box ticked before the switch to 1:N is written as ticked but not read back:
        // the box exists in 1:1 only.
        TTessaryState expected = carried(s, m);
        QByteArray expected1 = para.Para1;
        if (s.Dousa == OneToN) {
            expected.SuryouInput = false;
            expected1[186] = '0';
        }
        EXPECT_EQ(loaded, expected);
        EXPECT_EQ(SaveState(loaded, m).Para0, para.Para0);
        EXPECT_EQ(SaveState(loaded, m).Para1, expected1);
    }
}

TEST(TessaryParaTest, MarkerAtTheModelsPositionOnly)
{
    const TessaryPara on800 = SaveState(fullJob(model(800)), model(800));
    // A 468-byte string on model 500 has its "D1" where that model does not look.
    EXPECT_EQ(LayoutOf(on800.Para0, model(500)), ParaLayout::None);
    EXPECT_EQ(LoadState(on800.Para0, on800.Para1, model(500)), DefaultState(model(500)));
    EXPECT_EQ(LayoutOf(on800.Para0, model(800)), ParaLayout::D1);
    QByteArray other = on800.Para0;
    other.replace(466, 2, "X1");
    EXPECT_EQ(LoadState(other, on800.Para1, model(800)), DefaultState(model(800)));
}

TEST(TessaryParaTest, DefaultsOfAJobWithoutParameters)
{
    const TTessaryState s = DefaultState(model(900));
    EXPECT_EQ(s.CKBarDat.BMax, 99); // the target reads up to BarMaxLen
    EXPECT_EQ(s.MKBarDat, InitBarDat());
    EXPECT_EQ(s.DKBarDat, InitBarDat());
    EXPECT_EQ(s.Dousa, OneToOne);
    EXPECT_EQ(s.SaveFields, 2);
    EXPECT_EQ(s.SaveDat[0], (TSaveDat{'M', 1, 1}));
    EXPECT_EQ(s.SaveDat[15], (TSaveDat{'M', 1, 1}));
}

TEST(TessaryParaTest, OlderLayoutKeepsOneTargetDeleteCharacter)
{
    const TModel &m = model(800);
    TessaryPara para = SaveState(fullJob(m), m);
    para.Para0.replace(466, 2, "D0");
    para.Para1.replace(184, 2, "1-");
    para.Para1.replace(390, 3, "abc"); // not read in the older layout
    const TTessaryState s = LoadState(para.Para0, para.Para1, m);
    EXPECT_EQ(s.CKBarDat.DelChrCn, 1);
    EXPECT_EQ(s.CKBarDat.DelChar, QStringLiteral("-"));
    const TessaryPara again = SaveState(s, m);
    EXPECT_EQ(again.Para0.mid(466), "D1");
    EXPECT_EQ(again.Para1.mid(184, 2), "1-");
    EXPECT_EQ(again.Para1.mid(390, 3), "-  ");
}

TEST(TessaryParaTest, LoadedValuesAreBroughtToWhatTheFormShows)
{
    struct Case {
        const char *name;
        int bhtType;
        std::function<void(QByteArray &p0, QByteArray &p1)> damage;
        std::function<void(const TTessaryState &)> expect;
    };
    const std::vector<Case> cases{
        {"wideDigitsCapped", 800, [](QByteArray &p0, QByteArray &) { p0.replace(39, 8, "00600070"); },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.DKMax, 40);
             EXPECT_EQ(s.DKMin, 40);
         }},
        {"checkStartOnModel900", 900, [](QByteArray &, QByteArray &p1) { p1.replace(22 + 63, 7, "1010999"); },
         [](const TTessaryState &s) { EXPECT_EQ(s.CKBarDat.BChkTop, 999); }},
        {"checkStartCutOnModel900", 900,
         [](QByteArray &, QByteArray &p1) { p1.replace(22 + 63, 7, "1010500"); },
         [](const TTessaryState &s) { EXPECT_EQ(s.CKBarDat.BChkTop, 99); }},
        {"deleteCountFour", 800, [](QByteArray &p0, QByteArray &) { p0.replace(345, 4, "4abc"); },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.MKBarDat.DelChrCn, 0);
             EXPECT_EQ(s.MKBarDat.DelChar, QString());
         }},
        {"countTypeInOneToOne", 800, [](QByteArray &p0, QByteArray &) { p0[159] = '0'; },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.Dousa, OneToOne);
             EXPECT_EQ(s.SaveType, 2);
             EXPECT_TRUE(s.SuryouInput);
             // o is no source in 1:1: the field falls back to the source barcode
             EXPECT_EQ(s.SaveDat[1], (TSaveDat{'M', 1, 3}));
         }},
        {"quantityByteInOneToN", 800, [](QByteArray &, QByteArray &p1) { p1[186] = '1'; },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.Dousa, OneToN);
             EXPECT_FALSE(s.SuryouInput);
         }},
        {"noQuantityInOneToOne", 800,
         [](QByteArray &p0, QByteArray &p1) {
             p0[159] = '0';
             p1[186] = '0';
         },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.Dousa, OneToOne);
             EXPECT_FALSE(s.SuryouInput);
         }},
        {"negativeNumbers", 800,
         [](QByteArray &p0, QByteArray &) {
             p0.replace(183 + 20, 4, "-005");  // BMax
             p0.replace(183 + 106, 4, "-001"); // DTop of piece 1
             p0.replace(297 + 4, 4, "-002");   // DTop of piece 2
         },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.MKBarDat.BMax, 1);
             EXPECT_EQ(s.MKBarDat.BMin, 1);
             EXPECT_EQ(s.MKBarDat.DTop[0], 1);
             EXPECT_EQ(s.MKBarDat.DTop[1], 1);
         }},
        {"fieldCountAndTypeOutOfRange", 800, [](QByteArray &, QByteArray &p1) { p1.replace(187, 3, "997"); },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.SaveFields, 16);
             EXPECT_EQ(s.SaveType, 3);
         }},
        {"missingPara1", 800, [](QByteArray &, QByteArray &p1) { p1.clear(); },
         [](const TTessaryState &s) {
             EXPECT_EQ(s.SKName, QString());
             EXPECT_EQ(s.CKBarDat.BarType, QString());
             EXPECT_FALSE(s.DKMst);
             EXPECT_EQ(s.SaveFields, 1);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TModel &m = model(c.bhtType);
        TessaryPara para = SaveState(fullJob(m), m);
        c.damage(para.Para0, para.Para1);
        c.expect(LoadState(para.Para0, para.Para1, m));
    }
}

TEST(TessaryParaTest, WholeDataCollationIsStoredFixedLength)
{
    const TModel &m = model(800);
    TTessaryState s = fullJob(m);
    s.CmpDatCnt = 0;
    s.MKBarDat.BFmt = 1;
    const TessaryPara para = SaveState(s, m);
    EXPECT_EQ(para.Para0.at(183 + 62), 'N');
    EXPECT_EQ(para.Para1.at(22 + 62), 'N');
}

TEST(TessaryParaTest, ModelTable)
{
    EXPECT_EQ(FindModel(0), nullptr);
    EXPECT_EQ(FindModel(700), nullptr);
    const TModel &m = model(7080);
    EXPECT_EQ(m.suffix, QStringLiteral("(BHT-7000/8000)"));
    EXPECT_EQ(m.NameMax, 21);
    EXPECT_EQ(m.BarMaxLen, 99);
    EXPECT_EQ(m.SpTopPos, 999);
    EXPECT_EQ(m.DKMaxStd, 42);
    EXPECT_EQ(m.DKMaxWide, 20);
    EXPECT_EQ(model(300).para0Length, 368);
    EXPECT_EQ(model(1300).para0Length, 468);
    EXPECT_EQ(UnknownModel().BarMaxLen, 3500);
    EXPECT_EQ(UnknownModel().SpTopPos, 9999);
}

// Found by fuzzing the loads: a NUL among the delete characters of a damaged Para1 was saved back.
TEST(TessaryParaTest, ANulInTheDeleteCharactersIsNotSaved)
{
    const TModel &m = *FindModel(800);
    const TessaryPara written = SaveState(DefaultState(m), m);
    QByteArray para1 = written.Para1;
    para1.replace(184, 1, "1");
    para1.replace(390, 1, QByteArray(1, '\0'));
    const TessaryPara again = SaveState(LoadState(written.Para0, para1, m), m);
    EXPECT_EQ(again.Para1.size(), Para1Length);
    EXPECT_FALSE(again.Para0.contains('\0'));
    EXPECT_FALSE(again.Para1.contains('\0'));
}
