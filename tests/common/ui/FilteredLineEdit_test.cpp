#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "common/ui/FilteredLineEdit.h"
#include "tests/support/RecordingUiService.h"

namespace {

// Records what reaches the change path and lets the base insert it.
class RecordingEdit : public FilteredLineEdit {
public:
    QStringList entered;

protected:
    void typeText(const QString &text) override
    {
        entered << text;
        FilteredLineEdit::typeText(text);
    }
};

class FilteredLineEditTest : public testing::Test {
protected:
    void start(const QString &text)
    {
        edit.setText(text);
        edit.entered.clear();
    }

    testsupport::RecordingUi ui;
    RecordingEdit edit;
};

TEST_F(FilteredLineEditTest, EveryWayOfEnteringTextTakesTheChangePath)
{
    QSignalSpy edited(&edit, &QLineEdit::textEdited);
    start(QStringLiteral("AB"));
    edit.setCursorPosition(1);
    QTest::keyClicks(&edit, QStringLiteral("x"));
    EXPECT_EQ(edit.entered, QStringList{QStringLiteral("x")});
    EXPECT_EQ(edit.text(), QStringLiteral("AxB"));

    QGuiApplication::clipboard()->setText(QStringLiteral("商品"));
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_V, Qt::ControlModifier}, std::pair{Qt::Key_Insert, Qt::ShiftModifier}}) {
        start(QStringLiteral("AB"));
        edit.selectAll();
        QTest::keyClick(&edit, key, modifiers);
        EXPECT_EQ(edit.entered, QStringList{QStringLiteral("商品")});
        EXPECT_EQ(edit.text(), QStringLiteral("商品"));
    }

    start(QStringLiteral("AB"));
    std::unique_ptr<QMenu> menu(edit.createFilteredContextMenu());
    QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(edit.entered, QStringList{QStringLiteral("商品")});
    EXPECT_EQ(edit.text(), QStringLiteral("AB商品"));

    start(QString());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("入荷"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.entered, QStringList{QStringLiteral("入荷")});
    EXPECT_EQ(edit.text(), QStringLiteral("入荷"));
    // Forms listen to textEdited: what the path inserts reaches them as typing does.
    EXPECT_GE(edited.count(), 5);
}

TEST_F(FilteredLineEditTest, ShortcutsAndEditingKeysStayWithTheBase)
{
    start(QStringLiteral("ABC"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_TRUE(edit.entered.isEmpty());
    EXPECT_EQ(edit.text(), QString());
}

TEST_F(FilteredLineEditTest, AReadOnlyControlOrADropTakesNothing)
{
    start(QStringLiteral("AB"));
    edit.setReadOnly(true);
    QTest::keyClicks(&edit, QStringLiteral("x"));
    QGuiApplication::clipboard()->setText(QStringLiteral("y"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("z"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_TRUE(edit.entered.isEmpty());
    EXPECT_EQ(edit.text(), QStringLiteral("AB"));
    EXPECT_FALSE(edit.acceptDrops());
}

} // namespace
