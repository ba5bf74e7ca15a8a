#include "jobs/CheckBnfDat.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "jobs/LetterCodes.h"

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

int mode(char16_t letter)
{
    return GyModeIndex(QChar(letter));
}

int type(char16_t letter)
{
    return DataTypeIndex(QChar(letter));
}

TKoData item(const char16_t *name, char16_t typeLetter)
{
    TKoData k;
    InitKoData(k, QString::fromUtf16(name), QChar(typeLetter));
    return k;
}

// What the controls hold right after InitSetData.
BnfShownControls newSetControls()
{
    BnfShownControls c;
    c.APOffTimeNE = QStringLiteral("30");
    c.Bar2ReadNE = QStringLiteral("30");
    c.DspErrTimeNE = QStringLiteral("20");
    c.BzHzNE = QStringLiteral("1");
    c.BzCountNE = QStringLiteral("1");
    c.BzOnTimeNE = QStringLiteral("1");
    c.BzOffTimeNE = QStringLiteral("1");
    c.GNameSE = QStringLiteral("新しい業務");
    c.GModeCB = mode(u'A');
    c.KNameSE = QStringLiteral("新しいデータ項目");
    c.KDLenNE = QStringLiteral("20");
    c.KDTypeCB = type(u'A');
    c.KDMaxNE = QStringLiteral("20");
    c.KDMinNE = QStringLiteral("1");
    return c;
}

// A valid set of two jobs: the new set's job, then a mode A job with two group items (A, C) and
// three data items (A with barcode input, a, b) that stores its records in a file.
std::unique_ptr<TSetData> validSet()
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    set->GyCount = 2;
    TAddGyDat t = set->AddGyDat;
    t.GyName = QStringLiteral("入荷");
    t.FName = QStringLiteral("nyuka.dat");
    TGyData &job = set->GyData[1];
    InitGyData(job, t);
    job.GrCount = 2;
    job.GrKoDa[0] = item(u"得意先", u'A');
    job.GrKoDa[1] = item(u"担当", u'C');
    job.DaCount = 3;
    job.DaKoDa[0] = item(u"商品", u'A');
    job.DaKoDa[0].KDInpMode = 3;
    job.DaKoDa[0].KBar = QStringLiteral("A");
    job.DaKoDa[1] = item(u"単価", u'a');
    job.DaKoDa[2] = item(u"数量", u'b');
    return set;
}

// Job 1 remade in another mode, as the add-job dialog makes it.
void remake(TSetData &set, char16_t modeLetter, const char16_t *fName = u"")
{
    TAddGyDat t = set.AddGyDat;
    t.GyName = QStringLiteral("業務２");
    t.GyMode = mode(modeLetter);
    t.FName = QString::fromUtf16(fName);
    InitGyData(set.GyData[1], t);
}

// The job page shows job 1 with a group item.
void showJob1Group(TSetData &set)
{
    set.TmpGyNo = 1;
    set.GyData[1].TmpGrFlg = true;
}

bool knownAddIn(const QString &pName)
{
    return pName == QLatin1String("LISTED.PD4");
}

struct Expected {
    const char16_t *message;
    int page;
    int job;
    int item;
    bool group;
    const char *control;
};

Expected onBase(const char *control, const char16_t *message)
{
    return {message, BasePage, -1, -1, false, control};
}

Expected onJob(int job, int item, bool group, const char *control, const char16_t *message)
{
    return {message, JobPage, job, item, group, control};
}

using Change = std::function<void(TSetData &, BnfShownControls &)>;

struct RuleCase {
    const char *name;
    Change change;
    std::optional<Expected> expected; // nothing: the set passes
};

void PrintTo(const RuleCase &c, std::ostream *os)
{
    *os << c.name;
}

void expectError(const std::optional<BnfInputError> &error, const Expected &e)
{
    ASSERT_TRUE(error.has_value()) << "the set passed";
    EXPECT_EQ(error->message, QString::fromUtf16(e.message));
    EXPECT_EQ(error->caption, QStringLiteral("入力エラー"));
    EXPECT_EQ(error->page, e.page);
    EXPECT_EQ(error->job, e.job);
    EXPECT_EQ(error->item, e.item);
    EXPECT_EQ(error->group, e.group);
    EXPECT_EQ(error->control, QString::fromLatin1(e.control));
}

class CheckBnfDatRule : public testing::TestWithParam<RuleCase> {};

