#include "jobs/BarCodeRules.h"

#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace jobs;

namespace {

std::string s(const QString &text)
{
    return text.toStdString();
}

// A job with five group items and three data items, named by their place.
std::unique_ptr<TGyData> sampleJob()
{
    auto job = std::make_unique<TGyData>();
    job->GrCount = 5;
    job->DaCount = 3;
    for (int i = 0; i < MaxKoCount; ++i) {
        InitKoData(job->GrKoDa[i], QStringLiteral("G%1").arg(i), u'A');
        InitKoData(job->DaKoDa[i], QStringLiteral("D%1").arg(i), u'A');
    }
    return job;
}

TEST(BarCodeRules, SymbologyLettersRoundTrip)
{
    const struct {
        const char *what;
        const char *kbar;
        const char *stored;
    } cases[] = {
        {"every box, check digits read", "AabRihnmLKQXYZV", "AabRihnmLKQXYZV"},
        {"check digits not read", "IHNM", "IHNM"},
        {"stored order wins", "KAi", "AiK"},
        {"unknown letters dropped", "A?z", "A"},
        {"user mode alone", "uA", "u"},
        {"repeats once", "AA", "A"},
    };
    auto job = sampleJob();
    const BarCodeTarget target{job.get(), true, 0};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        job->GrKoDa[0].KBar = QString::fromUtf8(c.kbar);
        TKoData out = job->GrKoDa[0];
        SetBar(GetBar(target), target, out);
        EXPECT_EQ(s(out.KBar), c.stored);
    }
}

TEST(BarCodeRules, CheckDigitRemovalFollowsTheReadDigit)
{
    auto job = sampleJob();
    const BarCodeTarget target{job.get(), false, 0};
    BarCodeControls c = GetBar(target);
    c.symbology = {};
    c.symbology[SymItf] = true;
    c.checkDigit[0] = true;
    c.delCD = true;
    TKoData item = job->DaKoDa[0];
    SetBar(c, target, item);
    EXPECT_EQ(s(item.KBar), "i");
    EXPECT_TRUE(item.KBItfDelCD);
    EXPECT_FALSE(item.KBStfDelCD);

    c.checkDigit[0] = false; // "なし": DelCDChk is disabled and counts for nothing
    EXPECT_FALSE(DelCDEnabled(c));
    SetBar(c, target, item);
    EXPECT_EQ(s(item.KBar), "I");
    EXPECT_FALSE(item.KBItfDelCD);

    // Loading checks DelCDChk only when it is enabled.
    job->DaKoDa[0].KBar = QStringLiteral("Ni");
    job->DaKoDa[0].KBNW7DelCD = true;
    EXPECT_TRUE(GetBar(target).delCD);
    job->DaKoDa[0].KBar = QStringLiteral("N");
    EXPECT_FALSE(GetBar(target).delCD);
}

TEST(BarCodeRules, ComparisonListsOfGroupAndDataItems)
{
    auto job = sampleJob();
    const BarCodeTarget group{job.get(), true, 2};
    EXPECT_EQ(s(group.comparisonCodes()), "0123AB");
    EXPECT_EQ(s(group.comparisonNames().join(u',')), "指定文字列,指定数値,比較日付設定,ｼｽﾃﾑ日付,G0,G1");
    const BarCodeTarget data{job.get(), false, 1};
    EXPECT_EQ(s(data.comparisonCodes()), "0123ABCDEa");
    EXPECT_EQ(data.comparisonNames().last().toStdString(), "D0");

    // A stored code loads to its entry; an unknown one to the given text.
    job->DaKoDa[1].KBCmpID = u'C';
    EXPECT_EQ(GetBar(data).cmpType, 6);
    job->DaKoDa[1].KBCmpID = u'b'; // itself: not offered
    EXPECT_EQ(GetBar(data).cmpType, 0);
    job->DaKoDa[1].KBCmpID = u'2';
    job->DaKoDa[1].KBChkStr = QStringLiteral("kept?");
    EXPECT_EQ(s(GetBar(data).chkData), "");
}

