#include "TessaryTestSupport.h"
#include "addins/tessary/CheckRules.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tessary;

namespace {

const TModel &model(int bhtType)
{
    return *FindModel(bhtType);
}

TBarDat goodBar()
{
    TBarDat bar = InitBarDat();
    bar.BarType = QStringLiteral("A");
    bar.BMax = 20;
    bar.BMin = 1;
    return bar;
}

// A job that passes every check; each case breaks one thing.
TTessaryState validJob()
{
    TTessaryState s = DefaultState(model(800));
    s.DKubun = true;
    s.DKName = QStringLiteral("区分");
    s.DKMax = 10;
    s.DKMin = 2;
    s.DKBar = true;
    s.DKBarDat = goodBar();
    s.DKMst = true;
    s.DKMstFile = QStringLiteral("A.MST");
    s.DKMstField = QStringLiteral("1,2");
    s.MKName = QStringLiteral("元");
    s.MKMst = true;
    s.MKMstFile = QStringLiteral("B.MST");
    s.MKMstField = QStringLiteral("3");
    s.MKBarDat = goodBar();
    s.SKName = QStringLiteral("先");
    s.CKBarDat = goodBar();
    s.DSave = true;
    s.SaveFile = QStringLiteral("R.DAT");
    s.SaveFields = 2;
    s.SaveDat[0] = {'M', 1, 10};
    s.SaveDat[1] = {'S', 1, 10};
    return s;
}

} // namespace

TEST(CheckRulesTest, CheckDataReportsTheFirstFaultWithPageAndControl)
{
    struct Case {
        const char *name;
        std::function<void(TTessaryState &)> edit;
        int code;
        const char *message;
        int page;
        const char *control;
    };
    const std::vector<Case> cases{
        {"dkName", [](auto &s) { s.DKName = QStringLiteral("  "); }, 10, "項目名を入力してください。", 0,
         "DKNameSE"},
        {"dkMaxEmpty",
         [](auto &s) {
             s.DKMax.reset();
             s.DKMin.reset();
         },
         11, "入力最大桁数を入力してください。", 0, "DKMaxNE"},
        {"dkMinEmpty", [](auto &s) { s.DKMin.reset(); }, 12, "入力最小桁数を入力してください。", 0,
         "DKMinNE"},
        {"dkMaxWide",
         [](auto &s) {
             s.DKFont = 1;
             s.DKMax = 41;
         },
         11, "入力最大桁数を再入力してください。", 0, "DKMaxNE"},
        {"dkMinAbove",
         [](auto &s) {
             s.DKMax = 80;
             s.DKMin = 81;
         },
         12, "入力最小桁数を再入力してください。", 0, "DKMinNE"},
        {"dkOrder",
         [](auto &s) {
             s.DKMax = 3;
             s.DKMin = 4;
         },
         12, "入力最大/最小桁数を再入力してください。", 0, "DKMinNE"},
        {"dkBarcode", [](auto &s) { s.DKBarDat.BarType.clear(); }, 13, "読取バーコードを設定してください。",
         0, "DKBarBtn"},
        {"dkMasterFile", [](auto &s) { s.DKMstFile.clear(); }, 14, "マスターファイル名を入力してください。",
         0, "DKMstFileSE"},
        {"dkMasterField", [](auto &s) { s.DKMstField.clear(); }, 15, "フィールド情報を入力してください。", 0,
         "DKMstFieldSE"},
        {"sourceName",
         [](auto &s) {
             s.MKName.clear();
             s.SKName.clear();
         },
         20, "項目名を入力してください。", 1, "MKNameSE"},
        {"searchStart", [](auto &s) { s.SerchDatTop.reset(); }, 21, "検索データ先頭を入力してください。", 1,
         "SerchDatTopNE"},
        {"searchLength", [](auto &s) { s.SerchDatLen.reset(); }, 22, "検索データ桁数を入力してください。", 1,
         "SerchDatLenNE"},
        {"sourceMasterFile", [](auto &s) { s.MKMstFile.clear(); }, 23,
         "マスターファイル名を入力してください。", 1, "MKMstFileSE"},
        {"sourceMasterField", [](auto &s) { s.MKMstField.clear(); }, 24, "フィールド情報を入力してください。",
         1, "MKMstFieldSE"},
        // the source's barcode is checked before the target's name
        {"sourceBarcode",
         [](auto &s) {
             s.MKBarDat.DTop[0] = 21;
             s.SKName.clear();
         },
         30, "読取ﾊﾞｰｺｰﾄﾞの照合元ﾃﾞｰﾀを再設定してください。", 1, "MKBarBtn"},
        {"targetName", [](auto &s) { s.SKName.clear(); }, 25, "項目名を入力してください。", 1, "SK1NameSE"},
        {"targetBarcode", [](auto &s) { s.CKBarDat.Dlen[0] = 21; }, 31,
         "読取ﾊﾞｰｺｰﾄﾞの調合先ﾃﾞｰﾀを再設定してください。", 1, "SK1BarBtn"},
        {"saveFile", [](auto &s) { s.SaveFile.clear(); }, 40, "保存ファイル名を入力してください。", 2,
         "SaveFileSE"},
        {"saveStart",
         [](auto &s) {
             s.SaveDat[1].top = 0;
             s.SaveDat[0].len = 0;
         },
         41, "保存データを再設定してください。", 2, "SFTop2NE"},
        {"saveLength", [](auto &s) { s.SaveDat[1].len = 0; }, 42, "保存データを再設定してください。", 2,
         "SFLen2NE"},
        {"saveTooLong",
         [](auto &s) {
             // Only lengths the page never lets through add up to more than one record holds.
             s.SaveFields = 16;
             for (auto &f : s.SaveDat)
                 f = {'M', 1, 4200};
         },
         43, "保存データ桁数を小さくしてください。", 2, "SFLen1NE"},
    };
    ASSERT_EQ(CheckData(validJob(), model(800)), std::nullopt);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TTessaryState s = validJob();
        c.edit(s);
        const CheckFailure expected{c.code, QString::fromUtf8(c.message), c.page,
                                    QString::fromLatin1(c.control)};
        EXPECT_EQ(CheckData(s, model(800)), expected);
    }
}