TEST_P(CheckBnfDatRule, FailsWithItsMessageWhereTheOperatorCanMendIt)
{
    auto set = validSet();
    BnfShownControls shown = newSetControls();
    GetParam().change(*set, shown);
    const std::optional<BnfInputError> error = CheckBnfDat(*set, shown, knownAddIn);
    if (GetParam().expected)
        expectError(error, *GetParam().expected);
    else
        EXPECT_FALSE(error.has_value())
            << error->control.toStdString() << ": " << error->message.toStdString();
}

TKoData &gr(TSetData &s, int k)
{
    return s.GyData[1].GrKoDa[k];
}
TKoData &da(TSetData &s, int k)
{
    return s.GyData[1].DaKoDa[k];
}

const std::vector<RuleCase> &shownControlCases()
{
    static const std::vector<RuleCase> cases{
        {"PowerOffTimeEmpty", [](TSetData &, BnfShownControls &c) { c.APOffTimeNE.clear(); },
         onBase("APOffTimeNE", u"オートパワーオフ時間を入力してください。")},
        {"DoubleReadTimeEmpty", [](TSetData &, BnfShownControls &c) { c.Bar2ReadNE.clear(); },
         onBase("Bar2ReadNE", u"ﾊﾞｰｺｰﾄﾞ2度読み防止時間を入力してください。")},
        {"ErrorTimeEmpty", [](TSetData &, BnfShownControls &c) { c.DspErrTimeNE.clear(); },
         onBase("DspErrTimeNE", u"エラーメッセージ表示時間を入力してください。")},
        {"BuzzerHzEmpty", [](TSetData &, BnfShownControls &c) { c.BzHzNE.clear(); },
         onBase("BzHzNE", u"ブザー周波数を入力してください。")},
        {"BuzzerCountEmpty", [](TSetData &, BnfShownControls &c) { c.BzCountNE.clear(); },
         onBase("BzCountNE", u"ブザー鳴動回数を入力してください。")},
        {"BuzzerOnTimeEmpty", [](TSetData &, BnfShownControls &c) { c.BzOnTimeNE.clear(); },
         onBase("BzOnTimeNE", u"ブザー鳴動時間を入力してください。")},
        {"BuzzerOffTimeEmpty", [](TSetData &, BnfShownControls &c) { c.BzOffTimeNE.clear(); },
         onBase("BzOffTimeNE", u"ブザー休止時間を入力してください。")},
        {"ShownJobNameEmpty",
         [](TSetData &s, BnfShownControls &c) {
             showJob1Group(s);
             c.GNameSE.clear();
         },
         onJob(1, -1, true, "GNameSE", u"業務名を入力してください。")},
        {"ShownItemNameEmpty",
         [](TSetData &s, BnfShownControls &c) {
             showJob1Group(s);
             c.KNameSE.clear();
         },
         onJob(1, -1, true, "KNameSE", u"項目名表示文字列を入力してください。")},
        {"ShownItemNameEmptyInModeSPasses",
         [](TSetData &, BnfShownControls &c) {
             c.GModeCB = mode(u'S');
             c.KNameSE.clear();
             c.KDLenNE.clear();
         },
         std::nullopt},
        {"ShownLengthEmptyInModeA", [](TSetData &, BnfShownControls &c) { c.KDLenNE.clear(); },
         onJob(0, -1, false, "KDLenNE", u"データ保存桁数を入力してください。")},
        {"ShownLengthEmptyInModeJ",
         [](TSetData &, BnfShownControls &c) {
             c.GModeCB = mode(u'J');
             c.KDLenNE.clear();
         },
         onJob(0, -1, false, "KDLenNE", u"データ桁数を入力してください。")},
        {"ShownStringMaxEmpty", [](TSetData &, BnfShownControls &c) { c.KDMaxNE.clear(); },
         onJob(0, -1, false, "KDMaxNE", u"入力最大桁数を入力してください。")},
        {"ShownZeroSuppressedMinEmpty",
         [](TSetData &, BnfShownControls &c) {
             c.KDTypeCB = type(u'C');
             c.KDMinNE.clear();
         },
         onJob(0, -1, false, "KDMinNE", u"入力最小桁数を入力してください。")},
        {"ShownUnsignedMaxLoneMinus",
         [](TSetData &, BnfShownControls &c) {
             c.KDTypeCB = type(u'a');
             c.KDMaxNE = QStringLiteral("-");
         },
         onJob(0, -1, false, "KDMaxNE", u"入力制限の最大値を入力してください。")},
        {"ShownAmountMinLonePoint",
         [](TSetData &, BnfShownControls &c) {
             c.KDTypeCB = type(u'c');
             c.KDMinNE = QStringLiteral(".");
         },
         onJob(0, -1, false, "KDMinNE", u"入力制限の最小値を入力してください。")},
        {"ShownMaxZeroIsNotEmpty", [](TSetData &, BnfShownControls &c) { c.KDMaxNE = QStringLiteral("0"); },
         std::nullopt},
        {"ShownSignedRealMaxEmptyPasses",
         [](TSetData &, BnfShownControls &c) {
             c.KDTypeCB = type(u'b');
             c.KDMaxNE.clear();
         },
         std::nullopt},
        {"ShownDateMaxEmptyPasses",
         [](TSetData &, BnfShownControls &c) {
             c.KDTypeCB = type(u'W');
             c.KDMaxNE.clear();
         },
         std::nullopt},
        {"ShownMaxEmptyInModeJPasses",
         [](TSetData &, BnfShownControls &c) {
             c.GModeCB = mode(u'J');
             c.KDMaxNE.clear();
         },
         std::nullopt},
    };
    return cases;
}

