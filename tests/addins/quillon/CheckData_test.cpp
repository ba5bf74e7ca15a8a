#include "QuillonTestSupport.h"
#include "addins/quillon/CheckData.h"

#include <functional>
#include <gtest/gtest.h>

using namespace quillon;
using quillontest::model;

TEST(QuillonCheckDataTest, AValidFormPasses)
{
    EXPECT_TRUE(CheckData(quillontest::validSettings(), model(800)).passed());
    EXPECT_TRUE(CheckData(quillontest::validSettings(), model(900)).passed());
}

TEST(QuillonCheckDataTest, FirstFailingRuleNamesCodeMessagePageAndControl)
{
    using Change = std::function<void(QuillonSettings &)>;
    const auto dataKind = [](Change more) {
        return Change([more](QuillonSettings &s) {
            s.DKubunChk = true;
            s.DKNameSE = QStringLiteral("区分");
            more(s);
        });
    };
    const auto saving = [](Change more) {
        return Change([more](QuillonSettings &s) {
            s.DSaveChk = true;
            s.SaveFileSE = QStringLiteral("RES.DAT");
            s.SaveFieldsCB = 2;
            s.showSaveDat();
            more(s);
        });
    };
    struct Case {
        const char *name;
        int model;
        Change change;
        int code;
        int page;
        QString focus;
        QString message;
    };
    const QString nameMissing = QStringLiteral("項目名を入力してください。");
    const QString maxAgain = QStringLiteral("入力最大桁数を再入力してください。");
    const QString maxMin = QStringLiteral("入力最大/最小桁数を再入力してください。");
    const QString master = QStringLiteral("マスターファイル名を入力してください。");
    const QString noBarcode = QStringLiteral("読取バーコードを設定してください。");
    const QString fieldMissing = QStringLiteral("フィールド情報を入力してください。");
    const QString fieldAgain = QStringLiteral("フィールド情報を再設定してください。");
    const std::vector<Case> cases = {
        {"data kind off skips page 1",
         800,
         [](QuillonSettings &s) {
             s.DKMaxNE.clear();
             s.DKBarChk = true;
             s.DKMstUseChk = true;
         },
         0,
         0,
         {},
         {}},
        {"data kind without name", 800, [](QuillonSettings &s) { s.DKubunChk = true; }, 10, 1, "DKNameSE",
         nameMissing},
        {"data kind max empty", 800, dataKind([](QuillonSettings &s) { s.DKMaxNE.clear(); }), 11, 1,
         "DKMaxNE", QStringLiteral("入力最大桁数を入力してください。")},
        {"data kind min empty", 800, dataKind([](QuillonSettings &s) { s.DKMinNE.clear(); }), 12, 1,
         "DKMinNE", QStringLiteral("入力最小桁数を入力してください。")},
        {"wide max 100 on 800", 800, dataKind([](QuillonSettings &s) {
             s.DKFontCB = 1;
             s.DKMaxNE = "100";
         }),
         11, 1, "DKMaxNE", maxAgain},
        {"standard max 100 on 800",
         800,
         dataKind([](QuillonSettings &s) { s.DKMaxNE = "100"; }),
         0,
         0,
         {},
         {}},
        {"standard max 100 on 900", 900, dataKind([](QuillonSettings &s) { s.DKMaxNE = "100"; }), 11, 1,
         "DKMaxNE", maxAgain},
        {"min beyond limit", 800, dataKind([](QuillonSettings &s) {
             s.DKMaxNE = "181";
             s.DKMinNE = "200";
         }),
         11, 1, "DKMaxNE", maxAgain},
        {"min above limit alone", 800, dataKind([](QuillonSettings &s) { s.DKMinNE = "181"; }), 12, 1,
         "DKMinNE", QStringLiteral("入力最小桁数を再入力してください。")},
        {"data kind max below min", 800, dataKind([](QuillonSettings &s) { s.DKMinNE = "21"; }), 12, 1,
         "DKMinNE", maxMin},
        {"data kind barcode unset", 800, dataKind([](QuillonSettings &s) { s.DKBarChk = true; }), 13, 1,
         "DKBarBtn", noBarcode},
        {"data kind master unnamed", 800, dataKind([](QuillonSettings &s) { s.DKMstUseChk = true; }), 14, 1,
         "DKMstFileSE", master},
        // A date kind hides the ticked boxes; they are checked, and the data type is focused.
        {"date kind's hidden barcode unset", 800, dataKind([](QuillonSettings &s) {
             s.DKTypeCB = 4;
             s.DKMaxNE.clear();
             s.DKBarChk = true;
             s.DKMstUseChk = true;
         }),
         13, 1, "DKTypeCB", noBarcode},
        {"time kind's hidden master unnamed", 800, dataKind([](QuillonSettings &s) {
             s.DKTypeCB = 6;
             s.DKBarChk = true;
             s.DKBarDat = quillontest::validBar();
             s.DKMstUseChk = true;
         }),
         14, 1, "DKTypeCB", master},
        {"date kind's hidden sections set",
         800,
         dataKind([](QuillonSettings &s) {
             s.DKTypeCB = 3;
             s.DKMaxNE.clear();
             s.DKBarChk = true;
             s.DKBarDat = quillontest::validBar();
             s.DKMstUseChk = true;
             s.DKMstFileSE = QStringLiteral("KUBUN.DAT");
         }),
         0,
         0,
         {},
         {}},
        {"search key without name", 800, [](QuillonSettings &s) { s.KKNameSE.clear(); }, 20, 2, "KKNameSE",
         nameMissing},
        {"search key barcode unset", 800, [](QuillonSettings &s) { s.KKBarDat = InitBarDat(); }, 21, 2,
         "KKBarBtn", noBarcode},
        {"name before barcode", 800,
         [](QuillonSettings &s) {
             s.KKNameSE.clear();
             s.KKBarDat = InitBarDat();
         },
         20, 2, "KKNameSE", nameMissing},
        {"search key max empty", 800, [](QuillonSettings &s) { s.KKMaxNE.clear(); }, 22, 2, "KKMaxNE",
         QStringLiteral("入力最大桁数を入力してください。")},
        {"search key min not a number", 800, [](QuillonSettings &s) { s.KKMinNE = "x"; }, 23, 2, "KKMinNE",
         QStringLiteral("入力最小桁数を入力してください。")},
        {"search key max 200 even in wide display", 800,
         [](QuillonSettings &s) {
             s.DKFontCB = 1;
             s.KKMaxNE = "200";
         },
         22, 2, "KKMaxNE", maxAgain},
        {"search key max 100 in wide display",
         800,
         [](QuillonSettings &s) {
             s.DKFontCB = 1;
             s.KKMaxNE = "100";
         },
         0,
         0,
         {},
         {}},
        {"search key max below min", 800, [](QuillonSettings &s) { s.KKMinNE = "25"; }, 23, 2, "KKMinNE",
         maxMin},
        {"collation master unnamed", 800, [](QuillonSettings &s) { s.KKMstFileSE.clear(); }, 24, 2,
         "KKMstFileSE", master},
        {"collation data without name", 800, [](QuillonSettings &s) { s.SKNameSE.clear(); }, 30, 2,
         "SKNameSE", nameMissing},
        {"separated data number 100", 800,
         [](QuillonSettings &s) {
             s.SKBarDat.BFmt = FmtSpace;
             s.SKBarDat.DTop = 100;
         },
         31, 2, "SKBarBtn", QStringLiteral("データNoを再設定してください。")},
        {"information master unnamed", 800, [](QuillonSettings &s) { s.SKMstUseChk = true; }, 32, 2,
         "SKMstFileSE", master},
        {"OK display time empty", 800, [](QuillonSettings &s) { s.OkDspTimeNE.clear(); }, 40, 2,
         "OkDspTimeNE", QStringLiteral("OK表示時間を入力してください。")},
        {"NG display time empty", 800, [](QuillonSettings &s) { s.NgDspTimeNE.clear(); }, 41, 2,
         "NgDspTimeNE", QStringLiteral("NG表示時間を入力してください。")},
        {"saving off skips the rows",
         800,
         [](QuillonSettings &s) {
             s.SaveEdits[0] = {};
             s.SaveFileSE.clear();
         },
         0,
         0,
         {},
         {}},
        {"save file unnamed", 800,
         [](QuillonSettings &s) {
             s.DSaveChk = true;
             s.SaveFileSE.clear();
         },
         50, 3, "SaveFileSE", QStringLiteral("保存ファイル名を入力してください。")},
        {"row start empty", 800, saving([](QuillonSettings &s) { s.SaveEdits[1].top.clear(); }), 51, 3,
         "F2TopNE", fieldMissing},
        {"row start 0", 800, saving([](QuillonSettings &s) { s.SaveEdits[1].top = "0"; }), 52, 3, "F2TopNE",
         fieldAgain},
        {"terminal number length empty", 800, saving([](QuillonSettings &s) {
             s.SaveDat[2].code = '#';
             s.SaveEdits[2] = {"", ""};
         }),
         53, 3, "F3LenNE", fieldMissing},
        {"terminal number length 0", 800, saving([](QuillonSettings &s) {
             s.SaveDat[0].code = '#';
             s.SaveEdits[0].len = "0";
         }),
         54, 3, "F1LenNE", fieldAgain},
        {"date row passes whatever its edits show",
         800,
         saving([](QuillonSettings &s) {
             s.SaveDat[0].code = '<';
             s.SaveEdits[0] = {"", ""};
         }),
         0,
         0,
         {},
         {}},
        {"rows beyond the count are not tested",
         800,
         saving([](QuillonSettings &s) {
             s.SaveEdits[3] = {"", ""};
         }),
         0,
         0,
         {},
         {}},
        {"first failing row wins", 800, saving([](QuillonSettings &s) {
             s.SaveEdits[2].len.clear();
             s.SaveEdits[1].len.clear();
         }),
         53, 3, "F2LenNE", fieldMissing},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QuillonSettings s = quillontest::validSettings();
        c.change(s);
        const CheckFailure f = CheckData(s, model(c.model));
        EXPECT_EQ(f.code, c.code);
        EXPECT_EQ(f.page, c.page);
        EXPECT_EQ(f.focus, c.focus);
        EXPECT_EQ(f.message, c.message);
    }
}

