#include "jobs/JobFieldRules.h"

#include "jobs/CheckBnfDat.h"
#include "jobs/JobPageView.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace jobs;

namespace {

std::string s(const QString &text)
{
    return text.toStdString();
}

TEST(JobFieldRules, ByteLimitRevertsWithTheCaretWhereTheRefusedTextBegan)
{
    const struct {
        const char *what;
        const char *stored;
        const char *text;
        int caret;
        int maxBytes;
        bool refused;
        int revertCaret;
    } cases[] = {
        {"fits", "ABCDEFGHIJKLMN", "ABCDEFGHIJKLMNO", 15, 15, false, 0},
        {"one byte over", "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNOP", 16, 15, true, 15},
        {"double-byte over at 14 bytes", "ABCDEFGHIJKLMN", "ABCDEFGHIJKLMN入", 15, 15, true, 14},
        {"kana counts one byte", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾ", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ", 15, 15, false, 0},
        {"paste in the middle", "入荷", "入ABCDEFGHIJKLMN荷", 15, 15, true, 1},
        {"a word committed at 4", "ABCDEFGHIJKL", "ABCD確認EFGHIJKL", 6, 15, true, 4},
        {"a word over a selection", "ABCDEFGHIJKLMN", "AB確認EFGHIJKLMN", 4, 15, true, 2},
        {"letters like those before them", "AAAAAAAAAAAAAA", "AAAAAAAAAAAAAAAA", 5, 15, true, 3},
        {"caret at the front stays at 0", "AB", "入入入入入入入入AB", 0, 15, true, 0},
        {"item name 20", "12345678901234567890", "12345678901234567890X", 21, 20, true, 20},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto r =
            byteLimitRefusal(QString::fromUtf8(c.stored), QString::fromUtf8(c.text), c.caret, c.maxBytes);
        ASSERT_EQ(r.has_value(), c.refused);
        if (r) {
            EXPECT_EQ(s(r->text), c.stored);
            EXPECT_EQ(r->caret, c.revertCaret);
        }
    }
}

TEST(JobFieldRules, RevertOfADeletionOrAnUnknownChangeIsOnePlaceBack)
{
    const struct {
        const char *what;
        const char *stored;
        const char *text;
        int caret;
        int revertCaret;
    } cases[] = {
        {"one character typed", "ABC.EX", "ABC.EXE", 7, 6},
        {"backspace at the end", "ABC.EX", "ABC.E", 5, 4},
        {"delete in the middle", "ABC.EX", "AB.EX", 2, 1},
        {"caret at the front", "AB", "XAB", 0, 0},
        {"caret beyond a shorter stored text", "入", "入荷X", 3, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const EditRevert r = revertEdit(QString::fromUtf8(c.stored), QString::fromUtf8(c.text), c.caret);
        EXPECT_EQ(s(r.text), c.stored);
        EXPECT_EQ(r.caret, c.revertCaret);
    }
}

TEST(JobFieldRules, FileNameKeysTypedAndPasted)
{
    const struct {
        const char *what;
        bool save; // FNameKey, else the add-job dialog's names
        const char *before;
        const char *after;
        bool accepted;
        const char *text;
    } cases[] = {
        {"typed and upper-cased", true, "ab", "abc", true, "abC"},
        {"digit first", true, "", "1", false, ""},
        {"placeholder first", true, "", "#", false, ""},
        {"placeholders", true, "A", "A#*", true, "A#*"},
        {"fifth #", true, "A####", "A#####", false, "A####"},
        {"second point", true, "A.B", "A.B.", false, "A.B"},
        {"ninth name character at the end", true, "ABCDEFGH", "ABCDEFGHI", false, "ABCDEFGH"},
        {"fourth extension character", true, "A.DAT", "A.DATX", false, "A.DAT"},
        {"point after eight", true, "ABCDEFGH", "ABCDEFGH.", true, "ABCDEFGH."},
        {"colon", true, "A", "A:", false, "A"},
        {"full-width", true, "A", "Aア", false, "A"},
        {"paste runs key by key", true, "", "data.dat", true, "DATA.DAT"},
        {"paste with a refused key", true, "", "da ta", false, ""},
        {"deleting passes", true, "ABC", "AC", true, "AC"},
        {"add-job: no placeholders", false, "A", "A#", false, "A"},
        {"add-job: underscore", false, "A", "A_", true, "A_"},
        {"add-job: underscore first", false, "", "_", false, ""},
        {"add-job: 8.3", false, "PROG.PD", "PROG.PD4", true, "PROG.PD4"},
        {"add-job: typed keys upper-cased", false, "P", "Pd", true, "PD"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const KeyRule rule = c.save ? KeyRule(FNameKey) : KeyRule(AddGyNameKey);
        const TypedChange t = typeThrough(QString::fromUtf8(c.before), QString::fromUtf8(c.after), rule);
        EXPECT_EQ(t.accepted, c.accepted);
        EXPECT_EQ(s(t.text), c.text);
    }
}

TEST(JobFieldRules, FileNamesOfTheJob)
{
    const struct {
        const char *name;
        bool program;
        bool receive;
        bool save;
    } cases[] = {
        {"AB.PD5", false, true, true},    {"AB.PD", true, true, true},
        {"AB.PD4", true, true, false},    {"ABC.EX", true, true, true},
        {"ABC.EXE", false, false, false}, {"NEWFILE.WAV", false, true, false},
        {"DATA.dat", false, true, true},  {"data.bnf", false, false, false},
        {"ABCD", true, true, true},       {"ﾃﾞｰﾀ", true, true, true},
        {"データ", false, false, false},  {"ABCDEFGH.TXTX", false, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(PNameAccepted(name), c.program);
        EXPECT_EQ(RNameAccepted(name), c.receive);
        EXPECT_EQ(FNameAccepted(name), c.save);
    }
    EXPECT_EQ(AddGyRNameRefusal(QStringLiteral("ferpk600.pd4"), 3, QStringLiteral("FERPK600.PD")), 11);
    EXPECT_EQ(AddGyRNameRefusal(QStringLiteral("A.TMP"), 5, QStringLiteral("A.TM")), 4);
    EXPECT_EQ(AddGyRNameRefusal(QStringLiteral("A.PD4"), 5, QStringLiteral("A.PD")), std::nullopt);
    EXPECT_FALSE(AddGyFNameAccepted(QStringLiteral("A.PD4")));
    EXPECT_TRUE(AddGyFNameAccepted(QStringLiteral("A.WAV")));
    EXPECT_TRUE(AddGyPNameAccepted(QStringLiteral("AB.PD4")));
    EXPECT_FALSE(AddGyPNameAccepted(QStringLiteral("AB.PD5")));
    EXPECT_TRUE(AddGyPNameAccepted(QStringLiteral("A.PD"))); // an extension still being typed
}

TEST(JobFieldRules, DefaultValuesOfDatesAndTimes)
{
    const struct {
        char type;
        const char *text;
        bool accepted;
    } cases[] = {
        {'W', "2024/01/31", true}, {'W', "2024/1/1", false}, {'W', "2023/02/29", false},
        {'W', "", true},           {'X', "24/02/29", true},  {'X', "24/13/01", false},
        {'Y', "02/29", true},      {'Y', "2/3", false},      {'Z', "23:59", true},
        {'Z', "24:00", false},     {'Z', "9:30", false},     {'A', "anything", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(1, c.type) + " " + c.text);
        EXPECT_EQ(DefaultDatAccepted(QLatin1Char(c.type), QString::fromUtf8(c.text)), c.accepted);
    }
    EXPECT_EQ(DefaultDatKey(u'B', u'/'), std::nullopt);
    EXPECT_EQ(DefaultDatKey(u'W', u'/'), QChar(u'/'));
    EXPECT_EQ(DefaultDatKey(u'Z', u'/'), std::nullopt);
    EXPECT_EQ(DefaultDatKey(u'A', u'x'), QChar(u'x'));
}

TEST(JobFieldRules, LimitsSizeAndLength)
{
    // Double width.
    EXPECT_EQ(DoubleWidthFault(u'c', false, "9999999", "8"),
              (FieldMessage{QStringLiteral("データ保存桁数を７以下にしてください"),
                            QStringLiteral("横倍表示設定エラー")}));
    EXPECT_EQ(DoubleWidthFault(u'c', true, "9999999", "8")->text.toStdString(),
              "データ桁数を７以下にしてください");
    EXPECT_EQ(DoubleWidthFault(u'c', false, "", "7"), std::nullopt);
    EXPECT_EQ(DoubleWidthFault(u'a', false, "", "9")->text.toStdString(),
              "データ保存桁数を８以下にしてください");
    EXPECT_EQ(DoubleWidthFault(u'B', false, "91", "3500")->text.toStdString(),
              "入力最大桁数を９０以下にしてください");
    EXPECT_EQ(DoubleWidthFault(u'B', true, "91", "3500")->text.toStdString(),
              "データ桁数を９０以下にしてください");
    EXPECT_EQ(DoubleWidthFault(u'A', false, "3500", "3500"), std::nullopt);

    // Length at double width.
    EXPECT_EQ(KDLenValue("9", u'a', true), 8);
    EXPECT_EQ(KDLenValue("9", u'c', true), 7);
    EXPECT_EQ(KDLenValue("9", u'c', false), 9);
    EXPECT_EQ(KDLenValue("", u'A', false), 1);

    // Maximum.
    EXPECT_EQ(KDMaxFault(u'B', true, "91", "100", true)->text.toStdString(),
              "入力最大桁数を９０以下にしてください。");
    EXPECT_EQ(KDMaxFault(u'A', false, "30", "20", true)->text.toStdString(),
              "入力最大桁数をデータ保存桁数以下にしてください。");
    EXPECT_EQ(KDMaxFault(u'A', false, "30", "20", false)->text.toStdString(),
              "入力最大桁数をデータ桁数以下にしてください。");
    EXPECT_EQ(KDMaxFault(u'A', false, "20", "20", true), std::nullopt);
    EXPECT_EQ(KDMaxFault(u'A', false, "-", "20", true), std::nullopt);
    EXPECT_EQ(KDMaxFault(u'a', false, "99999", "2", true), std::nullopt);
}

TEST(JobFieldRules, MinimumAgainstMaximumByType)
{
    const struct {
        char type;
        const char *min;
        const char *max;
        bool fault;
    } cases[] = {
        {'b', "-5", "-7", true}, {'b', "-7", "-5", false},    {'b', "3", "-1", true},
        {'b', "-3", "1", false}, {'b', "+2.5", "+2.4", true}, {'b', "-", "-7", false},
        {'A', "21", "20", true}, {'A', "20", "20", false},    {'a', "11", "x", true},
        {'a', "9", "x", false},  {'W', "99", "1", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(1, c.type) + " " + c.min + " " + c.max);
        const auto f = KDMinFault(QLatin1Char(c.type), QString::fromUtf8(c.min), QString::fromUtf8(c.max));
        ASSERT_EQ(f.has_value(), c.fault);
        if (f) {
            EXPECT_EQ(s(f->caption), c.type == 'A' ? "入力最小桁数エラー" : "入力最小値エラー");
        }
    }
}

TEST(JobFieldRules, InputMethodAndTypeConsequences)
{
    EXPECT_EQ(InputModeFault(u'A', 3, 2)->caption.toStdString(), "入力方法設定エラー");
    EXPECT_EQ(InputModeFault(u'A', 2, 2), std::nullopt);
    EXPECT_EQ(InputModeFault(u'A', 9, 1), std::nullopt);
    EXPECT_EQ(InputModeFault(u'J', 9, 2), std::nullopt);
    EXPECT_EQ(TypeInputConsequence(u'A', 3, 2)->inputMode, 0);
    EXPECT_EQ(TypeInputConsequence(u'A', 3, 3)->inputMode, 1);
    EXPECT_EQ(TypeInputConsequence(u'A', 3, 3)->message.text.toStdString(),
              "バーコード入力できないデータ形式です。\r\n入力方法を変更します。");
    EXPECT_EQ(TypeInputConsequence(u'A', 2, 2), std::nullopt);
    EXPECT_EQ(TypeInputConsequence(u'J', 3, 2), std::nullopt);

    EXPECT_TRUE(isNumberFor(u'b', "-12.5"));
    EXPECT_FALSE(isNumberFor(u'b', "1.2.3"));
    EXPECT_FALSE(isNumberFor(u'a', "-1"));
    EXPECT_FALSE(isNumberFor(u'B', "ABC"));
    EXPECT_TRUE(isNumberFor(u'A', "ABC"));
}

TEST(JobFieldRules, ReleasingAMasterNeverIndexesBeyondTheList)
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    set->MstNum = 2;
    set->MstDat[1].UseCount = 2;
    for (int number : {2, 3, -1, 0}) {
        TKoData item;
        item.KMstFlag = true;
        item.KMFNo = number;
        item.DspQDNo = 3;
        ReleaseMaster(item, *set);
        EXPECT_FALSE(item.KMstFlag);
        EXPECT_EQ(item.KMFNo, 0);
        EXPECT_EQ(item.KMFKeyTop, 1);
        EXPECT_EQ(item.DspQDNo, 0);
    }
    EXPECT_EQ(set->MstDat[1].UseCount, 0) << "no item of the set uses master 2";
}

TEST(JobFieldRules, ReleasingAMasterCountsTheUsesFromTheItems)
{
    // Two items of the set on master 2 whose count was never kept (pasted, say): releasing one
    // leaves the other counted.
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    set->MstNum = 2;
    TGyData &job = set->GyData[0];
    job.DaCount = 2;
    for (TKoData &item : {std::ref(job.DaKoDa[0]), std::ref(job.DaKoDa[1])}) {
        item.KMstFlag = true;
        item.KMFNo = 2;
    }
    set->MstDat[1].UseCount = 0;
    ReleaseMaster(job.DaKoDa[0], *set);
    EXPECT_EQ(set->MstDat[1].UseCount, 1);
    EXPECT_EQ(set->MstDat[0].UseCount, 0);
}

// A job made in mode B must pass validation as it comes: its quantity's maximum with its sign
// has to fit the quantity's length.
TEST(JobFieldRules, AFreshModeBJobValidates)
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    TAddGyDat add = set->AddGyDat;
    add.GyMode = GyModeIndex(u'B');
    add.FName = QStringLiteral("SYUKA.DAT");
    InitGyData(set->GyData[0], add);
    // Showing the quantity gives its maximum its sign.
    set->GyData[0].TmpDaNo = 1;
    DspGyData(*set);
    const TKoData &quantity = set->GyData[0].DaKoDa[1];
    EXPECT_LE(platform::cp932::byteLength(quantity.KDMax), quantity.KDLen);
    BnfShownControls shown;
    shown.APOffTimeNE = shown.Bar2ReadNE = shown.DspErrTimeNE = QStringLiteral("1");
    shown.BzHzNE = shown.BzCountNE = shown.BzOnTimeNE = shown.BzOffTimeNE = QStringLiteral("1");
    shown.GNameSE = add.GyName;
    shown.GModeCB = add.GyMode;
    shown.KNameSE = quantity.KName;
    shown.KDTypeCB = quantity.KDType;
    shown.KDLenNE = QString::number(quantity.KDLen);
    shown.KDMaxNE = quantity.KDMax;
    shown.KDMinNE = quantity.KDMin;
    const auto error = CheckBnfDat(*set, shown, {});
    EXPECT_FALSE(error.has_value()) << (error ? error->message.toStdString() : "");
}

} // namespace
