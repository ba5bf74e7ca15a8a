#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
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

// The file-name field the settings programs share: an operator change the check refuses puts the
// last good name back with a beep; a program fill sets the last good name without a change.
TEST(FileNameEditTest, RefusedChangePutsTheLastGoodNameBack)
{
    struct Case {
        const char *name;
        bool keepsLastGood;
        const char *typed;
        const char *text;
        int beeps;
    };
    const Case cases[] = {
        {"a program extension is put back", true, ".EXE", "RES.EX", 1},
        {"an accepted name stays", true, ".DAT", "RES.DAT", 0},
        {"a field without the check keeps what passed the keys", false, ".EXE", "RES.EXE", 0},
    };
    for (const Case &c : cases) {
        testsupport::RecordingUi ui;
        TFileNameEdit edit(c.keepsLastGood);
        edit.show();
        QSignalSpy changed(&edit, &TFileNameEdit::Changed);
        edit.setFileName(QStringLiteral("RES"));
        EXPECT_EQ(changed.count(), 0) << c.name;
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.text)) << c.name;
        EXPECT_EQ(ui.beepCount(), c.beeps) << c.name;
        EXPECT_EQ(changed.count(), int(qstrlen(c.typed))) << c.name;
        if (c.keepsLastGood) {
            EXPECT_EQ(edit.lastGood(), edit.text()) << c.name;
        }
    }
}
