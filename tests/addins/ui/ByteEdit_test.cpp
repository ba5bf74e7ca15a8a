#include "addins/frame/ui/ByteEdit.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(ByteEditTest, TypingPastingAndInputMethodRunThroughFilterAndBudget)
{
    testsupport::RecordingUi ui;
    TByteEdit edit;
    edit.setMaxBytes(6);
    edit.setKeyFilter(addins::UserBarKey);
    edit.show();
    QSignalSpy edited(&edit, &QLineEdit::textEdited);

    QTest::keyClicks(&edit, "q,,r");
    EXPECT_EQ(edit.text(), QStringLiteral("Q,R"));
    EXPECT_EQ(ui.beepCount(), 1);
    EXPECT_GE(edited.count(), 3);

    QGuiApplication::clipboard()->setText(QStringLiteral("ab!cdef"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("Q,RABC"));
    EXPECT_EQ(ui.beepCount(), 1 + 4); // "!" and what would pass the six bytes

    edit.clear();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ｚ1"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
}

TEST(ByteEditTest, DoubleByteTextIsHeldToItsBytes)
{
    testsupport::RecordingUi ui;
    TByteEdit edit;
    edit.setMaxBytes(5);
    edit.setBoundedText(QStringLiteral("日付検査"));
    EXPECT_EQ(edit.text(), QStringLiteral("日付"));
    edit.show();
    edit.end(false);
    QTest::keyClicks(&edit, "ab");
    EXPECT_EQ(edit.text(), QStringLiteral("日付a"));
    EXPECT_EQ(ui.beepCount(), 1);
    QSignalSpy enter(&edit, &TByteEdit::EnterPressed);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(enter.count(), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("日付a"));
}
