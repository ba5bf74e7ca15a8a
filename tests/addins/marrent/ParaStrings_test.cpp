#include "Golden.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/Settings.h"

#include <gtest/gtest.h>

using namespace marrent;

namespace {

ModelLimits model(int bhtType)
{
    return *LimitsOf(bhtType);
}

TBarDat janRecord()
{
    TBarDat bar = InitBarDat();
    bar.BarType = QStringLiteral("A");
    bar.BMax = 13;
    bar.BMin = 13;
    bar.DTop = 1;
    bar.DLen = 13;
    return bar;
}

TBarDat separatedRecord()
{
    TBarDat bar = janRecord();
    bar.BarType = QStringLiteral("QK");
    bar.BMax = 99;
    bar.BFmt = 5;
    bar.BSpCode = 59;
    bar.BChkMode = 1;
    bar.BChkDNo = 2;
    bar.BChkTop = 3;
    bar.BChkStr = QStringLiteral("ZZ");
    bar.DTop = 2;
    bar.DLen = 1;
    return bar;
}

// Every section on.
MarrentSettings everything(const ModelLimits &limits)
{
    MarrentSettings s = DefaultSettings(limits);
    s.picking = true;
    s.remoteMaster = true;
    s.DKUsed = true;
    s.DKName = QStringLiteral("区分");
    s.DKType = 1;
    s.DKMax = 12;
    s.DKMin = 3;
    s.DKBarUsed = true;
    s.DKBarDat = janRecord();
    s.DKMstUsed = true;
    s.DKMstFile = QStringLiteral("KUBUN.DAT");
    s.DKMstField = QStringLiteral("1,10");
    s.DKMstError = true;
    s.DpUsed = true;
    s.DpName = QStringLiteral("伝票");
    s.DpBarUsed = true;
    s.DpBarDat = janRecord();
    s.PKMstFile = QStringLiteral("PICK.DAT");
    s.DpLen = 10;
    s.SCBarDat = separatedRecord();
    s.InpCount = true;
    s.InpCountDigits = 5;
    s.SendUsed = true;
    s.SendFile = QStringLiteral("RESULT.TXT");
    s.SendFType = 1;
    s.SendFieldsIndex = 2;
    s.SendDat[0] = {'D', 12};
    s.SendDat[1] = {'C', 13};
    s.SendDat[2] = {'K', 6};
    s.SendDel = 1;
    return s;
}

// Nothing optional on.
MarrentSettings nothing(const ModelLimits &limits)
{
    MarrentSettings s = DefaultSettings(limits);
    s.PKMstFile = QStringLiteral("PICK.DAT");
    s.SCBarDat = janRecord();
    return s;
}

} // namespace

TEST(ParaStringsTest, EverySectionOnModels800And500)
{
    for (int bht : {800, 500}) {
        SCOPED_TRACE(bht);
        const ModelLimits limits = model(bht);
        const int length = bht == 500 ? 368 : 468;
        const MarrentSettings s = everything(limits);
        const ParaStrings p = EncodeParas(s, limits);
        const QByteArray para0 = Golden(length)
                                     .at(1, "1RESULT.TXT")
                                     .at(16, "P11")
                                     .text(19, QStringLiteral("区分"))
                                     .at(41, "B012031")
                                     .at(48, GetBarDat(janRecord()))
                                     .at(159, "1KUBUN.DAT")
                                     .at(174, "1,10")
                                     .at(184, "1")
                                     .at(189, "1")
                                     .text(190, QStringLiteral("伝票"))
                                     .at(212, "1")
                                     .at(213, GetBarDat(janRecord()))
                                     .at(338, "PICK.DAT")
                                     .at(352, bht == 500 ? "10133206" : "10134006")
                                     .at(length - 1, "P0")
                                     .bytes;
        EXPECT_EQ(p.Para0, para0);
        const QByteArray para1 = Golden(length)
                                     .at(1, GetBarDat(separatedRecord()))
                                     .at(112, "105")
                                     .at(131, "31D12C13K06X01X01X01X01X011")
                                     .bytes;
        EXPECT_EQ(p.Para1, para1);
    }
}