const std::vector<RuleCase> &jobCases()
{
    static const std::vector<RuleCase> cases{
        {"JobNameEmpty", [](TSetData &s, BnfShownControls &) { s.GyData[1].GyName.clear(); },
         onJob(1, -1, false, "GNameSE", u"業務名を入力してください。")},
        {"FileNameWithoutFields",
         [](TSetData &s, BnfShownControls &) {
             for (int k = 0; k < 3; ++k)
                 gr(s, k).KDSaveFlg = da(s, k).KDSaveFlg = false;
         },
         onJob(1, -1, false, "FNameSE", u"保存項目がありません。ﾌｧｲﾙ名を削除してください。")},
        {"FileNameWithoutSavedDataItem",
         [](TSetData &s, BnfShownControls &) {
             for (int k = 0; k < 3; ++k)
                 da(s, k).KDSaveFlg = false;
         },
         onJob(1, -1, false, "KDSaveChk", u"１つ以上のデータ項目を保存設定してください。")},
        {"TerminalNumberAloneIsNoSavedDataItem",
         [](TSetData &s, BnfShownControls &) {
             s.GyData[1].AddIDChk = true;
             for (int k = 0; k < 3; ++k)
                 gr(s, k).KDSaveFlg = da(s, k).KDSaveFlg = false;
         },
         onJob(1, -1, false, "KDSaveChk", u"１つ以上のデータ項目を保存設定してください。")},
        {"NothingSavedWithoutFileNamePasses",
         [](TSetData &s, BnfShownControls &) {
             s.GyData[1].FName.clear();
             for (int k = 0; k < 3; ++k)
                 gr(s, k).KDSaveFlg = da(s, k).KDSaveFlg = false;
         },
         std::nullopt},
        {"ModeBCodeNotSaved",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'B', u"tana.dat");
             da(s, 0).KDSaveFlg = false;
         },
         onJob(1, 0, false, "KDSaveChk", u"「商品コード」項目のデータ保存を設定してください。")},
        {"ModeBQuantityNotSaved",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'B', u"tana.dat");
             da(s, 1).KDSaveFlg = false;
         },
         onJob(1, 1, false, "KDSaveChk", u"「数量」項目のデータ保存を設定してください。")},
        {"ModeBNotSavedWithoutFileNamePasses",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'B');
             da(s, 0).KDSaveFlg = da(s, 1).KDSaveFlg = false;
         },
         std::nullopt},
        {"GroupMoveBeyondTheList", [](TSetData &s, BnfShownControls &) { gr(s, 1).KDNext = 2; },
         onJob(1, 1, true, "KDNextCB", u"入力後移動の設定をしてください。")},
        {"DataMoveNegative", [](TSetData &s, BnfShownControls &) { da(s, 2).KDNext = -1; },
         onJob(1, 2, false, "KDNextCB", u"入力後移動の設定をしてください。")},
        {"DataMoveToTheLastPlacePasses", [](TSetData &s, BnfShownControls &) { da(s, 0).KDNext = 2; },
         std::nullopt},
        {"RemoteReceiveNameEmpty", [](TSetData &s, BnfShownControls &) { remake(s, u'r'); },
         onJob(1, -1, false, "RNameSE", u"受信ファイル名を入力してください。")},
        {"FileReceiveNameEmptyPasses", [](TSetData &s, BnfShownControls &) { remake(s, u'R'); },
         std::nullopt},
        {"AddInProgramEmpty", [](TSetData &s, BnfShownControls &) { remake(s, u'X'); },
         onJob(1, -1, false, "PNameSE", u"プログラムファイル名を入力してください。")},
        {"AddInProgramNotPd4",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'X');
             s.GyData[1].PName = QStringLiteral("prog.exe");
         },
         onJob(1, -1, false, "PNameSE", u"プログラムファイル名を再入力してください。")},
        {"AddInProgramWithoutExtension",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'X');
             s.GyData[1].PName = QStringLiteral("PD4");
         },
         onJob(1, -1, false, "PNameSE", u"プログラムファイル名を再入力してください。")},
        {"AddInListedWithoutSettings",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'X');
             s.GyData[1].PName = QStringLiteral("listed.pd4");
         },
         onJob(1, -1, false, "AddInSetBtn", u"アドインプログラムの設定をしてください。")},
        {"AddInListedWithSettingsPasses",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'X');
             s.GyData[1].PName = QStringLiteral("LISTED.PD4");
             s.GyData[1].AddInCount = 1;
         },
         std::nullopt},
        {"AddInNotListedPasses",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'X');
             s.GyData[1].PName = QStringLiteral("other.pd4");
         },
         std::nullopt},
    };
    return cases;
}

