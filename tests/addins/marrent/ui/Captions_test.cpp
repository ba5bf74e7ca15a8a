#include "addins/frame/HandOffClient.h"
#include "addins/marrent/ui/Main.h"
#include "addins/marrent/ui/SetBarCode.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QTreeWidget>
#include <gtest/gtest.h>
#include <vector>

// A screen reader finds every field of Marrent's form and its barcode reading dialog, as the
// program opens them, by the caption the operator reads beside it.

using namespace marrent;

namespace {

struct Caption {
    const char *control;
    const char *caption;
};

// The form has no field without a caption, and the samples read as given.
void expectCaptions(QWidget &form, const std::vector<Caption> &samples)
{
    EXPECT_EQ(testsupport::uncaptionedControls(form).join(QStringLiteral(", ")).toStdString(), "");
    for (const Caption &sample : samples) {
        auto *control = form.findChild<QWidget *>(QString::fromLatin1(sample.control));
        ASSERT_NE(control, nullptr) << sample.control;
        EXPECT_EQ(testsupport::accessibleCaption(control).toStdString(), sample.caption) << sample.control;
    }
}

void prepare(const MarrentSettings &s)
{
    const ParaStrings paras = EncodeParas(s, *LimitsOf(800));
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), QStringLiteral("入荷検品")));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), 800));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), 1));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(paras.Para0)));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), platform::cp932::decode(paras.Para1)));
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
}

} // namespace

TEST(CaptionsTest, EveryFieldOfMarrentIsFoundByItsCaption)
{
    const int masterPage = 3;
    // A few controls whose caption is not a label beside them alone, or reads across another field.
    const std::vector<Caption> always = {{"DKNameSE", "項目名"},
                                         {"DKTypeCB", "データタイプ"},
                                         {"DKMinNE", "入力最小桁数"},
                                         {"DKMstFieldSE", "フィールド情報"},
                                         {"DpNameSE", "項目名"},
                                         {"PKMstFileNameSE", "ファイル名"},
                                         {"SCLenNE", "フィールド長 商品コード"},
                                         {"SNameLenNE", "フィールド長 商品情報"},
                                         {"InpCountNE", "入力桁数"},
                                         {"SendFieldsCB", "フィールド数"},
                                         {"SField1CB", "フィールド1"},
                                         {"SField8CB", "フィールド8"},
                                         {"SendDelCB", "送信完了後のデータ消去"}};
    struct Case {
        const char *name;
        bool picking;
        const char *slipName;
        const char *slipLength;
        const char *countLength;
    };
    // The captions of two lengths follow the voucher kind's item name and the mode.
    const Case cases[] = {
        {"inspection, voucher kind unnamed", false, "", "フィールド長 伝票区分", "フィールド長 検品数"},
        {"picking, voucher kind named", true, "伝票", "フィールド長 伝票", "フィールド長 ピッキング数"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MarrentSettings s = DefaultSettings(*LimitsOf(800));
        s.picking = c.picking;
        s.DpUsed = true;
        s.DpName = QString::fromUtf8(c.slipName);
        prepare(s);
        testsupport::RecordingUi ui;
        TMainForm main;
        ASSERT_TRUE(main.FormCreate());
        // The page's captions are brought up to date as the operator opens it.
        main.showPage(masterPage);
        emit main.TreeView1->itemClicked(main.TreeView1->topLevelItem(masterPage), 0);
        std::vector<Caption> samples = always;
        samples.push_back({"DpLenNE", c.slipLength});
        samples.push_back({"PKCountLenNE", c.countLength});
        expectCaptions(main, samples);
    }

    for (const char role : {'D', 'P'}) {
        SCOPED_TRACE(role);
        TBarDat bar = InitBarDat();
        bool changed = false;
        TSetBarCodeForm barcode(bar, role, QStringLiteral("区分"), *LimitsOf(800), changed);
        expectCaptions(barcode, {{"UserBarSE", "ユーザー定義"},
                                 {"BarMaxNE", "読取最大桁数"},
                                 {"BarMinNE", "読取最小桁数"},
                                 {"DFormatCB", "データフォーマット"},
                                 {"BSpCodeNE", "区切りコード （0～255）"},
                                 {"ChkFldNoNE", "データＮｏ"},
                                 {"ChkTopNE", "チェックデータ位置"},
                                 {"CmpOkNgCB", "チェック方法"},
                                 {"InpDatTopNE", "開始位置"},
                                 {"InpDatLenNE", "桁数"},
                                 {"InpDatNoNE", "データＮｏ"}});
    }
}
