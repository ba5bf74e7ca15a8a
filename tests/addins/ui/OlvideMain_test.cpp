#include "addins/frame/HandOffClient.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/olvide/ui/Main.h"
#include "common/ui/NEdit.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestIsolation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

void prepareKey(std::optional<int> model, int count, const QByteArray &para0)
{
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), QStringLiteral("賞味期限")));
    if (model) {
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), *model));
    }
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), count));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(para0)));
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
}

std::optional<bool> result()
{
    platform::TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    return reg.ReadBool(QStringLiteral("Result"));
}

void clickNode(QTreeWidget *tree, int node)
{
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(node)).center());
}

} // namespace

TEST(OlvideMainTest, UnsupportedOrMissingModelWritesNothing)
{
    for (std::optional<int> model : {std::optional<int>(), std::optional<int>(700)}) {
        prepareKey(model, 1, "17S000101>R");
        olvide::TMainForm form;
        EXPECT_FALSE(form.FormCreate());
        EXPECT_EQ(result(), false);
    }
}

TEST(OlvideMainTest, StoredHiddenLetterDoesNotSatisfyTheSymbologyRule)
{
    testsupport::RecordingUi ui;
    prepareKey(900, 1, "17=251231<Q");
    olvide::TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("賞味期限 設定 (BHT-900)"));
    EXPECT_TRUE(form.QrChk->isChecked());
    EXPECT_FALSE(form.QrChk->isVisible());
    EXPECT_TRUE(form.SetDatePanel->isEnabled());
    clickNode(form.TreeView1, 4);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("読取バーコードを設定してください。"));
    EXPECT_EQ(form.focusWidget(), form.Code128Chk);
    EXPECT_EQ(result(), false);

    // Typing a one-digit year fails the year rule once a symbology is ticked.
    QTest::mouseClick(form.Code128Chk, Qt::LeftButton);
    form.CmpYearSE->selectAll();
    QTest::keyClicks(form.CmpYearSE, "5x");
    EXPECT_EQ(form.CmpYearSE->text(), QStringLiteral("5"));
    clickNode(form.TreeView1, 4);
    ASSERT_EQ(ui.messageBoxCount(), 2);
    EXPECT_EQ(ui.messageBoxes()[1].text, QStringLiteral("設定日付を入力してください。"));
    QTest::keyClicks(form.CmpYearSE, "6");
    clickNode(form.TreeView1, 4);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(result(), true);
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, false));
    EXPECT_EQ(platform::cp932::encode(*reg.ReadString(QStringLiteral("Para0"))).left(12),
              QByteArray("17=561231<K "));
}

TEST(OlvideMainTest, ChoosingSetDateEnablesThePanelAndMarksTheChange)
{
    testsupport::RecordingUi ui;
    prepareKey(800, 0, {});
    olvide::TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    EXPECT_FALSE(form.SetDatePanel->isEnabled());
    EXPECT_FALSE(form.ChangeFlag);
    QTest::keyClick(form.CmpDateCB, Qt::Key_Down);
    EXPECT_EQ(form.CmpDateCB->currentText(), QStringLiteral("日付設定"));
    EXPECT_TRUE(form.SetDatePanel->isEnabled());
    EXPECT_TRUE(form.ChangeFlag);
    form.CmpMonthNE->selectAll();
    QTest::keyClicks(form.CmpMonthNE, "0");
    EXPECT_EQ(form.CmpMonthNE->text(), QStringLiteral("1"));
    QTest::mouseClick(form.UserBarChk, Qt::LeftButton);
    EXPECT_TRUE(form.UserBarSE->isEnabled());
    EXPECT_FALSE(form.RssChk->isEnabled());
    // A store that refuses the answer keeps the form open and says so.
    QTest::keyClicks(form.UserBarSE, "qr");
    QFile::setPermissions(qEnvironmentVariable("HARBROOK_REGISTRY"), QFileDevice::ReadOwner);
    clickNode(form.TreeView1, 4);
    QFile::setPermissions(qEnvironmentVariable("HARBROOK_REGISTRY"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, platform::MsgIcon::Stop);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(result(), false);
}

TEST(OlvideMainTest, Screenshots)
{
    for (int model : {800, 1300}) {
        prepareKey(model, 1, "17=251231>RKQ");
        olvide::TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        testsupport::shootDialog(form, QStringLiteral("olvide-%1.png").arg(model));
    }
}
