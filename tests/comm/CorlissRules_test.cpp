#include "comm/CorlissRules.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressWindowPosition, OpensWhereStoredElseOverItsStarterOnScreen)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(400, 90);
    struct Case {
        const char *what;
        std::optional<QPoint> stored;
        QRect owner;
        QPoint expected;
    };
    const Case cases[] = {
        {"stored position wins", QPoint(5, 7), QRect(600, 300, 330, 300), QPoint(5, 7)},
        {"centred over the starter", std::nullopt, QRect(600, 300, 330, 300), QPoint(565, 405)},
        {"starter at the left edge", std::nullopt, QRect(-200, 300, 330, 300), QPoint(0, 405)},
        {"starter below the bottom", std::nullopt, QRect(600, 1000, 330, 300), QPoint(565, 990)},
        {"no starter: screen centre", std::nullopt, QRect(), QPoint(760, 495)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, comm::progressWindowPosition(c.stored, c.owner, size, screen));
    }
}

} // namespace