TEST(BarCodeRules, DistributionOffersTheLaterItems)
{
    auto job = sampleJob();
    const BarCodeTarget target{job.get(), true, 3};
    EXPECT_EQ(target.distributionCount(), 2);
    EXPECT_EQ(s(target.distributionNames().join(u',')), "G3,G4");

    TKoData &item = job->GrKoDa[3];
    item.KBar = QStringLiteral("A");
    item.FWDatChk = true;
    item.FWCount = 2;
    item.FWDstKo[0] = 7; // whatever is stored, the first row is the item itself
    item.FWDstKo[1] = 4;
    EXPECT_EQ(GetBar(target).dst[0], 0);
    EXPECT_EQ(GetBar(target).dst[1], 1);
    for (int stored : {2, 5, -1}) {
        SCOPED_TRACE(stored);
        item.FWDstKo[1] = stored;
        const BarCodeControls c = GetBar(target);
        EXPECT_EQ(c.dst[1], -1);
        EXPECT_EQ(CheckBarCode(c, {}),
                  (BarCodeFault{"FK02CB", QStringLiteral("振り分け先項目を入力してください。")}));
    }
    item.FWCount = 9; // beyond the items left: cut to them
    EXPECT_EQ(GetBar(target).fwKNum, 1);

    // Storing: rows within the count get the item's index added; the others their blanks.
    BarCodeControls c = GetBar(target);
    c.fwKNum = 1;
    c.dst[1] = 1;
    c.top[1] = QStringLiteral("5");
    c.aiCd[1] = QStringLiteral("10");
    c.aiCd[2] = QStringLiteral("17");
    TKoData out = item;
    SetBar(c, target, out);
    EXPECT_EQ(out.FWCount, 2);
    EXPECT_EQ(out.FWDstKo[0], 3);
    EXPECT_EQ(out.FWDstKo[1], 4);
    EXPECT_EQ(out.FWTop[1], 5);
    EXPECT_EQ(s(out.FWAiCd[1]), "10");
    EXPECT_EQ(out.FWDstKo[2], 0);
    EXPECT_EQ(out.FWTop[2], 1);
    EXPECT_EQ(s(out.FWAiCd[2]), "");
}

