// Typing into the master grid through an input method: the events a real one sends (a composition,
// then its commit; a word committed at once), Escape, and the box that refuses a character a master
// cannot hold, shown as a real window that takes the focus from the grid and gives it back.

#include "masters/ui/MasterEdit.h"

#include "platform/Cp932.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using managertest::casePath;
using managertest::readFile;
using managertest::writeFile;

namespace {

// Records the boxes and shows each as a window over the form, closed once it has the focus, as the
// operator presses OK.
class ShownBoxes final : public testsupport::RecordingUiService {
public:
    platform::MsgResult messageBox(const QString &text, const QString &caption,
                                   const platform::MsgStyle &style) override
    {
        const platform::MsgResult answer = RecordingUiService::messageBox(text, caption, style);
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, QApplication::activeWindow());
        QTimer::singleShot(0, &box, [&box] {
            shownActive = QTest::qWaitForWindowActive(&box);
            box.accept();
        });
        box.exec();
        return answer;
    }
    static inline bool shownActive = false;
};

// Widths 8 and 10; the reference data of each record in the cases below.
const QString Records[] = {QStringLiteral("基地"), QStringLiteral("ｱ"), QStringLiteral("ABCDEFGH")};

QByteArray record(int number, const QString &reference)
{
    QByteArray reference10 = platform::cp932::encode(reference);
    reference10 += QByteArray(10 - reference10.size(), ' ');
    return "K000" + QByteArray::number(number) + "   " + reference10 + "\r\n";
}

class MasterInputMethodTest : public testing::Test {
protected:
    void SetUp() override
    {
        master = casePath("m/depots.dat");
        QByteArray file;
        for (int i = 0; i < 3; ++i)
            file += record(i + 1, Records[i]);
        ASSERT_TRUE(writeFile(master, file));
        ASSERT_TRUE(writeFile(casePath("m/depots.fld"), "8,10\r\n"));
        ASSERT_TRUE(QDir().mkpath(casePath("out")));
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ui.queueFileName(master);
        form.OpenBtn->click();
        ASSERT_TRUE(form.Model().EditFlag);
    }

    QLineEdit *editor() const
    {
        return qobject_cast<QLineEdit *>(form.MasterGrid->indexWidget(form.MasterGrid->currentIndex()));
    }
    // The reference cell of a record, its editor open with the caret after `caret` characters. The
    // row's key cell is clicked first: a click on the cell already current opens no editor when a
    // tool button has the focus.
    void editReference(int row, int caret)
    {
        for (int column : {1, 2}) {
            const QRect cell = form.MasterGrid->visualItemRect(form.MasterGrid->item(row - 1, column));
            QTest::mouseClick(form.MasterGrid->viewport(), Qt::LeftButton, {}, cell.center());
        }
        ASSERT_NE(editor(), nullptr);
        ASSERT_EQ(form.currentColumn(), 2);
        ASSERT_EQ(QApplication::focusWidget(), editor());
        editor()->setCursorPosition(caret);
    }
    // What an input method sends to the focused control: the composition, underlined at the caret.
    static void compose(const QString &preedit)
    {
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        const int n = int(preedit.size());
        QInputMethodEvent event(preedit, {{QInputMethodEvent::TextFormat, 0, n, underlined},
                                          {QInputMethodEvent::Cursor, n, 1, QVariant()}});
        send(event);
    }
    static void commit(const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        send(event);
    }
    static void send(QInputMethodEvent &event)
    {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QApplication::sendEvent(focused, &event);
    }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    QString shown(int row) const { return form.MasterGrid->item(row - 1, 2)->text(); }
    // The reference bytes of a record as "保存" writes them.
    QByteArray savedReference(int row)
    {
        const QString saved = casePath("out/depots.dat");
        ui.queueFileName(saved);
        form.SaveBtn->click();
        return readFile(saved).mid((row - 1) * 20 + 8, 10);
    }
    static QByteArray padded(const QString &reference)
    {
        const QByteArray bytes = platform::cp932::encode(reference);
        return bytes + QByteArray(10 - bytes.size(), ' ');
    }
    // Commits text into the cell being edited and checks the editor's text and caret, the page and
    // the bytes saved.
    void commitAndCheck(int row, const char *committed, const char *expected, int caret)
    {
        commit(QString::fromUtf8(committed));
        const QString text = QString::fromUtf8(expected);
        ASSERT_NE(editor(), nullptr) << "the cell is no longer edited";
        EXPECT_EQ(editor()->text(), text);
        EXPECT_EQ(editor()->cursorPosition(), caret);
        EXPECT_EQ(form.Model().cell(row, 2), text);
        EXPECT_EQ(savedReference(row), padded(text));
    }

