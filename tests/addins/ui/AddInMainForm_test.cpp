#include "addins/frame/ui/AddInMainForm.h"
#include "tests/support/RecordingUiService.h"

#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using platform::MsgResult;

namespace {

// A form of two pages whose rules the test sets.
class TwoPageForm final : public TAddInMainForm {
public:
    TwoPageForm() : TAddInMainForm({QStringLiteral("一"), QStringLiteral("二")}, QStringLiteral("確定"))
    {
        setWindowTitle(QStringLiteral("テスト 設定"));
        for (const char *name : {"FirstEdit", "SecondEdit"}) {
            auto *page = new QWidget;
            auto *edit = new QLineEdit(page);
            edit->setObjectName(QString::fromLatin1(name));
            addPage(page);
        }
    }
    bool supported = true;
    bool valid = true;
    bool stored = true;
    int loads = 0, saves = 0, shows = 0;

    QLineEdit *edit(int page) const { return PageControl1->widget(page)->findChild<QLineEdit *>(); }

protected:
    bool LoadPara() override
    {
        ++loads;
        EXPECT_TRUE(SetFlag);
        ChangeFlag = true; // the fill must not count as a change
        return supported;
    }
    bool CheckData() override
    {
        if (!valid)
            ShowCheckError(1, edit(1), QStringLiteral("だめです。"));
        return valid;
    }
    bool SavePara() override
    {
        ++saves;
        return stored;
    }
    void DspPage() override { ++shows; }
};

void clickNode(QTreeWidget *tree, int node)
{
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(node)).center());
}

} // namespace

TEST(AddInMainFormTest, TreeHoldsPagesThenCancelAndConfirm)
{
    TwoPageForm form;
    ASSERT_TRUE(form.FormCreate());
    EXPECT_FALSE(form.SetFlag);
    EXPECT_FALSE(form.ChangeFlag);
    QStringList nodes;
    for (int i = 0; i < form.TreeView1->topLevelItemCount(); ++i)
        nodes << form.TreeView1->topLevelItem(i)->text(0);
    EXPECT_EQ(nodes, (QStringList{"一", "二", "", "キャンセル", "", "確定"}));
    EXPECT_EQ(form.cancelNode(), 3);
    EXPECT_EQ(form.confirmNode(), 5);

    form.show();
    clickNode(form.TreeView1, 1);
    EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    clickNode(form.TreeView1, 2); // a blank node does nothing
    EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.shows, 2);
}

TEST(AddInMainFormTest, UnsupportedModelIsReportedBeforeAnyWindow)
{
    TwoPageForm form;
    form.supported = false;
    EXPECT_FALSE(form.FormCreate());
    EXPECT_FALSE(form.SetFlag);
    EXPECT_FALSE(form.isVisible());
}

TEST(AddInMainFormTest, CancelAsksOnlyAfterAChange)
{
    testsupport::RecordingUi ui;
    TwoPageForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    clickNode(form.TreeView1, form.cancelNode());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ui.messageBoxCount(), 0);

    form.show();
    form.ChangeFlag = true;
    ui.queueAnswers({MsgResult::No, MsgResult::Yes});
    clickNode(form.TreeView1, form.cancelNode());
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("設定したデータを破棄してもいいですか？"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("テスト 設定"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, platform::MsgIcon::Question);
    EXPECT_TRUE(form.isVisible());
    form.close(); // the close box asks the same question
    EXPECT_EQ(ui.messageBoxCount(), 2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.saves, 0);
}

TEST(AddInMainFormTest, ConfirmChecksSavesAndClosesWithoutAsking)
{
    testsupport::RecordingUi ui;
    TwoPageForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.ChangeFlag = true;

    form.valid = false;
    clickNode(form.TreeView1, form.confirmNode());
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("入力エラー"));
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("だめです。"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    EXPECT_EQ(form.TreeView1->indexOfTopLevelItem(form.TreeView1->currentItem()), 1);
    EXPECT_EQ(form.focusWidget(), form.edit(1));
    EXPECT_EQ(form.saves, 0);
    EXPECT_TRUE(form.isVisible());

    // An answer that could not be stored keeps the form and its changes.
    form.valid = true;
    form.stored = false;
    clickNode(form.TreeView1, form.confirmNode());
    EXPECT_EQ(form.saves, 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.ChangeFlag);

    form.stored = true;
    clickNode(form.TreeView1, form.confirmNode());
    EXPECT_EQ(form.saves, 2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.ChangeFlag);
    EXPECT_EQ(ui.messageBoxCount(), 1);
}

TEST(AddInMainFormTest, KeyboardSelectsAndRunsANode)
{
    testsupport::RecordingUi ui;
    TwoPageForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.TreeView1->setFocus();
    QTest::keyClick(form.TreeView1, Qt::Key_Down);
    QTest::keyClick(form.TreeView1, Qt::Key_Return);
    EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    form.TreeView1->setCurrentItem(form.TreeView1->topLevelItem(form.confirmNode()));
    QTest::keyClick(form.TreeView1, Qt::Key_Space);
    EXPECT_EQ(form.saves, 1);
    EXPECT_FALSE(form.isVisible());
}