TEST(BarCodeRules, ConfirmChecksInOrder)
{
    auto job = sampleJob();
    const BarCodeTarget target{job.get(), false, 0};
    BarCodeControls base = GetBar(target);
    base.symbology[SymJan] = true;
    const auto notListed = [](const QString &code) { return code == QLatin1String("99") ? 0 : 1; };
    const struct {
        const char *what;
        std::function<void(BarCodeControls &)> change;
        const char *control;
        const char *message;
    } cases[] = {
        {"nothing checked", [](BarCodeControls &c) { c.symbology = {}; }, "BarGroup",
         "読取バーコードを入力してください。"},
        {"user mode without a list", [](BarCodeControls &c) { c.user = true; }, "UserBarSE",
         "ユーザー定義を入力してください。"},
        {"no maximum", [](BarCodeControls &c) { c.barMax.clear(); }, "BarMaxNE",
         "読取最大桁数を入力してください。"},
        {"no minimum", [](BarCodeControls &c) { c.barMin.clear(); }, "BarMinNE",
         "読取最小桁数を入力してください。"},
        {"maximum below minimum",
         [](BarCodeControls &c) {
             c.barMax = QStringLiteral("5");
             c.barMin = QStringLiteral("10");
         },
         "BarMaxNE", "読取最大/最小桁数を再入力してください。"},
        {"field number for separated data",
         [](BarCodeControls &c) {
             c.datChk = true;
             c.format = 1;
             c.chkFldNo.clear();
         },
         "ChkFldNoNE", "バーコードデータチェックのデータＮｏを入力してください。"},
        {"AI code missing",
         [](BarCodeControls &c) {
             c.datChk = true;
             c.format = FormatAi;
         },
         "ChkAISE", "バーコードデータチェックのＡＩコードを入力してください。"},
        {"AI code not listed",
         [](BarCodeControls &c) {
             c.datChk = true;
             c.format = FormatAi;
             c.chkAi = QStringLiteral("99");
         },
         "ChkAISE", "バーコードデータチェックのＡＩコード(99)は登録されていません。"},
        {"position",
         [](BarCodeControls &c) {
             c.datChk = true;
             c.chkTop.clear();
             c.chkLen.clear();
         },
         "ChkTopNE", "バーコードデータチェックのチェックデータ位置を入力してください。"},
        {"length",
         [](BarCodeControls &c) {
             c.datChk = true;
             c.chkLen.clear();
         },
         "ChkLenNE", "バーコードデータチェックのチェックデータ桁数を入力してください。"},
        {"comparison number",
         [](BarCodeControls &c) {
             c.datChk = true;
             c.cmpType = 1;
         },
         "ChkDataSE", "バーコードデータチェックの比較指定データを入力してください。"},
        {"second row AI",
         [](BarCodeControls &c) {
             c.fwDatChk = true;
             c.fwKNum = 1;
             c.format = FormatAi;
             c.aiCd[0] = QStringLiteral("01");
             c.aiCd[1] = QStringLiteral("99");
         },
         "AI1SE", "振り分けのＡＩコード(99)は登録されていません。"},
        {"data number 0",
         [](BarCodeControls &c) {
             c.fwDatChk = true;
             c.format = 2;
             c.datNo[0] = QStringLiteral("0");
         },
         "KN0NE", "振り分けデータＮｏを再入力してください。"},
        {"start empty before length",
         [](BarCodeControls &c) {
             c.fwDatChk = true;
             c.top[0].clear();
             c.length[0].clear();
         },
         "KX01NE", "振り分けデータ先頭を入力してください。"},
        {"length 0",
         [](BarCodeControls &c) {
             c.fwDatChk = true;
             c.length[0] = QStringLiteral("0");
         },
         "KX02NE", "振り分けデータ桁数に1～3500を入力してください。"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        BarCodeControls controls = base;
        c.change(controls);
        const auto fault = CheckBarCode(controls, notListed);
        ASSERT_TRUE(fault.has_value());
        EXPECT_EQ(s(fault->control), c.control);
        EXPECT_EQ(s(fault->message), c.message);
    }
    EXPECT_EQ(CheckBarCode(base, notListed), std::nullopt);
    BarCodeControls equal = base;
    equal.barMax = equal.barMin = QStringLiteral("10");
    EXPECT_EQ(CheckBarCode(equal, notListed), std::nullopt);
    // A missing table lets every code through.
    BarCodeControls ai = base;
    ai.datChk = true;
    ai.format = FormatAi;
    ai.chkAi = QStringLiteral("99");
    ai.chkData = QStringLiteral("X");
    EXPECT_EQ(CheckBarCode(ai, [](const QString &) { return 2; }), std::nullopt);
}

TEST(BarCodeRules, AiTableStopsAtItsFirstEmptyLine)
{
    const QString path = QDir(testsupport::caseFolder()).filePath(QStringLiteral("AiCode.Tbl"));
    EXPECT_EQ(ExistsAi(path, QStringLiteral("01")), 2);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("00  SSCC\r\n01  GTIN\r\n\r\n10  BATCH\r\n3100\r\n");
    file.close();
    const struct {
        const char *code;
        int found;
    } cases[] = {{"00", 1}, {"01", 1}, {"10", 0}, {"3100", 0}, {"0", 0}, {"01  ", 0}, {"", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ExistsAi(path, QString::fromLatin1(c.code)), c.found);
    }
}

TEST(BarCodeRules, TheShippedTableListsTheIdentifiers)
{
    const QString shipped = QStringLiteral(HARBROOK_DATA_DIR "/AiCode.Tbl");
    for (const char *code : {"00", "01", "10", "17", "21", "240", "3103", "3922", "8020", "7003", "99"})
        EXPECT_EQ(ExistsAi(shipped, QString::fromLatin1(code)), 1) << code;
    for (const char *code : {"5", "3", "999", "0000", "ABCD"})
        EXPECT_EQ(ExistsAi(shipped, QString::fromLatin1(code)), 0) << code;
}

TEST(BarCodeRules, KeyFilters)
{
    const struct {
        const char *text;
        int caret;
        char key;
        bool passes;
    } number[] = {
        {"", 0, '-', true},   {"-", 1, '-', false},  {"-5", 0, '1', false},  {"", 0, '.', false},
        {"-", 1, '.', false}, {"1", 1, '.', true},   {"1.5", 3, '.', false}, {"0", 1, '5', false},
        {"0", 1, '.', true},  {"-0", 2, '5', false}, {"-0", 2, '.', true},   {"5", 0, '0', false},
        {".5", 0, '0', true}, {"-5", 1, '0', false}, {"", 0, 'a', false},    {"12", 2, '3', true},
    };
    for (const auto &c : number) {
        SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.caret) + " " + c.key);
        EXPECT_EQ(ChkDataKey(QString::fromLatin1(c.text), c.caret, QLatin1Char(c.key)).has_value(), c.passes);
    }
    EXPECT_EQ(UserBarKey("", 0, u'a'), QChar(u'A'));
    EXPECT_EQ(UserBarKey("", 0, u','), std::nullopt);
    EXPECT_EQ(UserBarKey("A,", 2, u','), std::nullopt);
    EXPECT_EQ(UserBarKey("A", 1, u','), QChar(u','));
    EXPECT_EQ(UserBarKey("A", 1, u'F'), std::nullopt);

    EXPECT_TRUE(StartDigitAllowed("16", "16"));
    EXPECT_FALSE(StartDigitAllowed("17", "16"));
    EXPECT_TRUE(StartDigitAllowed("99", "16"));
    EXPECT_TRUE(StartDigitAllowed("3500", ""));
    EXPECT_FALSE(StartDigitAllowed("3501", ""));

    EXPECT_EQ(s(ChkDataAsNumber("0012.50")), "12.5");
    EXPECT_EQ(s(ChkDataAsNumber("12345678901")), "1234567890");
    EXPECT_EQ(s(ChkDataAsNumber("abc")), "");
    EXPECT_EQ(s(ChkDataAsNumber("-")), "");
}

} // namespace