const std::vector<RuleCase> &itemCases()
{
    static const std::vector<RuleCase> cases{
        {"DataItemNameEmpty", [](TSetData &s, BnfShownControls &) { da(s, 1).KName.clear(); },
         onJob(1, 1, false, "KNameSE", u"項目名を入力してください。")},
        {"GroupItemNameEmpty", [](TSetData &s, BnfShownControls &) { gr(s, 0).KName.clear(); },
         onJob(1, 0, true, "KNameSE", u"項目名を入力してください。")},
        {"StringLengthZero", [](TSetData &s, BnfShownControls &) { gr(s, 1).KDLen = 0; },
         onJob(1, 1, true, "KDLenNE", u"データ保存桁数を１以上の値にしてください。")},
        {"StringLengthZeroNotSaved",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KDSaveFlg = false;
             da(s, 0).KDLen = 0;
         },
         onJob(1, 0, false, "KDLenNE", u"データ桁数を１以上の値にしてください。")},
        {"StringMaxZero", [](TSetData &s, BnfShownControls &) { da(s, 0).KDMax = QStringLiteral("0"); },
         onJob(1, 0, false, "KDMaxNE", u"入力最大桁数を１以上の値にしてください。")},
        {"StringMaxJunkReadsZero",
         [](TSetData &s, BnfShownControls &) { da(s, 0).KDMax = QStringLiteral("1x"); },
         onJob(1, 0, false, "KDMaxNE", u"入力最大桁数を１以上の値にしてください。")},
        {"StringMaxBelowMin",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KDMax = QStringLiteral("5");
             da(s, 0).KDMin = QStringLiteral("6");
         },
         onJob(1, 0, false, "KDMaxNE", u"入力最大桁数を入力最小桁数より\r\n大きい値にしてください。")},
        {"StringMaxAboveLength",
         [](TSetData &s, BnfShownControls &) { da(s, 0).KDMax = QStringLiteral("21"); },
         onJob(1, 0, false, "KDLenNE", u"データ保存桁数を入力最大桁数以上の値にしてください。")},
        // Read in 32 bits this would be no number, 0, and ask for a maximum of 1 or more.
        {"StringMaxBeyond32Bits",
         [](TSetData &s, BnfShownControls &) { da(s, 0).KDMax = QStringLiteral("99999999999"); },
         onJob(1, 0, false, "KDLenNE", u"データ保存桁数を入力最大桁数以上の値にしてください。")},
        {"StringDefaultLongerThanMaxInBytes",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KDMax = QStringLiteral("5");
             da(s, 0).KDefType = u'1';
             da(s, 0).KDefDat = QStringLiteral("あいう");
         },
         onJob(1, 0, false, "DefaultDatSE", u"初期値の文字列を入力最大桁数以下にしてください。")},
        {"StringDefaultOfHalfWidthKanaFits",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KDMax = QStringLiteral("5");
             da(s, 0).KDefType = u'1';
             da(s, 0).KDefDat = QStringLiteral("ｱｲｳｴｵ");
         },
         std::nullopt},
        {"UnsignedLengthZero", [](TSetData &s, BnfShownControls &) { da(s, 1).KDLen = 0; },
         onJob(1, 1, false, "KDLenNE", u"データ保存桁数を１以上の値にしてください。")},
        {"UnsignedMaxEmpty", [](TSetData &s, BnfShownControls &) { da(s, 1).KDMax.clear(); },
         onJob(1, 1, false, "KDMaxNE", u"入力最大値を入力してください。")},
        {"UnsignedMaxLoneSign", [](TSetData &s, BnfShownControls &) { da(s, 1).KDMax = QStringLiteral("+"); },
         onJob(1, 1, false, "KDMaxNE", u"入力最大値を入力してください。")},
        {"UnsignedMinEmpty", [](TSetData &s, BnfShownControls &) { da(s, 1).KDMin.clear(); },
         onJob(1, 1, false, "KDMinNE", u"入力最小値を入力してください。")},
        {"UnsignedMaxLongerThanLength",
         [](TSetData &s, BnfShownControls &) { da(s, 1).KDMax = QStringLiteral("123456789"); },
         onJob(1, 1, false, "KDLenNE", u"データ保存桁数を入力最大値の桁数以上の値にしてください。")},
        {"UnsignedMinLongerThanLength",
         [](TSetData &s, BnfShownControls &) { da(s, 1).KDMin = QStringLiteral("000000001"); },
         onJob(1, 1, false, "KDLenNE", u"データ保存桁数を入力最小値の桁数以上の値にしてください。")},
        {"UnsignedMaxBelowMin",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1).KDMax = QStringLiteral("5");
             da(s, 1).KDMin = QStringLiteral("6");
         },
         onJob(1, 1, false, "KDMaxNE", u"入力最大値を入力最小値より\r\n大きい値にしてください。")},
        // Read in 32 bits the maximum would be 0 and below the minimum.
        {"UnsignedMaxBeyond32BitsPasses",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1).KDLen = 10;
             da(s, 1).KDMax = QStringLiteral("4294967296");
         },
         std::nullopt},
        // Read in 32 bits both would be 0 and equal.
        {"UnsignedMinBeyond32BitsAboveMax",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1).KDLen = 10;
             da(s, 1).KDMax = QStringLiteral("4294967295");
             da(s, 1).KDMin = QStringLiteral("4294967296");
         },
         onJob(1, 1, false, "KDMaxNE", u"入力最大値を入力最小値より\r\n大きい値にしてください。")},
        {"UnsignedDefaultEmpty",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1).KDefType = u'1';
             da(s, 1).KDefDat.clear();
         },
         onJob(1, 1, false, "DefaultDatNE", u"初期値を入力してください。")},
        {"UnsignedDefaultLoneSign",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1).KDefType = u'1';
             da(s, 1).KDefDat = QStringLiteral("-");
         },
         onJob(1, 1, false, "DefaultDatNE", u"初期値を入力してください。")},
        {"UnsignedDefaultLongerThanLength",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1).KDefType = u'1';
             da(s, 1).KDefDat = QStringLiteral("123456789");
         },
         onJob(1, 1, false, "DefaultDatNE", u"初期値をデータ保存桁数以下にてください。")},
        {"AmountDefaultLongerThanLengthNotSaved",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1) = item(u"金額", u'c');
             da(s, 1).KDSaveFlg = false;
             da(s, 1).KDefType = u'1';
             da(s, 1).KDefDat = QStringLiteral("12345678");
         },
         onJob(1, 1, false, "DefaultDatNE", u"初期値をデータ桁数以下にてください。")},
        {"SignedRealLengthOne", [](TSetData &s, BnfShownControls &) { da(s, 2).KDLen = 1; },
         onJob(1, 2, false, "KDLenNE", u"データ保存桁数を２以上の値にしてください。")},
        {"SignedRealMaxLoneMinus",
         [](TSetData &s, BnfShownControls &) { da(s, 2).KDMax = QStringLiteral("-"); },
         onJob(1, 2, false, "KDMaxNE", u"入力最大値を入力してください。")},
        {"SignedRealMinLonePlus",
         [](TSetData &s, BnfShownControls &) { da(s, 2).KDMin = QStringLiteral("+"); },
         onJob(1, 2, false, "KDMinNE", u"入力最小値を入力してください。")},
        {"SignedRealMaxWithSignLongerThanLength",
         [](TSetData &s, BnfShownControls &) { da(s, 2).KDMax = QStringLiteral("+99999999"); },
         onJob(1, 2, false, "KDLenNE", u"データ保存桁数を入力最大値の桁数以上の値にしてください。")},
        {"SignedRealMaxBelowMin",
         [](TSetData &s, BnfShownControls &) {
             da(s, 2).KDMax = QStringLiteral("-5");
             da(s, 2).KDMin = QStringLiteral("+3");
         },
         onJob(1, 2, false, "KDMaxNE", u"入力最大値を入力最小値より\r\n大きい値にしてください。")},
        // As integers both would be 1.
        {"SignedRealFractionsCompared",
         [](TSetData &s, BnfShownControls &) {
             da(s, 2).KDMax = QStringLiteral("+1.25");
             da(s, 2).KDMin = QStringLiteral("+1.5");
         },
         onJob(1, 2, false, "KDMaxNE", u"入力最大値を入力最小値より\r\n大きい値にしてください。")},
        {"SignedRealFractionsInOrderPass",
         [](TSetData &s, BnfShownControls &) {
             da(s, 2).KDMax = QStringLiteral("+1.5");
             da(s, 2).KDMin = QStringLiteral("-1.25");
         },
         std::nullopt},
        {"SignedRealDefaultLongerThanLength",
         [](TSetData &s, BnfShownControls &) {
             da(s, 2).KDefType = u'1';
             da(s, 2).KDefDat = QStringLiteral("+1234.567");
         },
         onJob(1, 2, false, "DefaultDatNE", u"初期値をデータ保存桁数以下にてください。")},
        {"DateNeedsNoLengthOrLimits",
         [](TSetData &s, BnfShownControls &) {
             da(s, 1) = item(u"日付", u'W');
             da(s, 1).KDLen = 0;
             da(s, 1).KDMax.clear();
         },
         std::nullopt},
        {"ModeJStringLengthZero",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'J');
             da(s, 0).KDLen = 0;
         },
         onJob(1, 0, false, "KDLenNE", u"データ桁数を１以上の値にしてください。")},
        {"ModeJLimitsNotChecked",
         [](TSetData &s, BnfShownControls &) {
             remake(s, u'J');
             da(s, 0).KDMax.clear();
             da(s, 0).KDMin = QStringLiteral("50");
         },
         std::nullopt},
        {"BarcodeWithoutSymbology", [](TSetData &s, BnfShownControls &) { da(s, 0).KBar.clear(); },
         onJob(1, 0, false, "SetBarCode", u"バーコード読取を設定してください。")},
        {"BarcodeMaxZero", [](TSetData &s, BnfShownControls &) { da(s, 0).KBMax = 0; },
         onJob(1, 0, false, "SetBarCode", u"バーコード読取の最大桁を\r\n１以上の値にしてください。")},
        {"BarcodeMaxBelowMin",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KBMax = 5;
             da(s, 0).KBMin = 6;
         },
         onJob(1, 0, false, "SetBarCode", u"バーコード読取の最大桁を\r\n最小桁より大きい値にしてください。")},
        {"BarcodeCheckWithoutValue",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KBDatChk = true;
             da(s, 0).KBCmpID = u'1';
         },
         onJob(1, 0, false, "SetBarCode", u"バーコードのチェックデータを入力してください。")},
        {"BarcodeCheckAgainstSystemDatePasses",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KBDatChk = true;
             da(s, 0).KBCmpID = u'3';
         },
         std::nullopt},
        {"KeyInputIgnoresBarcodeSettings",
         [](TSetData &s, BnfShownControls &) {
             da(s, 0).KDInpMode = 1;
             da(s, 0).KBar.clear();
         },
         std::nullopt},
        {"MasterWithoutDefinitions",
         [](TSetData &s, BnfShownControls &) {
             gr(s, 0).KMstFlag = true;
             gr(s, 0).KMFNo = 1;
             gr(s, 0).KMstChk = true;
         },
         onJob(1, 0, true, "MstGroup", u"マスター参照設定をしてください。")},
        {"MasterNumberZero",
         [](TSetData &s, BnfShownControls &) {
             s.MstNum = 1;
             da(s, 0).KMstFlag = true;
             da(s, 0).KMstChk = true;
         },
         onJob(1, 0, false, "MstGroup", u"マスター参照設定をしてください。")},
        {"MasterNumberBeyondDefinitions",
         [](TSetData &s, BnfShownControls &) {
             s.MstNum = 1;
             da(s, 0).KMstFlag = true;
             da(s, 0).KMFNo = 2;
             da(s, 0).KMstChk = true;
         },
         onJob(1, 0, false, "MstGroup", u"マスター参照設定をしてください。")},
        {"MasterWithoutAnyUse",
         [](TSetData &s, BnfShownControls &) {
             s.MstNum = 1;
             da(s, 0).KMstFlag = true;
             da(s, 0).KMFNo = 1;
         },
         onJob(1, 0, false, "MstGroup", u"マスター参照設定をしてください。")},
        {"MasterShowingAFieldPasses",
         [](TSetData &s, BnfShownControls &) {
             s.MstNum = 2;
             da(s, 0).KMstFlag = true;
             da(s, 0).KMFNo = 2;
             da(s, 0).DspQDNo = 1;
         },
         std::nullopt},
    };
    return cases;
}

