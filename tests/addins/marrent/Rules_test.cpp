#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"

#include <gtest/gtest.h>

using namespace marrent;

namespace {

TBarDat validBar()
{
    TBarDat bar = InitBarDat();
    bar.BarType = QStringLiteral("A");
    return bar;
}

// Settings that pass every check on model 800, with every section on.
MarrentSettings valid()
{
    MarrentSettings s = DefaultSettings(*LimitsOf(800));
    s.DKUsed = true;
    s.DKName = QStringLiteral("区分");
    s.DKMax = 10;
    s.DKMin = 2;
    s.DKBarUsed = true;
    s.DKBarDat = validBar();
    s.DKMstUsed = true;
    s.DKMstFile = QStringLiteral("K.DAT");
    s.DKMstField = QStringLiteral("1,5");
    s.DpUsed = true;
    s.DpName = QStringLiteral("伝票");
    s.DpBarUsed = true;
    s.DpBarDat = validBar();
    s.PKMstFile = QStringLiteral("M.DAT");
    s.SCBarDat = validBar();
    s.InpCount = true;
    s.InpCountDigits = 4;
    s.SendUsed = true;
    s.SendFile = QStringLiteral("R.DAT");
    return s;
}

QByteArray codesOf(const MarrentSettings &s)
{
    QByteArray codes;
    for (const ResultField &f : s.SendDat)
        codes += f.code;
    return codes;
}

} // namespace

