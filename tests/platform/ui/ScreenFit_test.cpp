#include "platform/ui/ScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ScreenFit : public testing::Test {
protected:
    static void SetUpTestSuite() { screenfit::install(*qApp); }

    static QRect available() { return QApplication::primaryScreen()->availableGeometry(); }

    // The window's own area lies on the screen, below room for a caption bar.
    static void expectOnScreen(const QWidget &window, const char *when)
    {
        const QRect area = available();
        const QRect shown = window.geometry();
        EXPECT_TRUE(area.contains(shown))
            << when << ": " << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
        EXPECT_GT(shown.top(), area.top()) << when << ": no room left for the caption bar";
    }
};

TEST_F(ScreenFit, AWindowPlacedOffTheScreenIsShownOnIt)
{
    // As a window that restores a position stored on a larger screen.
    QDialog dialog;
    dialog.resize(300, 200);
    dialog.move(available().right() - 100, available().bottom() - 50);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    expectOnScreen(dialog, "shown");
}

TEST_F(ScreenFit, AWindowThatGrowsStaysOnTheScreen)
{
    QDialog dialog;
    dialog.resize(200, 100);
    dialog.move(available().center());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint before = dialog.pos();
    dialog.resize(available().width() / 2 + 50, available().height() / 2 + 50);
    QApplication::processEvents();
    expectOnScreen(dialog, "grown");
    EXPECT_LT(dialog.pos().x(), before.x()) << "moved back no further than needed, but moved";

    // Growing where it fits leaves it where it was.
    const QPoint settled = dialog.pos();
    dialog.resize(dialog.width(), dialog.height() - 40);
    dialog.resize(dialog.width(), dialog.height() + 20);
    QApplication::processEvents();
    EXPECT_EQ(dialog.pos(), settled);
}

TEST_F(ScreenFit, AWindowLargerThanTheScreenKeepsItsCaptionBarInSight)
{
    QDialog dialog;
    dialog.move(available().topLeft() + QPoint(100, 100));
    dialog.resize(available().width() + 200, available().height() + 200);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_GE(dialog.geometry().left(), available().left());
    EXPECT_GT(dialog.geometry().top(), available().top());
    EXPECT_LT(dialog.geometry().top(), available().top() + 60);
}

TEST_F(ScreenFit, AWindowWithoutOwnerOpensCentredOnTheScreen)
{
    QDialog dialog;
    dialog.resize(300, 200);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint offset = dialog.frameGeometry().center() - available().center();
    EXPECT_LE(offset.manhattanLength(), 1) << offset.x() << "," << offset.y();
}

TEST_F(ScreenFit, AWindowThePlaceOfWhichTheProgramChoseStaysThere)
{
    QDialog dialog;
    dialog.resize(300, 200);
    const QPoint chosen = available().topLeft() + QPoint(30, 60);
    dialog.move(chosen);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QApplication::processEvents();
    EXPECT_EQ(dialog.pos(), chosen);
}

TEST_F(ScreenFit, ADialogOpensCentredOverItsOwnerWhereTheScreenAllows)
{
    QDialog owner;
    owner.resize(400, 300);
    owner.move(available().center() - QPoint(200, 150));
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QDialog dialog(&owner);
    dialog.resize(200, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint offset = dialog.geometry().center() - owner.geometry().center();
    EXPECT_LE(offset.manhattanLength(), 40) << offset.x() << "," << offset.y();

    // Shown again after its owner moved to the screen's edge: over the owner again, and on the screen.
    dialog.hide();
    owner.move(available().right() - 250, available().top() + 40);
    QApplication::processEvents();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    expectOnScreen(dialog, "over an owner at the edge");
    EXPECT_GT(dialog.geometry().right(), owner.geometry().left());
}

} // namespace