TEST(ParaStringsTest, SectionsOffAreFlagAndBlanks)
{
    for (int bht : {800, 500}) {
        SCOPED_TRACE(bht);
        const ModelLimits limits = model(bht);
        const int length = bht == 500 ? 368 : 468;
        const ParaStrings p = EncodeParas(nothing(limits), limits);
        EXPECT_EQ(p.Para0, Golden(length)
                               .at(1, "0")
                               .at(16, "K00")
                               .at(189, "0")
                               .at(338, "PICK.DAT")
                               .at(352, bht == 500 ? "08133206" : "08134006")
                               .at(length - 1, "P0")
                               .bytes);
        EXPECT_EQ(p.Para1, Golden(length)
                               .at(1, GetBarDat(janRecord()))
                               .at(112, "006")
                               .at(131, "00X01X01X01X01X01X01X01X012")
                               .bytes);

        // The data kind and the voucher kind on with their barcodes and the display master off.
        MarrentSettings partial = everything(limits);
        partial.DKBarUsed = false;
        partial.DKMstUsed = false;
        partial.DpBarUsed = false;
        const QByteArray para0 = EncodeParas(partial, limits).Para0;
        EXPECT_EQ(para0.mid(46, 1 + 111), "0" + QByteArray(111, ' '));
        EXPECT_EQ(para0.mid(158, 1 + 25), "0" + QByteArray(25, ' '));
        EXPECT_EQ(para0.mid(211, 1 + 111), "0" + QByteArray(111, ' '));
        EXPECT_EQ(para0.mid(188, 23),
                  QByteArray("1") + platform::cp932::encode(u"伝票") + QByteArray(18, ' '));
    }
}

TEST(ParaStringsTest, DateTypesKeepTheirHiddenBarcodeAndMaster)
{
    for (int bht : {500, 800, 900}) {
        const ModelLimits limits = model(bht);
        const QByteArray sections = EncodeParas(everything(limits), limits).Para0.mid(46, 138);
        ASSERT_EQ(sections.left(2), QByteArray("1A"));
        for (int type = 3; type <= 10; ++type) {
            SCOPED_TRACE(std::to_string(bht) + " type " + std::to_string(type));
            MarrentSettings s = everything(limits);
            s.DKType = type;
            PrepareForSave(s);
            const QByteArray para0 = EncodeParas(s, limits).Para0;
            EXPECT_EQ(para0.at(40), GetDaType(type));
            EXPECT_EQ(para0.mid(46, 138), sections);
            const MarrentSettings read = DecodeParas(EncodeParas(s, limits), limits);
            EXPECT_TRUE(read.DKBarUsed);
            EXPECT_TRUE(read.DKMstUsed);
            EXPECT_EQ(read.DKMstFile, s.DKMstFile);
        }
    }
}

TEST(ParaStringsTest, NamesAreCutAtACharacterBoundary)
{
    const ModelLimits limits = model(500); // NameMax 16
    MarrentSettings s = everything(limits);
    s.DKName = QStringLiteral("あいうえおかきくけこ");                   // 20 bytes
    s.DpName = QStringLiteral("A") + QStringLiteral("あいうえおかきく"); // 17 bytes
    const QByteArray para0 = EncodeParas(s, limits).Para0;
    EXPECT_EQ(para0.mid(18, 22), platform::cp932::encode(u"あいうえおかきく") + QByteArray(6, ' '));
    EXPECT_EQ(para0.mid(189, 22), platform::cp932::encode(u"Aあいうえおかき") + QByteArray(7, ' '));
}

TEST(ParaStringsTest, WrittenStringsReadBackToTheSameBytes)
{
    for (int bht : {500, 600, 800, 900, 1300}) {
        const ModelLimits limits = model(bht);
        std::vector<MarrentSettings> states = {DefaultSettings(limits), everything(limits), nothing(limits)};
        MarrentSettings partial = everything(limits);
        partial.DKMstUsed = false;
        partial.DpBarUsed = false;
        partial.SendFType = 0;
        partial.SendFieldsIndex = 7;
        SetSendField(partial);
        states.push_back(partial);
        MarrentSettings dated = everything(limits);
        dated.DKType = 10;
        dated.DKWide = true;
        PrepareForSave(dated);
        states.push_back(dated);
        for (std::size_t i = 0; i < states.size(); ++i) {
            SCOPED_TRACE(std::to_string(bht) + " state " + std::to_string(i));
            // Outside its format a separator code reads as 44: the records as a load gives them.
            MarrentSettings state = states[i];
            for (TBarDat *bar : {&state.DKBarDat, &state.DpBarDat, &state.SCBarDat})
                if (bar->BFmt != SeparatorFormat)
                    bar->BSpCode = 44;
            const ParaStrings written = EncodeParas(state, limits);
            ASSERT_EQ(written.Para0.size(), limits.paraLength);
            ASSERT_EQ(written.Para1.size(), limits.paraLength);
            const ParaStrings again = EncodeParas(DecodeParas(written, limits), limits);
            EXPECT_EQ(again.Para0, written.Para0);
            EXPECT_EQ(again.Para1, written.Para1);
        }
    }
}

TEST(ParaStringsTest, ReadingEverythingBack)
{
    const ModelLimits limits = model(800);
    const MarrentSettings s = everything(limits);
    MarrentSettings read = DecodeParas(EncodeParas(s, limits), limits);
    // The separator code of a fixed-length record reads as 44: it has no meaning there.
    EXPECT_EQ(read.DKBarDat.BSpCode, 44);
    read.DKBarDat.BSpCode = read.DpBarDat.BSpCode = 0;
    EXPECT_EQ(read, s);
}

