#include "addins/frame/HandOffClient.h"
#include "addins/tessary/ui/Main.h"
#include "addins/tessary/ui/SetBarCode.h"
#include "platform/Registry.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QDialog>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A screen reader finds every field of Tessary's form and its barcode reading dialog, as the
// program opens them, by the caption the operator reads beside it.

using namespace tessary;

namespace {

struct Caption {
    const char *control;
    const char *caption;
};

struct CaptionedForm {
    const char *form;
    std::function<std::unique_ptr<QDialog>()> make;
    // A few controls whose caption is not a label beside them alone, or reads across another field.
    std::vector<Caption> samples;
};

} // namespace

TEST(CaptionsTest, EveryFieldOfTessaryIsFoundByItsCaption)
{
    {
        platform::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), QStringLiteral("検品")));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), 800));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), 0));
    }
    testsupport::RecordingUi ui;
    TMainForm main;
    ASSERT_TRUE(main.FormCreate());
    const auto dialog = [&main](BarRole role) {
        return [&main, role] { return std::make_unique<TSetBarCodeForm>(main, role); };
    };
    const std::vector<Caption> barcodeSamples = {{"UserBarSE", "ユーザー定義"},
                                                 {"BarMaxNE", "読取桁数 最大"},
                                                 {"BarMinNE", "読取桁数 最小"},
                                                 {"DFormatCB", "データフォーマット"},
                                                 {"InpDatTopNE", "データ選択"},
                                                 {"InpDatLenNE", "データ選択 桁"},
                                                 {"Cmp2TopNE", "照合データ２ 桁目から"},
                                                 {"Cmp2LenNE", "照合データ２ 桁"},
                                                 {"Cmp3DnoNE", "照合データ３ データＮｏ"},
                                                 {"CmpOkNgCB", "チェック方法"}};
    const std::vector<CaptionedForm> forms = {
        {"barcode reading settings, data kind", dialog(BarRole::DataKind), barcodeSamples},
        {"barcode reading settings, source", dialog(BarRole::Source), barcodeSamples},
        {"barcode reading settings, target", dialog(BarRole::Target), barcodeSamples},
    };

    SCOPED_TRACE("main form");
    EXPECT_EQ(testsupport::uncaptionedControls(main).join(QStringLiteral(", ")).toStdString(), "");
    const Caption mainSamples[] = {{"TreeView1", "検品 照合プログラム設定(BHT-800)"},
                                   {"DKNameSE", "項目名"},
                                   {"DKMaxNE", "入力桁数 最大"},
                                   {"DKMinNE", "入力桁数 最小"},
                                   {"DKMstFileSE", "表示用ﾏｽﾀｰﾌｧｲﾙ"},
                                   {"CmpDatCntCB", "部分照合ﾃﾞｰﾀ数"},
                                   {"SerchDatTopNE", "検索ﾃﾞｰﾀ選択 ﾊﾞｰｺｰﾄﾞの"},
                                   {"SerchDatLenNE", "検索ﾃﾞｰﾀ選択 桁"},
                                   {"TStampCB", "タイムスタンプ"},
                                   {"SField12CB", "フィールド１２"},
                                   {"SFTop3NE", "フィールド３ 桁目から"},
                                   {"SFLen3NE", "フィールド３ 桁"},
                                   {"ListView1", "送信データレイアウト"}};
    for (const Caption &sample : mainSamples) {
        auto *control = main.findChild<QWidget *>(QString::fromLatin1(sample.control));
        ASSERT_NE(control, nullptr) << sample.control;
        EXPECT_EQ(testsupport::accessibleCaption(control).toStdString(), sample.caption) << sample.control;
    }
    for (const CaptionedForm &entry : forms) {
        SCOPED_TRACE(entry.form);
        const std::unique_ptr<QDialog> form = entry.make();
        EXPECT_EQ(testsupport::uncaptionedControls(*form).join(QStringLiteral(", ")).toStdString(), "");
        for (const Caption &sample : entry.samples) {
            auto *control = form->findChild<QWidget *>(QString::fromLatin1(sample.control));
            ASSERT_NE(control, nullptr) << sample.control;
            EXPECT_EQ(testsupport::accessibleCaption(control).toStdString(), sample.caption)
                << sample.control;
        }
    }
}