std::string caseName(const testing::TestParamInfo<RuleCase> &info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(ShownControls, CheckBnfDatRule, testing::ValuesIn(shownControlCases()), caseName);
INSTANTIATE_TEST_SUITE_P(Jobs, CheckBnfDatRule, testing::ValuesIn(jobCases()), caseName);
INSTANTIATE_TEST_SUITE_P(Items, CheckBnfDatRule, testing::ValuesIn(itemCases()), caseName);

TEST(CheckBnfDat, ANewSetPasses)
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    EXPECT_FALSE(CheckBnfDat(*set, newSetControls(), knownAddIn).has_value());
}

TEST(CheckBnfDat, ShownControlsFailInPageOrderBeforeAnyRecord)
{
    auto set = validSet();
    set->GyData[0].GyName.clear(); // the records fail too, but only after every control
    BnfShownControls shown = newSetControls();
    QString *const fields[] = {&shown.APOffTimeNE, &shown.Bar2ReadNE, &shown.DspErrTimeNE, &shown.BzHzNE,
                               &shown.BzCountNE,   &shown.BzOnTimeNE, &shown.BzOffTimeNE,  &shown.GNameSE,
                               &shown.KNameSE,     &shown.KDLenNE,    &shown.KDMaxNE,      &shown.KDMinNE};
    const char *const controls[] = {"APOffTimeNE", "Bar2ReadNE", "DspErrTimeNE", "BzHzNE",
                                    "BzCountNE",   "BzOnTimeNE", "BzOffTimeNE",  "GNameSE",
                                    "KNameSE",     "KDLenNE",    "KDMaxNE",      "KDMinNE"};
    for (QString *field : fields)
        field->clear();
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const std::optional<BnfInputError> error = CheckBnfDat(*set, shown, knownAddIn);
        ASSERT_TRUE(error.has_value()) << controls[i];
        EXPECT_EQ(error->control, QString::fromLatin1(controls[i]));
        EXPECT_EQ(error->page, i < 7 ? BasePage : JobPage) << controls[i];
        *fields[i] = QStringLiteral("1");
    }
    const std::optional<BnfInputError> error = CheckBnfDat(*set, shown, knownAddIn);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->control, QStringLiteral("GNameSE"));
    EXPECT_EQ(error->job, 0);
}

