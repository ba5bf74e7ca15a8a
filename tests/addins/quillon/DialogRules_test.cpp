#include "QuillonTestSupport.h"
#include "addins/quillon/DialogRules.h"

#include <functional>
#include <gtest/gtest.h>

using namespace quillon;
using quillontest::model;

TEST(QuillonBarDialogTest, ConfirmRulesInOrder)
{
    const auto valid = [] {
        BarDialogInput in;
        in.letters = "A";
        in.datTop = "1";
        in.datLen = "13";
        return in;
    };
    struct Case {
        const char *name;
        int model;
        std::function<void(BarDialogInput &)> change;
        QString focus, message;
    };
    const std::vector<Case> cases = {
        {"valid", 800, [](BarDialogInput &) {}, {}, {}},
        {"no symbology", 800, [](BarDialogInput &in) { in.letters.clear(); }, "BarCodeGroup",
         QStringLiteral("読取バーコードを入力してください。")},
        {"separator empty", 800,
         [](BarDialogInput &in) {
             in.format = FmtSeparator;
             in.separatorShown = true;
         },
         "SVChrSE", QStringLiteral("区切り文字を入力してください。")},
        {"check number empty in separated format", 800,
         [](BarDialogInput &in) {
             in.format = FmtSpace;
             in.dataCheck = true;
         },
         "ChkFldNoNE", QStringLiteral("データチェックのデータＮｏを入力してください。")},
        {"check number not needed in fixed format",
         800,
         [](BarDialogInput &in) {
             in.dataCheck = true;
             in.chkTop = "1";
             in.chkData = "4";
         },
         {},
         {}},
        {"check start empty", 800,
         [](BarDialogInput &in) {
             in.dataCheck = true;
             in.chkData = "4";
         },
         "ChkTopNE", QStringLiteral("データチェックのチェックデータ位置を入力してください。")},
        {"check data empty", 800,
         [](BarDialogInput &in) {
             in.dataCheck = true;
             in.chkTop = "2";
         },
         "ChkDataSE", QStringLiteral("チェックデータを入力してください。")},
        {"fixed start empty", 800, [](BarDialogInput &in) { in.datTop.clear(); }, "DatTopNE",
         QStringLiteral("データ選択位置を入力してください。")},
        {"separated number empty", 800,
         [](BarDialogInput &in) {
             in.format = FmtTab;
             in.datTop.clear();
         },
         "DatTopNE", QStringLiteral("データNoを入力してください。")},
        {"fixed start 9999", 800, [](BarDialogInput &in) { in.datTop = "9999"; }, {}, {}},
        {"fixed start 100", 800, [](BarDialogInput &in) { in.datTop = "100"; }, {}, {}},
        {"fixed start 5000", 800, [](BarDialogInput &in) { in.datTop = "5000"; }, "DatTopNE",
         QStringLiteral("データ選択位置を再入力してください。")},
        {"separated number 100", 800,
         [](BarDialogInput &in) {
             in.format = FmtCr;
             in.datTop = "100";
             in.datLen.clear(); // hidden, not tested
         },
         "DatTopNE", QStringLiteral("データNoを再入力してください。")},
        {"fixed length empty", 800, [](BarDialogInput &in) { in.datLen.clear(); }, "DatLenNE",
         QStringLiteral("データ選択桁数を入力してください。")},
        {"fixed length 100 on 900", 900, [](BarDialogInput &in) { in.datLen = "100"; }, "DatLenNE",
         QStringLiteral("データ選択桁数を再入力してください。")},
        {"delete characters empty", 800, [](BarDialogInput &in) { in.delChar = true; }, "DelCharSE",
         QStringLiteral("削除文字を入力してください。")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BarDialogInput in = valid();
        c.change(in);
        const DialogFailure f = CheckBarDialog(in, model(c.model));
        EXPECT_EQ(f.focus, c.focus);
        EXPECT_EQ(f.message, c.message);
    }
}

TEST(QuillonBarDialogTest, SeparatorAndDeleteCharacterKeys)
{
    for (QChar c : QStringLiteral(",.:;<>()[]+-*/|･!?\"#$\\%&^~_@"))
        EXPECT_TRUE(SeparatorKey(c)) << int(c.unicode());
    for (QChar c : QStringLiteral("aZ0 =`'{}、"))
        EXPECT_FALSE(SeparatorKey(c)) << int(c.unicode());
    using K = addins::KeyOutcome::Kind;
    EXPECT_EQ(DelCharKey({}, 0, u'-').kind, K::Type);
    EXPECT_EQ(DelCharKey({}, 0, u'ｱ').kind, K::Type);
    EXPECT_EQ(DelCharKey({}, 0, u'?').kind, K::Type);
    EXPECT_EQ(DelCharKey({}, 0, u'あ').kind, K::Refuse);
    EXPECT_EQ(DelCharKey({}, 0, QChar(0x0416)).kind, K::Refuse); // encodes as two bytes
    EXPECT_EQ(DelCharKey({}, 0, QChar(0x00e9)).kind, K::Refuse); // not in the code page
    EXPECT_EQ(DelCharKey({}, 0, addins::EnterKey).kind, K::Swallow);
}

TEST(QuillonBzDialogTest, ConfirmRulesAndWavName)
{
    struct Case {
        BzDialogInput in;
        QString focus;
    };
    for (const Case &c :
         {Case{{"BEEP.WAV", "1", "1", "1", "1"}, {}}, Case{{"", "0", "0", "1", "1"}, {}},
          Case{{".WAV", "1", "1", "1", "1"}, "WavFileSE"}, Case{{"BEEP", "1", "1", "1", "1"}, "WavFileSE"},
          Case{{"BEEP.WA", "1", "1", "1", "1"}, "WavFileSE"}, Case{{"", "", "1", "1", "1"}, "BzHzNE"},
          Case{{"", "1", "", "1", "1"}, "BzCountNE"}, Case{{"", "1", "1", "0", "1"}, "BzOnTimeNE"},
          Case{{"", "1", "1", "", "0"}, "BzOnTimeNE"}, Case{{"", "1", "1", "1", "0"}, "BzOffTimeNE"}}) {
        SCOPED_TRACE(c.in.wav.toStdString());
        EXPECT_EQ(CheckBzDialog(c.in).focus, c.focus);
    }
    EXPECT_EQ(CheckBzDialog({"", "1", "1", "0", "1"}).message,
              QStringLiteral("鳴動時間を再入力してください。"));

    for (const QString ok : {"", "BEEP", "ABCDEFGH", "BEEP.W", "BEEP.WA", "BEEP.WAV", "A."})
        EXPECT_TRUE(WavFileValid(ok)) << ok.toStdString();
    for (const QString bad : {"ABCDEFGHI", "BEEP.TXT", "BEEP.WAVE"})
        EXPECT_FALSE(WavFileValid(bad)) << bad.toStdString();
    const addins::ChangeCheck undone =
        WavFileChange(QStringLiteral("BEEP.TXT"), QStringLiteral("BEEP.TX"), 8);
    EXPECT_FALSE(undone.accepted);
    EXPECT_EQ(undone.text, QStringLiteral("BEEP.TX"));
    EXPECT_EQ(undone.caret, 7);
}