TEST(ParaStringsTest, ManagersInitialStringsLoadAsDefaults)
{
    for (int bht : {500, 800, 900}) {
        SCOPED_TRACE(bht);
        const ModelLimits limits = model(bht);
        for (const QByteArray &para1 : {QByteArray(), QByteArray(468, ' ')}) {
            const MarrentSettings s = DecodeParas({"0" + QByteArray(467, ' '), para1}, limits);
            EXPECT_FALSE(s.picking);
            EXPECT_FALSE(s.DKUsed);
            EXPECT_FALSE(s.DpUsed);
            EXPECT_FALSE(s.SendUsed);
            EXPECT_FALSE(s.InpCount);
            EXPECT_EQ(s.DpLen, 8);
            EXPECT_EQ(s.SCLen, 13);
            EXPECT_EQ(s.SNameLen, bht == 500 ? 32 : bht == 900 ? 21 : 40);
            EXPECT_EQ(s.PKCountLen, 6);
            EXPECT_EQ(s.InpCountDigits, 1);
            EXPECT_EQ(s.SCBarDat, InitBarDat());
            EXPECT_EQ(s.SendDel, 2);
        }
    }
    const MarrentSettings fresh900 = DefaultSettings(model(900));
    EXPECT_EQ(fresh900.SCLen, 21);
    EXPECT_EQ(fresh900.SNameLen, 21);
}

TEST(ParaStringsTest, LoadedValuesAreHeldToTheirControls)
{
    struct Case {
        const char *name;
        int bht;
        Golden para0;
        Golden para1;
        std::function<void(const MarrentSettings &)> check;
    };
    const auto p0 = [] { return Golden(468).at(16, "K").at(467, "P0"); };
    const auto p1 = [] { return Golden(468); };
    const std::vector<Case> cases = {
        {"wide maximum lowered", 800, p0().at(18, "1").at(19, "X").at(41, "A19035"), p1(),
         [](const MarrentSettings &s) {
             EXPECT_EQ(s.DKMax, 40);
             EXPECT_EQ(s.DKMin, 35);
         }},
        {"minimum lowered to maximum", 800, p0().at(18, "1").at(41, "z01290"), p1(),
         [](const MarrentSettings &s) {
             EXPECT_EQ(s.DKType, 10);
             EXPECT_EQ(s.DKMax, 12);
             EXPECT_EQ(s.DKMin, 12);
         }},
        {"lengths held", 900, p0().at(352, "99999999"), p1().at(112, "199"),
         [](const MarrentSettings &s) {
             EXPECT_EQ(s.DpLen, 21);
             EXPECT_EQ(s.SCLen, 21);
             EXPECT_EQ(s.SNameLen, 21);
             EXPECT_EQ(s.PKCountLen, 8);
             EXPECT_EQ(s.InpCountDigits, 8);
         }},
        {"name cut at NameMax", 800, p0().at(18, "1").text(19, QStringLiteral("Aあいうえおかきくけこ")), p1(),
         [](const MarrentSettings &s) { EXPECT_EQ(s.DKName, QStringLiteral("Aあいうえおかきくけ")); }},
        {"count 9 is eight fields, odd code becomes the first offered", 800, p0().at(1, "1R.TXT"),
         p1().at(131, "91C05a10b08c05X06h06Z06g0812"),
         [](const MarrentSettings &s) {
             EXPECT_TRUE(s.SendUsed);
             EXPECT_EQ(s.SendFile, QStringLiteral("R.TXT"));
             EXPECT_EQ(s.SendFieldsIndex, 7);
             EXPECT_EQ(s.SendFType, 1);
             const QByteArray codes = [&] {
                 QByteArray c;
                 for (const ResultField &f : s.SendDat)
                     c += f.code;
                 return c;
             }();
             EXPECT_EQ(codes, QByteArray("CabcChCg"));
             EXPECT_EQ(s.SendDat[4].length, 6); // stored length, not the new code's
             EXPECT_EQ(s.SendDel, 1);
         }},
        {"result fields need all their bytes", 800, p0().at(1, "1R"), Golden(140).at(131, "00D12"),
         [](const MarrentSettings &s) {
             EXPECT_EQ(s.SendFieldsIndex, 0);
             EXPECT_EQ(s.SendDat[0], (ResultField{'a', 10}));
             EXPECT_EQ(s.SendDel, 2);
         }},
        {"blank count is one field; the voucher kind offers N", 800, p0().at(1, "1R").at(189, "1"),
         p1().at(131, " 0N07a1"),
         [](const MarrentSettings &s) {
             EXPECT_EQ(s.SendDat[0], (ResultField{'N', 7}));
             EXPECT_EQ(s.SendDat[1], (ResultField{'b', 8})); // beyond the count: untouched
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.check(DecodeParas({c.para0.bytes, c.para1.bytes}, model(c.bht)));
    }
}
