#include "jobs/DataType.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
static void PrintTo(const QChar &c, std::ostream *os)
{
    *os << '\'' << QString(c).toStdString() << "' (U+" << std::hex << int(c.unicode()) << std::dec << ')';
}

namespace {

struct TypeDefaults {
    char letter;
    int kdType;
    int kdSize;
    int kdLen;
    const char *kdMax;
    char kdefType;
};

class InitKoDataByType : public testing::TestWithParam<TypeDefaults> {};

TEST_P(InitKoDataByType, GivesTheDefaultsOfItsType)
{
    const TypeDefaults &t = GetParam();
    TKoData item;
    InitKoData(item, QStringLiteral("項目"), QChar::fromLatin1(t.letter));
    EXPECT_EQ(item.KName, QStringLiteral("項目"));
    EXPECT_EQ(item.KDType, t.kdType);
    EXPECT_EQ(item.KDSize, t.kdSize);
    EXPECT_EQ(item.KDLen, t.kdLen);
    EXPECT_EQ(item.KDMax, QString::fromLatin1(t.kdMax));
    EXPECT_EQ(item.KDMin, QStringLiteral("1"));
    EXPECT_EQ(item.KDefType, QChar::fromLatin1(t.kdefType));
    EXPECT_EQ(item.KDfColor, 0);
    EXPECT_EQ(item.KDbColor, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Types, InitKoDataByType,
    testing::Values(TypeDefaults{'A', 0, 0, 20, "20", '0'}, TypeDefaults{'B', 1, 0, 20, "20", '0'},
                    TypeDefaults{'C', 2, 0, 20, "20", '0'}, TypeDefaults{'a', 3, 1, 8, "99999999", '0'},
                    TypeDefaults{'b', 4, 1, 8, "9999999", '0'}, TypeDefaults{'c', 5, 1, 7, "9999999", '0'},
                    TypeDefaults{'W', 6, 1, 10, "10", '3'}, TypeDefaults{'X', 7, 1, 8, "8", '3'},
                    TypeDefaults{'Y', 8, 1, 5, "5", '3'}, TypeDefaults{'Z', 9, 1, 5, "5", '3'},
                    // Outside the table: the string defaults.
                    TypeDefaults{'Q', 0, 0, 20, "20", '0'}, TypeDefaults{'w', 0, 0, 20, "20", '0'}),
    [](const testing::TestParamInfo<TypeDefaults> &info) {
        return std::string("letter_") + info.param.letter;
    });

TEST(InitKoData, ClearsWhatTheItemHeldAndSetsTheCommonDefaults)
{
    TKoData item;
    item.KBar = QStringLiteral("AQ");
    item.KDefDat = QStringLiteral("old");
    item.KMstFlag = true;
    item.KMFNo = 7;
    item.FWAiCd[3] = QStringLiteral("01");
    item.FWCount = 4;
    item.QDNo[2] = 5;
    item.KBCmpMode = u'3';
    item.KDNext = 2;

    InitKoData(item, QStringLiteral("新"), u'A');

    EXPECT_EQ(item.KBar, QString());
    EXPECT_EQ(item.KDefDat, QString());
    EXPECT_FALSE(item.KMstFlag);
    EXPECT_EQ(item.KMFNo, 0);
    EXPECT_EQ(item.FWAiCd[3], QString());
    EXPECT_EQ(item.FWCount, 0);
    EXPECT_EQ(item.QDNo[2], 0);
    EXPECT_TRUE(item.KBCmpMode.isNull());
    EXPECT_EQ(item.KDNext, 0);

    EXPECT_EQ(item.DspNX, 1);
    EXPECT_EQ(item.DspNY, 1);
    EXPECT_EQ(item.DspDX, 1);
    EXPECT_EQ(item.DspDY, 1);
    EXPECT_EQ(item.KNfColor, 0);
    EXPECT_EQ(item.KNbColor, 1);
    EXPECT_TRUE(item.KDSaveFlg);
    EXPECT_EQ(item.KDInpMode, 1);
    EXPECT_EQ(item.KBMax, 16);
    EXPECT_EQ(item.KBMin, 1);
    EXPECT_EQ(item.KBChkDNo, 1);
    EXPECT_EQ(item.KBChkTop, 1);
    EXPECT_EQ(item.KBChkLen, 1);
    EXPECT_EQ(item.KBCmpID, QChar(u'0'));
    EXPECT_EQ(item.KMFKeyTop, 1);
    EXPECT_EQ(item.KMFKeyLen, 1);
    for (int i = 0; i < MaxFWCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item.FWDstKo[i], i);
        EXPECT_EQ(item.FWTop[i], 1);
        EXPECT_EQ(item.FWLength[i], 10);
        EXPECT_EQ(item.FWDatNo[i], i + 1);
    }
}

TAddGyDat templateOfMode(int mode)
{
    TAddGyDat add;
    add.GyName = QStringLiteral("入荷");
    add.GyMode = mode;
    add.DspTotal = true;
    add.PName = QStringLiteral("PRG.PD4");
    add.RName = QStringLiteral("R.DAT");
    add.RcvProto = 2;
    add.FName = QStringLiteral("D**##.DAT");
    add.AddIDChk = true;
    add.TStamp = 3;
    add.TSLoc = 0;
    add.AddInCount = 2;
    add.AddInData[0] = "first";
    add.AddInData[2] = "third";
    return add;
}

TEST(InitGyData, ModeBJobHasCodeAndQuantityAndAddsQuantities)
{
    TGyData job;
    job.GrCount = 3;
    job.GrKoDa[0].KName = QStringLiteral("old");
    InitGyData(job, templateOfMode(1));

    EXPECT_EQ(job.GyName, QStringLiteral("入荷"));
    EXPECT_EQ(job.GyMode, 1);
    EXPECT_TRUE(job.DspTotal);
    EXPECT_TRUE(job.DaAddNum);
    EXPECT_EQ(job.GrCount, 0);
    EXPECT_EQ(job.GrKoDa[0].KName, QString());
    ASSERT_EQ(job.DaCount, 2);
    EXPECT_EQ(job.DaKoDa[0].KName, QStringLiteral("商品コード"));
    EXPECT_EQ(job.DaKoDa[0].KDType, 0);
    EXPECT_EQ(job.DaKoDa[0].KDLen, 20);
    EXPECT_EQ(job.DaKoDa[1].KName, QStringLiteral("数量"));
    EXPECT_EQ(job.DaKoDa[1].KDType, 4);
    EXPECT_EQ(job.DaKoDa[1].KDLen, 8);
    EXPECT_EQ(job.DaKoDa[1].KDSize, 1);
}

TEST(InitGyData, OtherModesHaveOneDataItemAndNoTotal)
{
    for (int mode : {0, 2, 5, 7}) {
        SCOPED_TRACE(mode);
        TGyData job;
        job.DaKoDa[1].KName = QStringLiteral("left over");
        job.TmpDaNo = 4;
        InitGyData(job, templateOfMode(mode));
        EXPECT_FALSE(job.DspTotal);
        EXPECT_FALSE(job.DaAddNum);
        ASSERT_EQ(job.DaCount, 1);
        EXPECT_EQ(job.DaKoDa[0].KName, QStringLiteral("新しいデータ項目"));
        EXPECT_EQ(job.DaKoDa[0].KDType, 0);
        // Items past the defaults are zero-filled, not given item defaults.
        EXPECT_EQ(job.DaKoDa[1].KName, QString());
        EXPECT_FALSE(job.DaKoDa[1].KDSaveFlg);
        EXPECT_EQ(job.DaKoDa[1].DspNX, 0);
        EXPECT_EQ(job.TmpDaNo, 0);
    }
}

TEST(InitGyData, CopiesTheTemplateFields)
{
    TGyData job;
    InitGyData(job, templateOfMode(7));
    EXPECT_EQ(job.PName, QStringLiteral("PRG.PD4"));
    EXPECT_EQ(job.RName, QStringLiteral("R.DAT"));
    EXPECT_EQ(job.RcvProto, 2);
    EXPECT_EQ(job.FName, QStringLiteral("D**##.DAT"));
    EXPECT_TRUE(job.AddIDChk);
    EXPECT_EQ(job.TStamp, 3);
    EXPECT_EQ(job.TSLoc, 0);
    EXPECT_EQ(job.AddInCount, 2);
    EXPECT_EQ(job.AddInData[0], QByteArray("first"));
    EXPECT_EQ(job.AddInData[1], QByteArray());
    EXPECT_EQ(job.AddInData[2], QByteArray("third"));
}

class NewSet : public testing::Test {
protected:
    void SetUp() override
    {
        set = std::make_unique<TSetData>();
        // A set that was in use: InitSetData must not keep any of it.
        set->GyCount = 7;
        set->TmpGyNo = 5;
        set->MstNum = 12;
        set->MstDat[3].MFName = QStringLiteral("M.DAT");
        set->MstDat[3].QDNum = 4;
        set->MstDat[3].UseCount = 2;
        set->GyData[4].GrCount = 3;
        set->BzWavFile[2] = QStringLiteral("A.WAV");
        set->BzSet[5] = {900, 9, 9, 9};
        set->BtDat.DevName = QStringLiteral("X");
        set->ComPrg1 = QStringLiteral("C.PD4");
        InitSetData(*set);
    }
    std::unique_ptr<TSetData> set;
};

TEST_F(NewSet, HoldsOneModeAJobWithOneStringItem)
{
    EXPECT_EQ(set->GyCount, 1);
    EXPECT_EQ(set->TmpGyNo, 0);
    for (int j = 0; j < MaxGyCount; ++j) {
        SCOPED_TRACE(j);
        const TGyData &job = set->GyData[j];
        EXPECT_EQ(job.GyName, QStringLiteral("新しい業務"));
        EXPECT_EQ(job.GyMode, 0);
        EXPECT_EQ(job.GrCount, 0);
        ASSERT_EQ(job.DaCount, 1);
        EXPECT_EQ(job.DaKoDa[0].KName, QStringLiteral("新しいデータ項目"));
        EXPECT_EQ(job.DaKoDa[0].KDType, 0);
        EXPECT_EQ(job.DaKoDa[0].KDLen, 20);
        EXPECT_EQ(job.DaKoDa[0].KDSize, 0);
        EXPECT_EQ(job.RcvProto, 1);
        EXPECT_EQ(job.TSLoc, 1);
        EXPECT_EQ(job.TStamp, 0);
        EXPECT_FALSE(job.AddIDChk);
        EXPECT_EQ(job.AddInCount, 0);
    }
}

TEST_F(NewSet, TemplateCarriesTheBlankAddInBlocks)
{
    const TAddGyDat &add = set->AddGyDat;
    EXPECT_EQ(add.GyName, QStringLiteral("新しい業務"));
    EXPECT_EQ(add.GyMode, 0);
    EXPECT_EQ(add.RcvProto, 1);
    EXPECT_EQ(add.TSLoc, 1);
    EXPECT_EQ(add.AddInCount, 0);
    EXPECT_EQ(add.AddInData[0], QByteArray("0") + QByteArray(467, ' '));
    for (int k = 1; k < AddInBlockCount; ++k)
        EXPECT_EQ(add.AddInData[k], QByteArray(500, ' ')) << k;
}

TEST_F(NewSet, HasNoMastersAndDefaultMasterEntries)
{
    EXPECT_EQ(set->MstNum, 0);
    for (const TMstDat &m : set->MstDat) {
        EXPECT_EQ(m.MFName, QString());
        EXPECT_EQ(m.QDNum, 1);
        EXPECT_EQ(m.KeySize, 13);
        for (int w : m.QDSize)
            EXPECT_EQ(w, 10);
    }
    // A new set keeps the use counts; reading a file recounts them.
    EXPECT_EQ(set->MstDat[3].UseCount, 2);
}

TEST_F(NewSet, BuzzerEventsHaveTheirOwnTones)
{
    const BuzzerSetting expected[BzEventCount] = {{1, 1, 1, 1}, {2, 3, 1, 1}, {1, 1, 1, 1}, {2, 3, 1, 1},
                                                  {1, 1, 3, 1}, {2, 5, 1, 1}, {1, 1, 4, 1}, {2, 7, 1, 1},
                                                  {1, 1, 2, 1}, {2, 3, 1, 1}};
    for (int i = 0; i < BzEventCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(set->BzSet[i].Hz, expected[i].Hz);
        EXPECT_EQ(set->BzSet[i].Count, expected[i].Count);
        EXPECT_EQ(set->BzSet[i].OnTime, expected[i].OnTime);
        EXPECT_EQ(set->BzSet[i].OffTime, expected[i].OffTime);
        EXPECT_EQ(set->BzWavFile[i], QString());
    }
    EXPECT_EQ(set->BzSet[BzDefaultEntry], (BuzzerSetting{1, 1, 1, 1}));
}

TEST_F(NewSet, BluetoothAndAddInProgramsTakeTheirDefaults)
{
    EXPECT_EQ(set->BtDat.DevName, QStringLiteral("BHT-800"));
    EXPECT_EQ(set->BtDat.Mode, 0);
    EXPECT_EQ(set->BtDat.Adr, QString());
    EXPECT_EQ(set->BtDat.TimeOut, 5);
    EXPECT_EQ(set->BtDat.Security, 1);
    EXPECT_EQ(set->BtDat.PassKey, QStringLiteral("5190372846150927"));
    EXPECT_EQ(set->ComPrg1, QString());
    EXPECT_EQ(set->ComPrg2, QString());
}

TEST(BoundedCount, ClampsIntoTheArray)
{
    const struct {
        int value, max, expected;
    } cases[] = {{-1, 10, 0}, {0, 10, 0}, {7, 10, 7}, {10, 10, 10}, {11, 10, 10}, {99, 20, 20}};
    for (const auto &c : cases)
        EXPECT_EQ(BoundedCount(c.value, c.max), c.expected) << c.value << " max " << c.max;
}

} // namespace