TEST(CheckBarDatTest, RulesInOrder)
{
    struct Case {
        const char *name;
        std::function<void(TBarDat &)> change;
        const char16_t *message; // nullptr: valid
    };
    const std::vector<Case> cases = {
        {"initial with a symbology", [](TBarDat &) {}, nullptr},
        {"no symbology", [](TBarDat &b) { b.BarType.clear(); }, u"読取バーコードを設定してください。"},
        {"user code alone", [](TBarDat &b) { b.BarType.clear(), b.BarUser = "X"; }, nullptr},
        {"user-defined with an empty code", [](TBarDat &b) { b.BarType = "u"; }, nullptr},
        {"max 0", [](TBarDat &b) { b.BMax = 0, b.BMin = 0; }, u"読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。"},
        {"max below min", [](TBarDat &b) { b.BMin = 17; }, u"読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。"},
        {"check position 0", [](TBarDat &b) { b.BChkMode = 1, b.BChkTop = 0, b.BChkStr = "A"; },
         u"読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。"},
        {"check position 3501", [](TBarDat &b) { b.BChkMode = 2, b.BChkTop = 3501, b.BChkStr = "A"; },
         u"読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。"},
        {"check data empty", [](TBarDat &b) { b.BChkMode = 1; },
         u"読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀﾁｪｯｸを再設定してください。"},
        {"check off ignores its fields", [](TBarDat &b) { b.BChkTop = 0; }, nullptr},
        {"start 16 of 16", [](TBarDat &b) { b.DTop = 16, b.DLen = 1; }, nullptr},
        {"start 17 of 16", [](TBarDat &b) { b.DTop = 17; }, u"読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。"},
        {"start 0", [](TBarDat &b) { b.DTop = 0; }, u"読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。"},
        {"start and length each within max", [](TBarDat &b) { b.DTop = 10, b.DLen = 10; }, nullptr},
        {"length above max", [](TBarDat &b) { b.DTop = 1, b.DLen = 17; },
         u"読取ﾊﾞｰｺｰﾄﾞのﾃﾞｰﾀ選択を再設定してください。"},
        {"first failure wins", [](TBarDat &b) { b.BMax = 0, b.DTop = 0; },
         u"読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TBarDat bar = validBar();
        c.change(bar);
        EXPECT_EQ(CheckBarDat(bar), c.message ? QString::fromUtf16(c.message) : QString());
    }
}

TEST(CheckDataTest, FirstFailingRuleChoosesPageAndControl)
{
    struct Case {
        const char *name;
        int model;
        std::function<void(MarrentSettings &)> change;
        int rule; // 0: passes
        const char *control;
        const char16_t *message;
    };
    const std::vector<Case> cases = {
        {"valid", 800, [](MarrentSettings &) {}, 0, "", u""},
        {"data kind name", 800, [](MarrentSettings &s) { s.DKName.clear(); }, 10, "DKNameSE",
         u"データ区分項目名を入力してください。"},
        {"data kind max empty", 800, [](MarrentSettings &s) { s.DKMax = 0; }, 11, "DKMaxNE",
         u"データ区分入力最大桁数を入力してください。"},
        {"data kind min empty", 800, [](MarrentSettings &s) { s.DKMin = 0; }, 12, "DKMinNE",
         u"データ区分入力最小桁数を入力してください。"},
        {"wide max 40 on 500", 500, [](MarrentSettings &s) { s.DKWide = true, s.DKMax = 40; }, 11, "DKMaxNE",
         u"入力最大桁数を再入力してください。"},
        {"standard max 40 on 500", 500, [](MarrentSettings &s) { s.DKMax = 40; }, 0, "", u""},
        {"max above the standard limit", 800, [](MarrentSettings &s) { s.DKMax = 81, s.DKMin = 81; }, 11,
         "DKMaxNE", u"入力最大桁数を再入力してください。"},
        {"min above wide limit", 800, [](MarrentSettings &s) { s.DKWide = true, s.DKMax = 40, s.DKMin = 41; },
         12, "DKMinNE", u"入力最小桁数を再入力してください。"},
        {"max below min", 800, [](MarrentSettings &s) { s.DKMin = 11; }, 12, "DKMinNE",
         u"データ区分入力最大/最小桁数を再入力してください。"},
        {"data kind barcode", 800, [](MarrentSettings &s) { s.DKBarDat.BarType.clear(); }, 13, "DKBarBtn",
         u"読取バーコードを設定してください。"},
        {"data kind barcode off", 800,
         [](MarrentSettings &s) { s.DKBarUsed = false, s.DKBarDat.BarType.clear(); }, 0, "", u""},
        {"display master file", 800, [](MarrentSettings &s) { s.DKMstFile.clear(); }, 14, "DKMstFileSE",
         u"データ区分マスターファイル名を入力してください。"},
        {"display master fields", 800, [](MarrentSettings &s) { s.DKMstField.clear(); }, 15, "DKMstFieldSE",
         u"データ区分フィールド情報を入力してください。"},
        {"display master off", 800,
         [](MarrentSettings &s) { s.DKMstUsed = false, s.DKMstField.clear(), s.DKMstFile.clear(); }, 0, "",
         u""},
        // A date or time type hides the ticked boxes; they are checked, and the data type is focused.
        {"date type's hidden barcode", 800,
         [](MarrentSettings &s) { s.DKType = 4, s.DKBarDat.BarType.clear(), s.DKMstFile.clear(); }, 13,
         "DKTypeCB", u"読取バーコードを設定してください。"},
        {"time type's hidden master file", 800,
         [](MarrentSettings &s) { s.DKType = 10, s.DKMstFile.clear(); }, 14, "DKTypeCB",
         u"データ区分マスターファイル名を入力してください。"},
        {"date type's hidden master fields", 800,
         [](MarrentSettings &s) { s.DKType = 6, s.DKMstField.clear(); }, 15, "DKTypeCB",
         u"データ区分フィールド情報を入力してください。"},
        {"date type's hidden sections set", 800, [](MarrentSettings &s) { s.DKType = 3; }, 0, "", u""},
        {"data kind off skips its rules", 800, [](MarrentSettings &s) { s.DKUsed = false, s.DKName.clear(); },
         0, "", u""},
        {"voucher name", 800, [](MarrentSettings &s) { s.DpName.clear(); }, 20, "DpNameSE",
         u"伝票区分項目名を入力してください。"},
        {"voucher barcode", 800, [](MarrentSettings &s) { s.DpBarDat.BMax = 0; }, 21, "DpBarBtn",
         u"読取ﾊﾞｰｺｰﾄﾞ入力桁数を再設定してください。"},
        {"master file name", 800, [](MarrentSettings &s) { s.PKMstFile.clear(); }, 30, "PKMstFileNameSE",
         u"マスターファイル名を入力してください。"},
        {"voucher length without the voucher kind", 800,
         [](MarrentSettings &s) { s.DpUsed = false, s.DpLen = 0; }, 31, "DpLenNE",
         u"マスターファイルの伝票区分フィールド長を入力してください。"},
        {"product code length", 800, [](MarrentSettings &s) { s.SCLen = 0; }, 32, "SCLenNE",
         u"マスターファイルの商品コードフィールド長を入力してください。"},
        {"product name length", 800, [](MarrentSettings &s) { s.SNameLen = 0; }, 33, "SNameLenNE",
         u"マスターファイルの商品名フィールド長を入力してください。"},
        {"count length", 800, [](MarrentSettings &s) { s.PKCountLen = 0; }, 34, "PKCountLenNE",
         u"マスターファイルの数量フィールド長を入力してください。"},
        {"product code never set", 800, [](MarrentSettings &s) { s.SCBarDat = InitBarDat(); }, 40, "SCBarBtn",
         u"読取バーコードを設定してください。"},
        {"quantity digits", 800, [](MarrentSettings &s) { s.InpCountDigits = 0; }, 41, "InpCountNE",
         u"数量入力桁数を入力してください。"},
        {"quantity off", 800, [](MarrentSettings &s) { s.InpCount = false, s.InpCountDigits = 0; }, 0, "",
         u""},
        {"result file name", 800, [](MarrentSettings &s) { s.SendFile.clear(); }, 50, "SendFileSE",
         u"送信ファイル名を入力してください。"},
        {"first rule wins", 800,
         [](MarrentSettings &s) { s.SendFile.clear(), s.DpName.clear(), s.SCLen = 0; }, 20, "DpNameSE",
         u"伝票区分項目名を入力してください。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MarrentSettings s = valid();
        c.change(s);
        const auto failure = CheckSettings(s, *LimitsOf(c.model));
        if (c.rule == 0) {
            EXPECT_FALSE(failure) << failure->message.toStdString();
            continue;
        }
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->rule, c.rule);
        EXPECT_EQ(failure->page(), c.rule / 10);
        EXPECT_EQ(failure->control, QString::fromLatin1(c.control));
        EXPECT_EQ(failure->message, QString::fromUtf16(c.message));
    }
}

TEST(ResultFieldsTest, OfferedCodesNamesAndLengths)
{
    MarrentSettings s = valid();
    s.DKMax = 7;
    s.DpLen = 9;
    s.SCLen = 0; // an empty edit counts as 1
    s.SNameLen = 33;
    s.PKCountLen = 5;
    EXPECT_EQ(GetSendFDef(s, 0), QStringLiteral("DNabcdefXxYyZ"));
    EXPECT_EQ(GetSendFDef(s, 1), QStringLiteral("DNCSKabcdefgh"));
    s.DKUsed = false;
    EXPECT_EQ(GetSendFDef(s, 1), QStringLiteral("NCSKabcdefgh"));
    s.DpUsed = false;
    EXPECT_EQ(GetSendFDef(s, 0), QStringLiteral("abcdefXxYyZ"));

    const std::vector<std::pair<char, int>> lengths = {
        {'D', 7}, {'N', 9}, {'C', 1}, {'S', 33}, {'K', 5}, {'a', 10}, {'b', 8}, {'c', 5}, {'d', 8},
        {'e', 6}, {'f', 4}, {'g', 8}, {'h', 6},  {'X', 8}, {'x', 6},  {'Y', 8}, {'y', 6}, {'Z', 6}};
    for (const auto &[code, length] : lengths)
        EXPECT_EQ(SendFieldLength(s, QChar(code)), length) << code;

    s.DKName.clear();
    EXPECT_EQ(GetSDefStr(s, QStringLiteral("DNKa")),
              (QStringList{"データ区分", "伝票", "検品数", "作業日付A(YYYY/MM/DD)"}));
    s.picking = true;
    s.DpName.clear();
    EXPECT_EQ(GetSDefStr(s, QStringLiteral("NKZh")),
              (QStringList{"伝票区分", "ピッキング数", "作業時間(999999秒)", "ﾀｲﾑｽﾀﾝﾌﾟ時刻B(HHMMSS)"}));
}

TEST(ResultFieldsTest, RefreshFollowsTypeAndSources)
{
    MarrentSettings s = valid(); // data kind and voucher kind used
    s.SendFType = 0;
    s.SendDat[0] = {'X', 3};
    s.SendDat[1] = {'D', 99};
    s.SendDat[2] = {'Z', 1};
    SetSendField(s);
    EXPECT_EQ(codesOf(s), QByteArray("XDZbbbbb"));
    EXPECT_EQ(s.SendDat[0].length, 8);
    EXPECT_EQ(s.SendDat[1].length, 10); // the data kind maximum

    // To "処理明細": codes the type lacks become its first code; back again does not restore them.
    s.SendFType = 1;
    SetSendField(s);
    EXPECT_EQ(codesOf(s), QByteArray("DDDbbbbb"));
    EXPECT_EQ(s.SendDat[0].length, 10);
    s.SendFType = 0;
    SetSendField(s);
    EXPECT_EQ(codesOf(s), QByteArray("DDDbbbbb"));

    // A D field's length follows the data kind maximum at the next refresh only.
    s.DKMax = 20;
    EXPECT_EQ(s.SendDat[0].length, 10);
    SetSendField(s);
    EXPECT_EQ(s.SendDat[0].length, 20);

    // The data kind switched off: its fields take the first code now offered.
    s.DKUsed = false;
    SetSendField(s);
    EXPECT_EQ(codesOf(s), QByteArray("NNNbbbbb"));
    EXPECT_EQ(s.SendDat[0].length, 8);

    ChooseSendField(s, 3, 4); // "Nabcd..." offered: index 4 is d
    EXPECT_EQ(s.SendDat[3], (ResultField{'d', 8}));
    EXPECT_EQ(SendFieldListIndex(s, 3), 4);
    ChooseSendField(s, 3, 40);
    ChooseSendField(s, 8, 0);
    EXPECT_EQ(s.SendDat[3], (ResultField{'d', 8}));
}

TEST(ResultFieldsTest, SavingRefreshesStaleValues)
{
    // Loaded fields with stale lengths and a quantity above the count length, confirmed without a
    // visit to the pages that would refresh them.
    MarrentSettings s = valid();
    s.SendFType = 1;
    s.SendFieldsIndex = 1;
    s.SendDat[0] = {'S', 3};
    s.SendDat[1] = {'D', 4};
    s.SNameLen = 30;
    s.PKCountLen = 6;
    s.InpCountDigits = 8;
    s.DKType = 7; // 日付E(YMMDD)
    PrepareForSave(s);
    EXPECT_EQ(s.SendDat[0], (ResultField{'S', 30}));
    EXPECT_EQ(s.SendDat[1], (ResultField{'D', 5}));
    EXPECT_EQ(s.InpCountDigits, 6);
    EXPECT_EQ(s.DKMax, 5);
    EXPECT_EQ(s.DKMin, 5);

    // A count length left empty counts as 1.
    s.PKCountLen = 0;
    PrepareForSave(s);
    EXPECT_EQ(s.InpCountDigits, 1);
}
