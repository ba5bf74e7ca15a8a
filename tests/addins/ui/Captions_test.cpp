#include "addins/frame/HandOffClient.h"
#include "addins/olvide/ui/Main.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

// A screen reader finds every field of Olvide's form, as the program opens it, by the caption the
// operator reads beside it.

TEST(CaptionsTest, EveryFieldOfOlvideIsFoundByItsCaption)
{
    testsupport::RecordingUi ui;
    {
        platform::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), QStringLiteral("賞味期限")));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), 1300));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), 1));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode("17=251231<Q")));
    }
    olvide::TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    EXPECT_EQ(testsupport::uncaptionedControls(form).join(QStringLiteral(", ")).toStdString(), "");
    const struct {
        const char *control;
        const char *caption;
    } samples[] = {
        {"TreeView1", "賞味期限 設定 (BHT-1300)"},
        {"AICB", "アプリケーション識別子"},
        {"CmpDateCB", "検査日付"},
        {"CmpYearSE", "設定日付"},
        {"CmpMonthNE", "設定日付 月"},
        {"CmpDayNE", "設定日付 日"},
        {"CmpModeCB", "検査方法"},
        {"UserBarSE", "ユーザー定義"},
    };
    for (const auto &sample : samples) {
        auto *control = form.findChild<QWidget *>(QString::fromLatin1(sample.control));
        ASSERT_NE(control, nullptr) << sample.control;
        EXPECT_EQ(testsupport::accessibleCaption(control).toStdString(), sample.caption) << sample.control;
    }
}
