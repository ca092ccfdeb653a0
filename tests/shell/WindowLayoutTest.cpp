#include "shell/WindowLayout.h"

#include <gtest/gtest.h>

using namespace mv::shell;

namespace {

LayoutInput sized(int inner, int innerH, bool hidden = false, bool h = false, bool v = false)
{
    return LayoutInput {inner, innerH, inner + 120, hidden, h, v};
}

} // namespace

// The window tests show the designed layout, the lists hidden and both bars; what they never
// show is one bar alone, which then spans the frame's whole side.
TEST(WindowLayoutTest, ASingleVisibleBarSpansTheFramesSide)
{
    const WindowLayout hOnly = layoutWindow(WindowLayout::designed(), sized(9375, 6330, false, true, false));
    EXPECT_EQ(hOnly.imgHScroll.width(), hOnly.imgFrame.width());
    EXPECT_EQ(hOnly.imgFrame.width(), 6507);
    const WindowLayout vOnly = layoutWindow(WindowLayout::designed(), sized(9375, 6330, false, false, true));
    EXPECT_EQ(vOnly.imgVScroll.height(), vOnly.imgFrame.height());
    EXPECT_EQ(vOnly.imgFrame.height(), 5775);
}
