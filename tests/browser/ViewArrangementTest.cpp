// Fitting, zooming, the scroll bars and the centring of the picture area.
#include "browser/ViewArrangement.h"

#include <gtest/gtest.h>

namespace mv::browser {
namespace {

constexpr int kBar = 16;

ViewArrangement bestFit(QSize picture, QSize area)
{
    return arrangeView({picture, true, QSize(), area, kBar});
}

ViewArrangement zoomed(QSize drawn, QSize area)
{
    return arrangeView({drawn, false, drawn, area, kBar});
}

TEST(ViewArrangement, BestFitFitsOneSideCentresTheOtherAndNeverShowsBars)
{
    const ViewArrangement wide = bestFit({400, 200}, {300, 300});
    EXPECT_EQ(wide.fit, FitDirection::FitWidth);
    EXPECT_EQ(wide.drawnSize, QSize(300, 150));
    EXPECT_EQ(wide.position, QPoint(0, 75));
    const ViewArrangement tall = bestFit({200, 400}, {300, 300});
    EXPECT_EQ(tall.fit, FitDirection::FitHeight);
    EXPECT_EQ(tall.drawnSize, QSize(150, 300));
    EXPECT_EQ(tall.position, QPoint(75, 0));
    // The first direction overflows the area: the other one is taken.
    EXPECT_EQ(bestFit({400, 300}, {800, 300}).fit, FitDirection::FitHeight);
    EXPECT_EQ(bestFit({400, 300}, {800, 300}).drawnSize, QSize(400, 300));
    EXPECT_EQ(bestFit({300, 400}, {300, 800}).fit, FitDirection::FitWidth);
    // Whatever the rounding, one side fills the area and neither passes it.
    for (int pw : {1, 7, 333, 999, 4001})
        for (int ph : {1, 9, 334, 1000, 3999}) {
            const ViewArrangement a = bestFit({pw, ph}, {301, 299});
            EXPECT_TRUE(a.drawnSize.width() <= 301 && a.drawnSize.height() <= 299) << pw << "x" << ph;
            EXPECT_TRUE(a.drawnSize.width() == 301 || a.drawnSize.height() == 299) << pw << "x" << ph;
            EXPECT_FALSE(a.horizontal.visible || a.vertical.visible) << pw << "x" << ph;
        }
    // A line of a picture stays a visible pixel high; empty sizes divide by nothing.
    EXPECT_EQ(bestFit({10000, 1}, {300, 300}).drawnSize, QSize(300, 1));
    EXPECT_EQ(bestFit({0, 0}, {300, 300}).drawnSize, QSize(0, 0));
    EXPECT_EQ(bestFit({400, 200}, {-5, 0}).drawnSize, QSize(0, 0));
}

TEST(ViewArrangement, ZoomLargerThanTheAreaStartsBothBarsHalfwayWithThePictureCentred)
{
    // 200% of 400 x 300 in 300 x 300; each bar takes its strip from the other's axis.
    const ViewArrangement a = zoomed({800, 600}, {300, 300});
    const int visible = 300 - kBar;
    ASSERT_TRUE(a.horizontal.visible && a.vertical.visible);
    EXPECT_EQ(a.visibleSize, QSize(visible, visible));
    EXPECT_EQ(a.horizontal.maximum, 800 - visible);
    EXPECT_EQ(a.vertical.maximum, 600 - visible);
    EXPECT_EQ(a.horizontal.pageStep, visible);
    EXPECT_EQ(a.horizontal.value, a.horizontal.maximum / 2);
    EXPECT_EQ(a.vertical.value, a.vertical.maximum / 2);
    EXPECT_EQ(a.position, QPoint(-a.horizontal.value, -a.vertical.value));
    // Odd overflow truncates alike on both sides.
    const ViewArrangement odd = zoomed({301, 100}, {300, 300});
    EXPECT_EQ(odd.position.x(), -odd.horizontal.value);
    // Smaller, or exactly the area: centred, no bars.
    EXPECT_EQ(zoomed({100, 75}, {300, 300}).position, QPoint(100, 112));
    const ViewArrangement exact = zoomed({300, 300}, {300, 300});
    EXPECT_FALSE(exact.horizontal.visible || exact.vertical.visible);
}

// The old arithmetic took the horizontal maximum before the vertical bar had taken its strip,
// so the right-most columns of a picture larger than the area could never be scrolled into view.
TEST(ViewArrangement, RightMostColumnIsReachableOnceTheVerticalBarTakesItsStrip)
{
    const ViewArrangement a = zoomed({310, 400}, {300, 300});
    ASSERT_TRUE(a.horizontal.visible && a.vertical.visible);
    // At each bar's maximum the picture's far edge is the frame's edge.
    EXPECT_EQ(a.drawnSize.width() - a.horizontal.maximum, 300 - kBar);
    EXPECT_EQ(a.drawnSize.height() - a.vertical.maximum, 300 - kBar);

    // A bar appearing makes the other one necessary, on either axis.
    EXPECT_EQ(zoomed({295, 400}, {300, 300}).horizontal.maximum, 295 - (300 - kBar));
    EXPECT_EQ(zoomed({400, 290}, {300, 300}).vertical.maximum, 290 - (300 - kBar));
    // It fits beside the other bar: that bar alone.
    const ViewArrangement beside = zoomed({284, 400}, {300, 300});
    EXPECT_FALSE(beside.horizontal.visible);
    EXPECT_EQ(beside.vertical.maximum, 100);
}

} // namespace
} // namespace mv::browser
