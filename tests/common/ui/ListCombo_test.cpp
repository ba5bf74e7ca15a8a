#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "common/ui/ListCombo.h"

namespace {

// Items whose first letters a typed key would find: "b" picks "bravo", "2" picks "2nd", the kana
// picks "ｶﾅ", a blank would open the list.
const QStringList Items{QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("2nd"),
                        QStringLiteral("ｶﾅ"),    QStringLiteral("delta"), QStringLiteral("echo")};

class ListComboTest : public testing::Test {
protected:
    ListComboTest()
    {
        auto *layout = new QVBoxLayout(&dialog);
        combo = new TListCombo(&dialog);
        combo->addItems(Items);
        layout->addWidget(combo);
        dialog.show();
        combo->setFocus();
    }

    void press(QWidget *target, int key, const QString &text,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &event);
    }

    QDialog dialog;
    TListCombo *combo = nullptr;
};

TEST_F(ListComboTest, TypedCharactersChooseNothing)
{
    struct Case {
        const char *name;
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"letter", Qt::Key_B, QStringLiteral("b"), Qt::NoModifier},
        {"capital", Qt::Key_B, QStringLiteral("B"), Qt::ShiftModifier},
        {"digit", Qt::Key_2, QStringLiteral("2"), Qt::NoModifier},
        {"kana", Qt::Key_unknown, QStringLiteral("ｶ"), Qt::NoModifier},
        {"letter with Alt", Qt::Key_D, QStringLiteral("d"), Qt::AltModifier},
        {"blank", Qt::Key_Space, QStringLiteral(" "), Qt::NoModifier},
    };
    for (const Case &c : cases) {
        combo->setCurrentIndex(0);
        QSignalSpy activated(combo, &QComboBox::activated);
        press(combo, c.key, c.text, c.modifiers);
        EXPECT_EQ(combo->currentIndex(), 0) << c.name;
        EXPECT_EQ(activated.count(), 0) << c.name;
        EXPECT_FALSE(combo->view()->isVisible()) << c.name;
    }
}

TEST_F(ListComboTest, CommittedInputMethodTextChoosesNothing)
{
    combo->setCurrentIndex(0);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ｶﾅ"));
    QApplication::sendEvent(combo, &commit);
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(ListComboTest, MovingKeysStillChoose)
{
    struct Case {
        const char *name;
        int from;
        int key;
        int expected;
    };
    const Case cases[] = {
        {"Down", 0, Qt::Key_Down, 1},          {"Up", 2, Qt::Key_Up, 1},
        {"Home", 4, Qt::Key_Home, 0},          {"End", 1, Qt::Key_End, 5},
        {"Page Down", 0, Qt::Key_PageDown, 1}, {"Page Up", 5, Qt::Key_PageUp, 4},
    };
    for (const Case &c : cases) {
        combo->setCurrentIndex(c.from);
        QSignalSpy activated(combo, &QComboBox::activated);
        QTest::keyClick(combo, Qt::Key(c.key));
        EXPECT_EQ(combo->currentIndex(), c.expected) << c.name;
        EXPECT_EQ(activated.count(), 1) << c.name;
    }
}

TEST_F(ListComboTest, TheOpenListIgnoresTypingAndTakesReturn)
{
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView *list = combo->view();
    ASSERT_TRUE(list->isVisible());
    const int rowBefore = list->currentIndex().row();
    press(list, Qt::Key_E, QStringLiteral("e"));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("d"));
    QApplication::sendEvent(list, &commit);
    EXPECT_EQ(list->currentIndex().row(), rowBefore) << "the open list searched by the typed text";

    QTest::keyClick(list, Qt::Key_Down);
    QSignalSpy activated(combo, &QComboBox::activated);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(combo->currentIndex(), rowBefore + 1);
    EXPECT_EQ(activated.count(), 1);
}

// Stands in for a form's Return moves, which watch the control before it sees the key.
class ReturnTaker : public QObject {
public:
    int taken = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return) {
            ++taken;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(ListComboTest, ReturnIsSignalledUnlessTheFormTakesItAndEscapeReachesTheDialog)
{
    QSignalSpy enter(combo, &TListCombo::EnterPressed);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(combo, Qt::Key_Return);
    QTest::keyClick(combo, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(enter.count(), 2);
    EXPECT_EQ(rejected.count(), 0);

    ReturnTaker form;
    combo->installEventFilter(&form);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(form.taken, 1);
    EXPECT_EQ(enter.count(), 2);

    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
}

TEST(ListComboItems, ListTextGivesOneItemPerLineAndKeepsTheChoice)
{
    struct Case {
        const char *name;
        QString before; // the list before, its current item last picked
        int current;
        QString text;
        QStringList items;
        int expected;
    };
    const Case cases[] = {
        {"lines ended by CR LF", {}, -1, QStringLiteral("A\r\nB\r\nC\r\n"), {"A", "B", "C"}, -1},
        {"last line without an end", {}, -1, QStringLiteral("A\r\nB"), {"A", "B"}, -1},
        {"choice kept",
         QStringLiteral("x\r\ny\r\nz\r\n"),
         1,
         QStringLiteral("A\r\nB\r\nC\r\n"),
         {"A", "B", "C"},
         1},
        {"choice beyond a shorter list",
         QStringLiteral("x\r\ny\r\nz\r\n"),
         2,
         QStringLiteral("A\r\nB\r\n"),
         {"A", "B"},
         1},
        {"empty text", QStringLiteral("x\r\n"), 0, QString(), {}, -1},
        {"blank line kept as an item", {}, -1, QStringLiteral("A\r\n\r\nB\r\n"), {"A", "", "B"}, -1},
    };
    for (const Case &c : cases) {
        TListCombo combo;
        combo.setItemsText(c.before);
        combo.setCurrentIndex(c.current);
        combo.setItemsText(c.text);
        QStringList items;
        for (int i = 0; i < combo.count(); ++i)
            items << combo.itemText(i);
        EXPECT_EQ(items, c.items) << c.name;
        EXPECT_EQ(combo.currentIndex(), c.expected) << c.name;
    }
}

} // namespace
