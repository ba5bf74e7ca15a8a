#include "jobs/ui/SetGyoumu.h"
#include "masters/ui/MasterEdit.h"

#include "tests/support/RecordingUiService.h"

#include <QAccessible>
#include <QApplication>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// Assistive technology presses a tool button that opens a modal dialog: the press returns at once
// and the button is clicked after it, so the dialog's wait does not hold the caller. A click stays
// what it was.

namespace {

QAccessibleActionInterface *actions(QToolButton *button)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
    return face ? face->actionInterface() : nullptr;
}

} // namespace

TEST(ToolButtonPressTest, APressReturnsBeforeTheDialogItOpens)
{
    testsupport::RecordingUi ui;
    TSetGyForm jobs(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    TMasterForm masters(QStringLiteral("COM1"), 115200);
    const struct {
        const char *what;
        QToolButton *button;
    } cases[] = {
        {"job settings editor", jobs.OpenTBtn},
        {"master editor", masters.OpenBtn},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ui.clear();
        QAccessibleActionInterface *press = actions(c.button);
        ASSERT_NE(press, nullptr);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(c.button)->text(QAccessible::Name), c.button->text());
        ASSERT_TRUE(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
        int clicks = 0;
        const QMetaObject::Connection counting =
            QObject::connect(c.button, &QToolButton::clicked, [&clicks] { ++clicks; });
        press->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(clicks, 0) << "clicked inside the press";
        EXPECT_TRUE(ui.fileDialogs().empty());
        QApplication::processEvents();
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(ui.fileDialogs().size(), 1u) << "the file dialog the button opens";

        // A click opens the dialog before it returns, as it did.
        ui.clear();
        c.button->click();
        EXPECT_EQ(ui.fileDialogs().size(), 1u);

        // A disabled button is not pressed.
        c.button->setEnabled(false);
        press->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();
        EXPECT_EQ(clicks, 2);
        c.button->setEnabled(true);
        QObject::disconnect(counting);
    }
}