TEST(CheckBnfDat, EmptyPowerOffTimeFailsBeforeEmptyJobName)
{
    // The shown page is not the rules' concern: the base page's controls come first from either.
    auto set = validSet();
    showJob1Group(*set);
    set->GyData[1].GyName.clear();
    BnfShownControls shown = newSetControls();
    shown.GNameSE.clear();
    shown.APOffTimeNE.clear();
    expectError(CheckBnfDat(*set, shown, knownAddIn),
                onBase("APOffTimeNE", u"オートパワーオフ時間を入力してください。"));
}

TEST(CheckBnfDat, FirstFailingJobAndItemWin)
{
    auto set = validSet();
    set->GyCount = 3;
    set->GyData[2] = set->GyData[1];
    da(*set, 2).KDMax.clear();     // job 1, data item 2
    set->GyData[2].GyName.clear(); // job 2
    gr(*set, 1).KName.clear();     // job 1, group item 1: group items come before data items
    gr(*set, 0).KDNext = 5;        // job 1, group item 0: its move is checked before the next item
    expectError(CheckBnfDat(*set, newSetControls(), knownAddIn),
                onJob(1, 0, true, "KDNextCB", u"入力後移動の設定をしてください。"));
    gr(*set, 0).KDNext = 0;
    expectError(CheckBnfDat(*set, newSetControls(), knownAddIn),
                onJob(1, 1, true, "KNameSE", u"項目名を入力してください。"));
    gr(*set, 1).KName = QStringLiteral("担当");
    expectError(CheckBnfDat(*set, newSetControls(), knownAddIn),
                onJob(1, 2, false, "KDMaxNE", u"入力最大値を入力してください。"));
    da(*set, 2).KDMax = QStringLiteral("+99");
    expectError(CheckBnfDat(*set, newSetControls(), knownAddIn),
                onJob(2, -1, false, "GNameSE", u"業務名を入力してください。"));
}

