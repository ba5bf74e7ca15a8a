#include "platform/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char *name;
    QRect frame;
    QPoint kept;
};

class KeptInside : public testing::TestWithParam<PlacementCase> {};

// A 1366x768 screen whose available area starts below a 24-pixel panel.
const QRect available(0, 24, 1366, 744);

TEST_P(KeptInside, MovesTheFrameNoFurtherThanNeeded)
{
    EXPECT_EQ(windowplacement::keptInside(GetParam().frame, available), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, KeptInside,
    testing::Values(PlacementCase{"Inside", QRect(100, 100, 400, 300), QPoint(100, 100)},
                    PlacementCase{"TouchingEveryEdge", QRect(0, 24, 1366, 744), QPoint(0, 24)},
                    PlacementCase{"PastTheRight", QRect(1000, 100, 400, 300), QPoint(966, 100)},
                    PlacementCase{"PastTheBottom", QRect(400, 334, 1038, 837), QPoint(328, 24)},
                    PlacementCase{"AboveThePanel", QRect(100, 0, 400, 300), QPoint(100, 24)},
                    PlacementCase{"LeftOfTheScreen", QRect(-50, 100, 400, 300), QPoint(0, 100)},
                    PlacementCase{"FarOffOnAnotherScreen", QRect(3000, 2000, 400, 300), QPoint(966, 468)},
                    // Too large for the area: the caption bar and the left edge stay in sight.
                    PlacementCase{"TallerThanTheArea", QRect(200, 100, 600, 900), QPoint(200, 24)},
                    PlacementCase{"WiderAndTaller", QRect(50, 50, 1500, 900), QPoint(0, 24)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CentredOver, CentresTheFrameOverItsOwnerAsFarAsTheAreaAllows)
{
    const QSize frame(200, 100);
    EXPECT_EQ(windowplacement::centredOver(frame, QRect(300, 200, 400, 300), available), QPoint(400, 300));
    EXPECT_EQ(windowplacement::centredOver(frame, available, available), QPoint(583, 346));
    // An owner at the right edge, or above the area: the frame stays inside.
    EXPECT_EQ(windowplacement::centredOver(frame, QRect(1200, 300, 300, 200), available), QPoint(1166, 350));
    EXPECT_EQ(windowplacement::centredOver(frame, QRect(100, -300, 300, 200), available), QPoint(150, 24));
    // Odd sizes round the same way on both sides.
    EXPECT_EQ(windowplacement::centredOver(QSize(201, 101), QRect(0, 0, 401, 301), QRect(0, 0, 1366, 768)),
              QPoint(100, 100));
}

TEST(PlausibleFrame, TakesThinBordersAndACaptionBarAtTheTopOnly)
{
    for (const QMargins frame :
         {QMargins(1, 20, 1, 1), QMargins(4, 28, 4, 4), QMargins(0, 24, 0, 0), QMargins(2, 2, 2, 2)})
        EXPECT_TRUE(windowplacement::plausibleFrame(frame)) << frame.left() << "," << frame.top();
    // Reported while a window is being framed: no frame yet, a caption bar of 0, or borders measured
    // against a frame of an older size.
    for (const QMargins passing : {QMargins(), QMargins(1, 0, 1, 1), QMargins(1, 20, 600, 610),
                                   QMargins(1, 20, -285, 1), QMargins(1, 0, 0, 0)})
        EXPECT_FALSE(windowplacement::plausibleFrame(passing))
            << passing.left() << "," << passing.top() << "," << passing.right() << "," << passing.bottom();
}

TEST(AssumedFrameMargins, TakesTheWindowsOwnThenAnothersThenACaptionBar)
{
    const QMargins own(1, 20, 1, 1);
    const QMargins another(2, 30, 2, 2);
    EXPECT_EQ(windowplacement::assumedFrameMargins(own, another), own);
    EXPECT_EQ(windowplacement::assumedFrameMargins(QMargins(), another), another);
    EXPECT_EQ(windowplacement::assumedFrameMargins(QMargins(1, 0, 600, 610), another), another);
    const QMargins guessed = windowplacement::assumedFrameMargins(QMargins(), QMargins());
    EXPECT_GT(guessed.top(), 20) << "a guess without room for a caption bar lets it leave the screen";
}

} // namespace