TEST(CheckRulesTest, RulesThatStaySilent)
{
    TTessaryState s = validJob();
    s.DKubun = false; // none of the data-kind checks runs
    s.DKName.clear();
    s.DKMax.reset();
    s.DKBarDat = TBarDat{};
    EXPECT_EQ(CheckData(s, model(800)), std::nullopt);

    s = validJob();
    s.DKBar = false; // a data-kind barcode not used is not checked
    s.DKBarDat = TBarDat{};
    EXPECT_EQ(CheckData(s, model(800)), std::nullopt);

    s = validJob();
    s.SaveFields = 16;
    for (auto &f : s.SaveDat)
        f = {'M', 1, 3500}; // 56000 bytes fit
    EXPECT_EQ(CheckData(s, model(800)), std::nullopt);

    s = validJob();
    s.DSave = false;
    s.SaveFile.clear();
    EXPECT_EQ(CheckData(s, model(800)), std::nullopt);
}

TEST(CheckRulesTest, CheckBarDatByRole)
{
    struct Case {
        const char *name;
        std::function<void(TBarDat &)> edit;
        BarRole role;
        int dousa;
        int bhtType;
        const char *message; // empty: passes
    };
    const std::vector<Case> cases{
        {"noSymbology", [](auto &b) { b.BarType.clear(); }, BarRole::Target, OneToOne, 800,
         "読取バーコードを設定してください。"},
        {"userStringOnly",
         [](auto &b) {
             b.BarType.clear();
             b.BarUser = QStringLiteral("A");
         },
         BarRole::Target, OneToOne, 800, ""},
        {"maxBelowMin", [](auto &b) { b.BMin = 21; }, BarRole::Source, OneToOne, 800,
         "読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。"},
        {"maxZero",
         [](auto &b) {
             b.BMax = 0;
             b.BMin = 0;
         },
         BarRole::Source, OneToOne, 800, "読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。"},
        {"checkWithoutText", [](auto &b) { b.BChkMode = 1; }, BarRole::DataKind, OneToOne, 800,
         "読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。"},
        {"checkBeyondMax",
         [](auto &b) {
             b.BChkMode = 2;
             b.BChkStr = QStringLiteral("1");
             b.BChkTop = 21;
         },
         BarRole::DataKind, OneToOne, 800, "読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。"},
        {"checkAtSpecialPosition900",
         [](auto &b) {
             b.BChkMode = 2;
             b.BChkStr = QStringLiteral("1");
             b.BChkTop = 999;
         },
         BarRole::DataKind, OneToOne, 900, ""},
        {"selectionBeyond", [](auto &b) { b.DTop[0] = 0; }, BarRole::DataKind, OneToOne, 800,
         "読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。"},
        {"sourcePieceOneToOne", [](auto &b) { b.DTop[0] = 25; }, BarRole::Source, OneToOne, 800,
         "読取ﾊﾞｰｺｰﾄﾞの照合元ﾃﾞｰﾀを再設定してください。"},
        {"sourcePieceOneToN", [](auto &b) { b.DTop[0] = 25; }, BarRole::Source, OneToN, 800, ""},
        {"sourceAtSpecialPosition", [](auto &b) { b.DTop[0] = 9999; }, BarRole::Source, OneToOne, 800, ""},
        {"targetLength", [](auto &b) { b.Dlen[0] = 21; }, BarRole::Target, OneToN, 800,
         "読取ﾊﾞｰｺｰﾄﾞの調合先ﾃﾞｰﾀを再設定してください。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TBarDat bar = goodBar();
        c.edit(bar);
        EXPECT_EQ(CheckBarDat(bar, c.role, c.dousa, model(c.bhtType)), QString::fromUtf8(c.message));
    }
}

namespace {

BarDialogInput goodDialog(BarRole role, int count, int format = FixedLengthFormat)
{
    BarDialogInput in;
    in.role = role;
    in.partialCount = count;
    in.letters = QStringLiteral("A");
    in.BarMax = 40;
    in.BarMin = 1;
    in.format = format;
    in.InpDatTop = 1;
    in.InpDatLen = 1;
    for (int i = 0; i < CmpDataCount; ++i) {
        in.CmpTop[std::size_t(i)] = 1;
        in.CmpLen[std::size_t(i)] = 1;
        in.CmpDno[std::size_t(i)] = 1;
    }
    return in;
}

} // namespace

TEST(CheckRulesTest, BarcodeDialogChecksInOrder)
{
    struct Case {
        const char *name;
        BarDialogInput input;
        std::function<void(BarDialogInput &)> edit;
        const char *message; // empty: passes
        const char *control;
    };
    const std::vector<Case> cases{
        {"noSymbology", goodDialog(BarRole::Target, 0), [](auto &in) { in.letters.clear(); },
         "読取バーコードを入力してください。", "BarTypeGB"},
        {"userDefinedPasses", goodDialog(BarRole::Target, 0),
         [](auto &in) { in.letters = QStringLiteral("u"); }, "", ""},
        {"maxEmptyBeforeDeleteChars", goodDialog(BarRole::Source, 1),
         [](auto &in) {
             in.BarMax.reset();
             in.delChar = true;
         },
         "読取最大桁数を入力してください。", "BarMaxNE"},
        {"maxAboveBarMaxLen", goodDialog(BarRole::Source, 1), [](auto &in) { in.BarMax = 3501; },
         "読取最大桁数を再入力してください。", "BarMaxNE"},
        {"minEmpty", goodDialog(BarRole::Source, 1), [](auto &in) { in.BarMin.reset(); },
         "読取最小桁数を入力してください。", "BarMinNE"},
        {"minAboveMax", goodDialog(BarRole::Source, 1), [](auto &in) { in.BarMin = 41; },
         "読取最小桁数を再入力してください。", "BarMinNE"},
        {"checkNumberDelimited", goodDialog(BarRole::Source, 1, 1),
         [](auto &in) {
             in.dataCheck = true;
             in.ChkTop = 1;
             in.ChkData = QStringLiteral("X");
         },
         "データチェックのデータＮｏを入力してください。", "ChkFldNoNE"},
        {"checkNumberNotAskedFixed", goodDialog(BarRole::Source, 1),
         [](auto &in) {
             in.dataCheck = true;
             in.ChkTop = 1;
             in.ChkData = QStringLiteral("X");
         },
         "", ""},
        {"checkTop", goodDialog(BarRole::Source, 1), [](auto &in) { in.dataCheck = true; },
         "データチェックのチェックデータ位置を入力してください。", "ChkTopNE"},
        {"checkData", goodDialog(BarRole::Source, 1),
         [](auto &in) {
             in.dataCheck = true;
             in.ChkTop = 3;
         },
         "チェックデータを入力してください。", "ChkDataSE"},
        {"selectionStartEmpty", goodDialog(BarRole::DataKind, 0), [](auto &in) { in.InpDatTop.reset(); },
         "データ選択位置を入力してください。", "InpDatTopNE"},
        {"selectionStartBeyond", goodDialog(BarRole::DataKind, 0), [](auto &in) { in.InpDatTop = 41; },
         "データ選択位置を再入力してください。", "InpDatTopNE"},
        {"selectionStartSpecial", goodDialog(BarRole::DataKind, 0), [](auto &in) { in.InpDatTop = 9999; }, "",
         ""},
        {"selectionLengthEmpty", goodDialog(BarRole::DataKind, 0), [](auto &in) { in.InpDatLen.reset(); },
         "データ選択桁数を入力してください。", "InpDatLenNE"},
        {"selectionLengthBeyond", goodDialog(BarRole::DataKind, 0), [](auto &in) { in.InpDatLen = 41; },
         "データ選択桁数を再入力してください。", "InpDatLenNE"},
        {"sourceNumberRow3", goodDialog(BarRole::Source, 3, 4), [](auto &in) { in.CmpDno[2].reset(); },
         "照合データNoを入力してください。", "Cmp3DnoNE"},
        {"sourceNumberBeyondCount", goodDialog(BarRole::Source, 2, 4), [](auto &in) { in.CmpDno[2].reset(); },
         "", ""},
        {"sourceRow2StartBeyond", goodDialog(BarRole::Source, 2), [](auto &in) { in.CmpTop[1] = 50; },
         "照合データ位置を再入力してください。", "Cmp2TopNE"},
        {"sourceRow1LengthEmpty", goodDialog(BarRole::Source, 2), [](auto &in) { in.CmpLen[0].reset(); },
         "照合データ桁数を入力してください。", "Cmp1LenNE"},
        {"sourceRow2LengthBeyond", goodDialog(BarRole::Source, 2), [](auto &in) { in.CmpLen[1] = 41; },
         "照合データ桁数を再入力してください。", "Cmp2LenNE"},
        {"sourceRow2StartEmpty", goodDialog(BarRole::Source, 2), [](auto &in) { in.CmpTop[1].reset(); },
         "照合データ位置を入力してください。", "Cmp2TopNE"},
        {"targetStartAgainstBarMaxLen", goodDialog(BarRole::Target, 2), [](auto &in) { in.CmpTop[0] = 50; },
         "", ""},
        {"targetStartBeyondBarMaxLen", goodDialog(BarRole::Target, 2), [](auto &in) { in.CmpTop[0] = 3501; },
         "照合データ位置を再入力してください。", "Cmp1TopNE"},
        {"targetStartEmpty", goodDialog(BarRole::Target, 0), [](auto &in) { in.CmpTop[0].reset(); },
         "照合データ位置を入力してください。", "Cmp1TopNE"},
        {"targetLengthEmpty", goodDialog(BarRole::Target, 1), [](auto &in) { in.CmpLen[0].reset(); },
         "照合データ桁数を入力してください。", "Cmp1LenNE"},
        {"targetRow2NotChecked", goodDialog(BarRole::Target, 2), [](auto &in) { in.CmpTop[1].reset(); }, "",
         ""},
        {"targetNumber", goodDialog(BarRole::Target, 1, 1), [](auto &in) { in.CmpDno[0].reset(); },
         "照合データNoを入力してください。", "Cmp1DnoNE"},
        {"deleteCharsEmpty", goodDialog(BarRole::Target, 1), [](auto &in) { in.delChar = true; },
         "照合データから削除する文字を入力してください。", "DelCharSE"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BarDialogInput in = c.input;
        c.edit(in);
        const auto failure = CheckBarDialog(in, model(800));
        if (*c.message == 0) {
            EXPECT_EQ(failure, std::nullopt);
        } else {
            EXPECT_EQ(failure,
                      (BarDialogFailure{QString::fromUtf8(c.message), QString::fromLatin1(c.control)}));
        }
    }
}

TEST(CheckRulesTest, BarcodeDialogLayoutByRoleAndCount)
{
    const BarDialogLayout dataKind = LayoutBarDialog(BarRole::DataKind, 3, 1, false, true);
    EXPECT_FALSE(dataKind.formatEnabled);
    EXPECT_TRUE(dataKind.selectionShown);
    EXPECT_EQ(dataKind.groupCaption, QString());
    EXPECT_FALSE(dataKind.headShown);
    EXPECT_EQ(dataKind.rowShown, (std::array<bool, 5>{}));
    EXPECT_FALSE(dataKind.rowsByNumber); // shown fixed length whatever is stored
    EXPECT_FALSE(dataKind.delCharShown);
    EXPECT_FALSE(dataKind.delCharPanelShown);

    const BarDialogLayout none = LayoutBarDialog(BarRole::Target, 0, 1, true, false);
    EXPECT_FALSE(none.formatEnabled);
    EXPECT_EQ(none.groupCaption, QStringLiteral("照合先データ設定"));
    EXPECT_FALSE(none.headShown);
    EXPECT_EQ(none.rowShown, (std::array<bool, 5>{}));
    EXPECT_TRUE(none.dataCheckShown);
    EXPECT_FALSE(none.checkNumberShown);
    EXPECT_TRUE(none.delCharShown);
    EXPECT_FALSE(none.delCharPanelShown);

    const BarDialogLayout two = LayoutBarDialog(BarRole::Source, 2, 8, true, true);
    EXPECT_TRUE(two.formatEnabled);
    EXPECT_EQ(two.groupCaption, QStringLiteral("照合元データ設定"));
    EXPECT_TRUE(two.headShown);
    EXPECT_EQ(two.rowShown, (std::array<bool, 5>{true, true, false, false, false}));
    EXPECT_TRUE(two.rowsByNumber);
    EXPECT_TRUE(two.checkNumberShown);
    EXPECT_TRUE(two.checkTopRight);
    EXPECT_TRUE(two.delCharPanelShown);

    EXPECT_EQ(LayoutBarDialog(BarRole::Source, 5, 0, false, false).rowShown,
              (std::array<bool, 5>{true, true, true, true, true}));
}