TEST(CheckBnfDat, ShownJobIsTheCurrentJobWithinTheSet)
{
    auto set = validSet();
    set->TmpGyNo = 7; // beyond the two jobs: the last one is the one shown
    set->GyData[1].TmpGrFlg = true;
    BnfShownControls shown = newSetControls();
    shown.KNameSE.clear();
    expectError(CheckBnfDat(*set, shown, knownAddIn),
                onJob(1, -1, true, "KNameSE", u"項目名表示文字列を入力してください。"));
}

TEST(CheckBnfDat, NormalisesTheJobsItPasses)
{
    auto set = validSet();
    set->GyCount = 4;
    set->GyData[1].BhtFileFld.Count = 99;
    set->GyData[2].GyName = QStringLiteral("受信");
    set->GyData[2].GyMode = mode(u'r');
    set->GyData[2].RName = QStringLiteral("in.dat");
    set->GyData[3].GyName = QStringLiteral("アドイン");
    set->GyData[3].GyMode = mode(u'X');
    set->GyData[3].PName = QStringLiteral("prog.pd4");
    EXPECT_FALSE(CheckBnfDat(*set, newSetControls(), knownAddIn).has_value());
    EXPECT_EQ(set->GyData[1].FName, QStringLiteral("NYUKA.DAT"));
    EXPECT_EQ(set->GyData[1].BhtFileFld.Count, 5); // two group items and three data items
    EXPECT_EQ(set->GyData[2].RName, QStringLiteral("IN.DAT"));
    EXPECT_EQ(set->GyData[3].PName, QStringLiteral("PROG.PD4"));
}