TEST(QuillonCheckDataTest, SaveRowCodesComeFromTheRecordsForTheCurrentDataKind)
{
    // A row of the data kind's data, left when the data kind was turned off, is tested as the
    // search key's row it becomes.
    QuillonSettings s = quillontest::validSettings();
    s.DSaveChk = true;
    s.SaveFileSE = QStringLiteral("RES.DAT");
    s.SaveFieldsCB = 0;
    s.SaveDat[0] = {'%', 0, 5};
    s.showSaveDat();
    s.SaveEdits[0].top.clear();
    EXPECT_EQ(CheckData(s, model(800)).code, 51);
    s.SaveDat[0].code = 'Z'; // not a code at all: read as "*"
    EXPECT_EQ(CheckData(s, model(800)).code, 51);
}

TEST(QuillonCheckDataTest, BarcodeSettingRules)
{
    struct Case {
        const char *name;
        int model;
        std::function<void(TBarDat &)> change;
        QString message;
    };
    const QString check = QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。");
    const QString select = QStringLiteral("読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。");
    const QString dataNo = QStringLiteral("データNoを再設定してください。");
    const std::vector<Case> cases = {
        {"valid", 800, [](TBarDat &) {}, {}},
        {"user code alone",
         800,
         [](TBarDat &b) {
             b.BarType.clear();
             b.BarUser = "ABC";
         },
         {}},
        {"nothing to read", 800, [](TBarDat &b) { b.BarType.clear(); },
         QStringLiteral("読取バーコードを設定してください。")},
        {"separator missing", 800, [](TBarDat &b) { b.BFmt = FmtSeparator; },
         QStringLiteral("区切り文字を入力してください。")},
        {"check start 0", 800,
         [](TBarDat &b) {
             b.BChkMode = 1;
             b.BChkTop = 0;
             b.BChkStr = "4";
         },
         check},
        {"check start 9999",
         800,
         [](TBarDat &b) {
             b.BChkMode = 2;
             b.BChkTop = 9999;
             b.BChkStr = "4";
         },
         {}},
        {"check start 5000", 800,
         [](TBarDat &b) {
             b.BChkMode = 1;
             b.BChkTop = 5000;
             b.BChkStr = "4";
         },
         check},
        {"check without data", 800, [](TBarDat &b) { b.BChkMode = 1; }, check},
        {"fixed start 0", 800, [](TBarDat &b) { b.DTop = 0; }, select},
        {"fixed start 100 on 800", 800, [](TBarDat &b) { b.DTop = 100; }, {}},
        {"fixed start 100 on 900", 900, [](TBarDat &b) { b.DTop = 100; }, select},
        {"fixed start 99 on 900", 900, [](TBarDat &b) { b.DTop = 99; }, {}},
        {"fixed length 3501", 800, [](TBarDat &b) { b.Dlen = 3501; }, select},
        {"separated number 100", 800,
         [](TBarDat &b) {
             b.BFmt = FmtTab;
             b.DTop = 100;
         },
         dataNo},
        {"letter A number 0", 800,
         [](TBarDat &b) {
             b.BFmt = FmtLetterA;
             b.DTop = 0;
         },
         dataNo},
        {"separated number 99 with long length",
         800,
         [](TBarDat &b) {
             b.BFmt = FmtCr;
             b.DTop = 99;
             b.Dlen = 9000;
         },
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TBarDat bar = quillontest::validBar();
        c.change(bar);
        EXPECT_EQ(CheckBarDat(bar, model(c.model)), c.message);
    }
}
