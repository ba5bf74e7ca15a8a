#include "QuillonUiSupport.h"
#include "addins/quillon/ui/SetBarCode.h"
#include "addins/quillon/ui/SetBz.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QComboBox>
#include <vector>

// A screen reader finds every field of Quillon's form and its two dialogs, as the program opens
// them, by the caption the operator reads beside it.

using namespace quillon;

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

} // namespace

TEST(CaptionsTest, EveryFieldOfQuillonIsFoundByItsCaption)
{
    quillonuitest::writeHandOff(800);
    testsupport::RecordingUi ui;
    TMainForm main;
    ASSERT_TRUE(main.FormCreate());
    {
        SCOPED_TRACE("main form");
        // A few controls whose caption is not a label beside them alone, or reads across another field.
        expectCaptions(main, {{"DKNameSE", "項目名"},
                              {"DKTypeCB", "データ形式"},
                              {"DKMaxNE", "入力桁数 最大"},
                              {"DKMinNE", "入力桁数 最小"},
                              {"DKMstFileSE", "ﾏｽﾀｰﾌｧｲﾙ"},
                              {"KKNameSE", "項目名"},
                              {"KKMaxNE", "キー入力桁数 最大"},
                              {"KKMinNE", "キー入力桁数 最小"},
                              {"SKNameSE", "項目名"},
                              {"CmpModeCB", "照合順番"},
                              {"SKMstFileSE", "ﾏｽﾀｰﾌｧｲﾙ"},
                              {"NgDspTimeNE", "NG表示時間"},
                              {"SaveFieldsCB", "保存ﾌｨｰﾙﾄﾞ数"},
                              {"SField1CB", "F１"},
                              {"SField16CB", "Ｆ１６"},
                              {"F3TopNE", "Ｆ３ 桁目から"},
                              {"F3LenNE", "Ｆ３ 桁"},
                              {"ListView1", "送信データレイアウト"}});
    }

    bool changed = false;
    {
        SCOPED_TRACE("barcode reading settings");
        TBarDat bar;
        bar.BFmt = 0;
        TSetBarCodeForm barcode(bar, changed, *LimitsOf(800), 800, QStringLiteral("品番"));
        const std::vector<Caption> both = {
            {"UserBarSE", "ユーザー定義"}, {"DFormatCB", "データフォーマット"},
            {"SVChrSE", "区切り文字"},     {"DatLenNE", "データ選択 桁"},
            {"ChkFldNoNE", "データＮｏ"},  {"ChkTopNE", "検査データ位置 桁目から"},
            {"ChkDataSE", "検査データ"},   {"CmpOkNgCB", "検査方法"},
            {"DelCharSE", "削除する文字"}};
        std::vector<Caption> fixed = both;
        fixed.push_back({"DatTopNE", "データ選択"});
        expectCaptions(barcode, fixed);
        // A separated format turns the start into a data number, and the caption follows.
        auto *format = barcode.findChild<QComboBox *>(QStringLiteral("DFormatCB"));
        ASSERT_NE(format, nullptr);
        format->setCurrentIndex(1);
        emit format->activated(1);
        std::vector<Caption> separated = both;
        separated.push_back({"DatTopNE", "データ選択 データNo"});
        expectCaptions(barcode, separated);
        format->setCurrentIndex(0);
        emit format->activated(0);
        expectCaptions(barcode, fixed);
    }
    {
        SCOPED_TRACE("result signal");
        TBzDat bz = DefaultNgBz();
        TSetBzForm signal(bz, changed, u'N', 800);
        expectCaptions(signal, {{"WavFileSE", "WAVファイル"},
                                {"BzHzNE", "周波数"},
                                {"BzCountNE", "鳴動回数"},
                                {"BzOffTimeNE", "休止時間"},
                                {"BpVibCB", "動作デバイス"}});
    }
}