TEST(CheckBnfDat, LeavesTheJobsAfterTheFailureAsTheyWere)
{
    auto set = validSet();
    set->GyCount = 3;
    set->GyData[1].GyMode = mode(u'r'); // no receive name
    set->GyData[2] = set->GyData[0];
    set->GyData[2].FName = QStringLiteral("late.dat");
    set->GyData[0].FName = QStringLiteral("first.dat");
    ASSERT_TRUE(CheckBnfDat(*set, newSetControls(), knownAddIn).has_value());
    EXPECT_EQ(set->GyData[0].FName, QStringLiteral("FIRST.DAT"));
    EXPECT_EQ(set->GyData[2].FName, QStringLiteral("late.dat"));
}

TEST(CheckBnfDat, CountsBeyondTheArraysStayInside)
{
    auto set = validSet();
    set->GyCount = 99;
    set->MstNum = 99;
    set->GyData[1].GrCount = 99; // group items 2 onwards are empty records
    set->GyData[1].DaCount = 99;
    expectError(CheckBnfDat(*set, newSetControls(), knownAddIn),
                onJob(1, 2, true, "KNameSE", u"項目名を入力してください。"));
}

TEST(CheckBnfDat, WithoutAnAddInListNoProgramIsListed)
{
    auto set = validSet();
    remake(*set, u'X');
    set->GyData[1].PName = QStringLiteral("LISTED.PD4");
    EXPECT_FALSE(CheckBnfDat(*set, newSetControls(), AddInKnown()).has_value());
}

} // namespace
