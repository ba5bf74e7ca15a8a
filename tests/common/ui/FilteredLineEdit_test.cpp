#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <functional>
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

    // Key presses carrying text, as a keyboard or an input method without composition sends them.
    void typeTextKeys(const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(&edit, &press);
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

TEST_F(FilteredLineEditTest, TextTheCodePageCannotHoldIsRefusedWithAMessageByEveryPath)
{
    const QString emoji = QString::fromUtf16(u"在庫\U0001F600");
    const QString hangul = QString::fromUtf16(u"\uD55C");
    const QString combining = QString::fromUtf16(u"e\u0301");
    const std::function<void()> paths[] = {
        [&] { typeTextKeys(emoji); },
        [&] { typeTextKeys(emoji.mid(2)); }, // the emoji alone: its first unit is a surrogate
        [&] {
            QGuiApplication::clipboard()->setText(hangul);
            QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        },
        [&] {
            QGuiApplication::clipboard()->setText(emoji);
            std::unique_ptr<QMenu> menu(edit.createFilteredContextMenu());
            menu->findChild<QAction *>(QStringLiteral("edit-paste"))->trigger();
        },
        [&] {
            QInputMethodEvent commit;
            commit.setCommitString(combining);
            QApplication::sendEvent(&edit, &commit);
        },
    };
    for (const auto &enter : paths) {
        start(QStringLiteral("AB"));
        const size_t before = ui.messageBoxes().size();
        enter();
        EXPECT_TRUE(edit.entered.isEmpty());
        EXPECT_EQ(edit.text(), QStringLiteral("AB"));
        ASSERT_EQ(ui.messageBoxes().size(), before + 1);
        EXPECT_TRUE(ui.messageBoxes().back().text.endsWith(
            QStringLiteral("はシフトJISで表せない文字のため入力できません。")));
        EXPECT_EQ(ui.messageBoxes().back().caption, QStringLiteral("入力エラー"));
        EXPECT_EQ(ui.messageBoxes().back().style.icon, platform::MsgIcon::Exclamation);
    }
    EXPECT_TRUE(ui.messageBoxes().back().text.startsWith(QStringLiteral("U+0301")));
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
