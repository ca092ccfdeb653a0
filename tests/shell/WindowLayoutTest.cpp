#include "shell/WindowLayout.h"

#include <gtest/gtest.h>

using namespace mv::shell;

namespace {

LayoutInput sized(int inner, int innerH, bool hidden = false, bool h = false, bool v = false)
{
    return LayoutInput {inner, innerH, inner + 120, hidden, h, v};
}

} // namespace

// The numbers of the designed window: the list column, the heights split at the filter, and the
// picture frame stretched over both scroll bar strips when no bar shows.
TEST(WindowLayoutTest, DesignedSizeGivesTheColumnAndFrameOfTheRule)
{
    const WindowLayout l = layoutWindow(WindowLayout::designed(), sized(9375, 6330));
    EXPECT_EQ(l.fileSpec, QRect(6732, 3032, 2523, 315));
    EXPECT_EQ(l.fileList, QRect(6732, 3392, 2523, 2488));
    EXPECT_EQ(l.dirList, QRect(6732, 840, 2523, 2072));
    EXPECT_EQ(l.quickList.left(), 6732);
    EXPECT_EQ(l.fileInfoBar, QRect(0, 6000, 9375, 330));
    EXPECT_EQ(l.imgHScroll, QRect(120, 5760, 6267, 195));
    EXPECT_EQ(l.imgVScroll, QRect(6372, 120, 195, 5655));
    EXPECT_EQ(l.imgFrame, QRect(120, 120, 6507, 5775));
    EXPECT_EQ(l.pictureArea(), QRect(120, 120, 6507, 5775));
}

// Widening by 10,000 twips gives the column a tenth of it and the picture the rest; below half
// the reference size the coordinates stay where they were, and widening again lays out afresh.
TEST(WindowLayoutTest, ColumnGrowsByATenthAndNarrowWindowsKeepTheLastLayout)
{
    const WindowLayout wide = layoutWindow(WindowLayout::designed(), sized(19375, 6330));
    EXPECT_EQ(wide.fileList.width(), 3523);
    EXPECT_EQ(wide.fileList.left(), 15732);
    EXPECT_EQ(wide.imgHScroll.width(), 15732 - 465);

    const WindowLayout narrow = layoutWindow(wide, sized(4000, 3000));
    EXPECT_EQ(narrow.fileList, wide.fileList);
    EXPECT_EQ(narrow.fileInfoBar, wide.fileInfoBar);
    EXPECT_EQ(narrow.imgVScroll, wide.imgVScroll);

    const WindowLayout again = layoutWindow(narrow, sized(9375, 6330));
    EXPECT_EQ(again.fileList, QRect(6732, 3392, 2523, 2488));
}

// Hidden lists: the bars run to the window's right edge and the file list waits just outside it.
// A single visible bar spans the frame's side; two bars leave the corner free.
TEST(WindowLayoutTest, HiddenListsAndScrollBarVisibility)
{
    const WindowLayout hidden = layoutWindow(WindowLayout::designed(), sized(9375, 6330, true));
    EXPECT_EQ(hidden.imgHScroll.width(), 9495 - 570);
    EXPECT_EQ(hidden.imgVScroll.left(), 9495 - 495);
    EXPECT_EQ(hidden.fileList.left(), 9375 + 960);
    EXPECT_EQ(hidden.pictureArea().right() + 1, 9375 - 120);

    const WindowLayout both = layoutWindow(WindowLayout::designed(), sized(9375, 6330, false, true, true));
    EXPECT_EQ(both.imgFrame.size(), QSize(6372 - 105, 5760 - 105));
    EXPECT_EQ(both.imgHScroll.width(), 6267);

    const WindowLayout hOnly = layoutWindow(WindowLayout::designed(), sized(9375, 6330, false, true, false));
    EXPECT_EQ(hOnly.imgHScroll.width(), hOnly.imgFrame.width());
    const WindowLayout vOnly = layoutWindow(WindowLayout::designed(), sized(9375, 6330, false, false, true));
    EXPECT_EQ(vOnly.imgVScroll.height(), vOnly.imgFrame.height());
}
