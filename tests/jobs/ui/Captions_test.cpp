#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/DefMaster.h"
#include "jobs/ui/DelName.h"
#include "jobs/ui/DspSendData.h"
#include "jobs/ui/SetBarCode.h"
#include "jobs/ui/SetBt.h"
#include "jobs/ui/SetGyoumu.h"
#include "jobs/ui/SetMaster.h"

#include "jobs/LetterCodes.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QDialog>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A screen reader finds every field of the job settings editor and its dialogs by the caption the
// operator reads beside it.

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

TEST(CaptionsTest, EveryFieldOfTheJobFormsIsFoundByItsCaption)
{
    testsupport::RecordingUi ui;
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    TMstDat master;
    master.MFName = QStringLiteral("SHOHIN.DAT");
    master.QDNum = 3;
    set->MstDat[0] = master;
    set->MstNum = 1;
    TGyData &job = set->GyData[0];
    job.DaCount = 3;
    for (int i = 0; i < 3; ++i)
        InitKoData(job.DaKoDa[i], QStringList{"商品", "得意先", "数量"}[i], u'A');
    set->GyCount = 1;
    TAddGyDat addJob;
    TAddKoDat addItem;
    addItem.KName = QStringLiteral("データ項目");
    masterdef::MasterCopy copy(*set);
    const masterdef::ItemRef item{0, false, 1};

    const std::vector<CaptionedForm> forms = {
        {"job settings editor",
         [] {
             return std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"),
                                                 115200);
         },
         {{"GNameSE", "業務名"},
          {"APOffTimeNE", "ｵｰﾄﾊﾟﾜｰｵﾌ時間"},
          {"BzHzNE", "周波数"},
          {"BarSModeCB", "読取動作"},
          {"DspList", "設定画面選択"},
          {"DataList", "データ項目"},
          {"BzList", "確認/警告ブザー設定"},
          {"ComPrgSE2", "アドイン通信プログラム2"},
          {"TStampCB", "ﾀｲﾑｽﾀﾝﾌﾟ"},
          {"TSLocCB", "ﾀｲﾑｽﾀﾝﾌﾟ"},
          {"DefaultDatNE", "入力初期値"},
          {"KDNextTmNE", "タイマー"}}},
        {"barcode reading settings",
         [&] {
             return std::make_unique<TSetBarCodeForm>(job, false, 0,
                                                      QStringLiteral("/nonexistent/AiCode.Tbl"));
         },
         {{"BarMaxNE", "読取桁数  最大"},
          {"BarMinNE", "読取桁数 最小"},
          {"DFormatCB", "データ形式"},
          {"ChkTopNE", "検査データ位置"},
          {"ChkLenNE", "検査データ桁数"},
          {"KX01NE", "振り分けデータ先頭1"},
          {"KX92NE", "振り分けデータ桁数10"},
          {"FK03CB", "振り分け先項目3"}}},
        {"job addition",
         [&] { return std::make_unique<TAdGyForm>(addJob, QStringLiteral("/nonexistent/")); },
         {{"PNameSE", "ﾌﾟﾛｸﾞﾗﾑ名"}, {"RNameSE", "受信ﾌｧｲﾙ名"}, {"GModeCB", "動作モード"}}},
        {"item addition",
         [&] { return std::make_unique<TAdKoForm>(addItem); },
         {{"AddNameSE", "データ項目名"}, {"KDTypeCB", "データ形式"}}},
        {"name deletion",
         [] {
             return std::make_unique<TDelNameForm>(QStringLiteral("業務削除"), QStringList{"入荷", "出荷"});
         },
         {{"DelList", "業務削除"}}},
        {"Bluetooth settings",
         [] { return std::make_unique<TSetBtForm>(); },
         {{"TimeOutNE", "接続時ﾀｲﾑｱｳﾄ"}, {"PassKeySE", "パスキー"}, {"SecurityCB", "セキュリティ"}}},
        {"master reference",
         [&] { return std::make_unique<TSetMasterForm>(*set, item); },
         {{"MasterCB", "ﾏｽﾀｰﾌｧｲﾙ"},
          {"MKeyTopNE", "入力データ"},
          {"MKeyLenNE", "部分検索キー桁数"},
          {"QD02CB", "参照データ2"},
          {"Save05CB", "保存項目5"}}},
        {"master definition",
         [&] { return std::make_unique<TDefMasterForm>(copy, *set, item); },
         {{"MasterLB", "マスターファイル"},
          {"KeySizeNE", "検索キー桁数"},
          {"QDSize3NE", "参照データ３桁数"}}},
        {"send-data layout",
         [&] { return std::make_unique<TSendDataForm>(job); },
         {{"DataStrGrid", "送信データレイアウト"}}},
    };
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