    ShownBoxes ui;
    testsupport::ScopedUiService scope{ui};
    TMasterForm form{QStringLiteral("COM1"), 115200};
    QString master;
};

TEST_F(MasterInputMethodTest, CommittedTextGoesInAtTheCaretAndTheCutKeepsTheCaretAfterIt)
{
    const struct {
        const char *what;
        int row;
        int caret;
        const char *preedit; // composed before the commit; nothing of it reaches the cell
        const char *commit;
        const char *text;
        int caretAfter;
    } cases[] = {
        {"a word composed and committed at the end", 1, 2, "てすと", "テスト", "基地テスト", 5},
        {"half-width kana committed in the middle", 3, 2, "", "ｱｲ", "ABｱｲCDEFGH", 4},
        {"a word past the width, in the middle", 3, 2, "かくにん", "確認", "AB確認CDEF", 4},
        {"a word past the width, its end cut", 3, 7, "", "確認", "ABCDEFG確", 8},
        {"a word past the width at the start", 1, 0, "", "入荷予定", "入荷予定基", 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        editReference(c.row, c.caret);
        if (*c.preedit != '\0') {
            compose(QString::fromUtf8(c.preedit));
            EXPECT_EQ(editor()->text(), Records[c.row - 1]);
            EXPECT_EQ(form.Model().cell(c.row, 2), Records[c.row - 1]);
        }
        commitAndCheck(c.row, c.commit, c.text, c.caretAfter);
        // The next case starts from the file as it was.
        form.CloseBtn->click();
        ui.queueFileName(master);
        form.OpenBtn->click();
    }
}

TEST_F(MasterInputMethodTest, EscapeGivesTheCellBackItsTextOnTheScreenAndInTheSave)
{
    const struct {
        const char *what;
        int row;
        const char *typed;   // committed at the end of the cell
        const char *preedit; // still composing when the input method's Escape cancels it
    } cases[] = {
        {"after a commit", 2, "XY", ""},
        {"during a composition after a commit", 2, "X", "てす"},
        {"after a commit cut to the width", 1, "入荷予定", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString before = Records[c.row - 1];
        editReference(c.row, int(before.size()));
        commit(QString::fromUtf8(c.typed));
        const QString typed = editor()->text();
        ASSERT_NE(typed, before);
        if (*c.preedit != '\0') {
            compose(QString::fromUtf8(c.preedit));
            // The input method takes the first Escape and ends the composition, committing nothing.
            compose(QString());
            EXPECT_EQ(editor()->text(), typed);
            EXPECT_EQ(editor()->cursorPosition(), typed.size());
        }
        press(Qt::Key_Escape);
        EXPECT_EQ(shown(c.row), before);
        EXPECT_EQ(form.Model().cell(c.row, 2), before);
        // Still edited, as the editor opened on the cell: the whole text selected.
        if (QLineEdit *edit = editor()) {
            EXPECT_EQ(edit->text(), before);
            EXPECT_EQ(edit->selectedText(), before);
            EXPECT_EQ(QApplication::focusWidget(), edit);
        } else {
            ADD_FAILURE() << "the cell is no longer edited";
        }
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(savedReference(c.row), padded(before));
        EXPECT_EQ(shown(c.row), before);
    }
    // Escape in a cell edits nothing more, and closes nothing.
    editReference(3, 0);
    press(Qt::Key_Escape);
    press(Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), Records[2]);
}

TEST_F(MasterInputMethodTest, AfterARefusedCharacterTheCellIsStillEditedWithItsTextAndCaret)
{
    const struct {
        const char *what;
        int row;
        int caret;
        const char *refused;
        const char *next;
        const char *text;
        int caretAfter;
    } cases[] = {
        {"a character outside Shift-JIS at the end", 1, 2, "𠮷", "てすと", "基地てすと", 5},
        {"an emoji in a word in the middle", 3, 3, "a😀", "ｱ", "ABCｱDEFGH", 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ui.clear();
        const QString before = Records[c.row - 1];
        editReference(c.row, c.caret);
        compose(QStringLiteral("きち"));
        commit(QString::fromUtf8(c.refused));
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_TRUE(ShownBoxes::shownActive) << "the box never took the focus";
        // The window manager gives the form the focus back.
        QApplication::setActiveWindow(&form);
        if (QLineEdit *edit = editor()) {
            EXPECT_EQ(QApplication::focusWidget(), edit);
            EXPECT_EQ(edit->text(), before);
            EXPECT_EQ(edit->cursorPosition(), c.caret);
            EXPECT_FALSE(edit->hasSelectedText());
        } else {
            ADD_FAILURE() << "the cell is no longer edited";
        }
        // The operator goes on typing.
        commitAndCheck(c.row, c.next, c.text, c.caretAfter);
    }
}

} // namespace
