// The grid's numbers: where cells go for a width and size, where a click lands, how the scroll
// bar is set, and which files of the list the grid shows.
#include "browser/ThumbnailLayout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>

namespace mv::browser {
namespace {

TEST(ThumbnailLayout, FourThumbnailsOf80FitA400PixelRowAndCaptionsSitBelow)
{
    const ThumbnailLayout layout(400, 80);
    ASSERT_EQ(layout.columns(), 4); // the fifth would end at 424 > 400
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(layout.pictureBox(i), QRect(4 + 84 * i, 4, 80, 80)) << i;
    // The next row: the picture's height, the gap and the caption band below.
    EXPECT_EQ(layout.pictureBox(4), QRect(4, 114, 80, 80));
    EXPECT_EQ(layout.captionBox(5, 15), QRect(88, 198, 80, 15));
    EXPECT_EQ(layout.heightFor(5), 4 + 2 * 110);
    EXPECT_EQ(layout.heightFor(0), 0);
    // One pixel more or less than a cell needs.
    EXPECT_EQ(ThumbnailLayout(424, 80).columns(), 5);
    EXPECT_EQ(ThumbnailLayout(423, 80).columns(), 4);
    // A window narrower than one cell still shows one per row.
    EXPECT_EQ(ThumbnailLayout(50, 80).columns(), 1);

    // A click on the picture or its caption is the cell's; on a gap or past the last cell, none.
    EXPECT_EQ(layout.cellAt({90, 10}, 10), 1);
    EXPECT_EQ(layout.cellAt({90, 4 + 80 + 20}, 10), 1); // on the caption
    EXPECT_EQ(layout.cellAt({86, 10}, 10), -1);         // the gap between two cells
    EXPECT_EQ(layout.cellAt({90, 4 + 108}, 10), -1);    // the gap between two rows
    EXPECT_EQ(layout.cellAt({350, 10}, 10), -1);        // right of the last column
    EXPECT_EQ(layout.cellAt({90, 120}, 5), -1);         // where the sixth cell would be
}

TEST(ThumbnailLayout, ScrollBarFollowsTheGridHeight)
{
    EXPECT_FALSE(thumbScroll(300, 377).visible);
    EXPECT_FALSE(thumbScroll(377, 377).visible);
    const ThumbScroll s = thumbScroll(1200, 377);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.maximum, 1200 - 377);
    EXPECT_EQ(s.singleStep, 30); // 1200 \ 377 = 3 window heights
    EXPECT_EQ(s.pageStep, 377);
}

TEST(ThumbnailLayout, OneSelectedShowsAllTwoSelectedShowThoseTwo)
{
    EXPECT_EQ(thumbnailRows(4, {}), QList<int>({0, 1, 2, 3}));
    EXPECT_EQ(thumbnailRows(4, {2}), QList<int>({0, 1, 2, 3}));
    EXPECT_EQ(thumbnailRows(4, {3, 1}), QList<int>({1, 3})); // in list order
    EXPECT_EQ(thumbnailRows(0, {}), QList<int>());
}

// A stored size the menu lacks takes the nearest the menu offers, the larger of two as near,
// however far out of range it lies; the menu's own sizes stay as they are.
TEST(ThumbnailLayout, StoredSizeTakesTheNearestMenuSize)
{
    const struct {
        qint64 stored;
        int size;
    } cases[] = {
        {60, 60},
        {120, 120},
        {200, 200},
        {90, 100},
        {89, 80},
        {71, 80},
        {69, 60},
        {0, 60},
        {-80, 60},
        {std::numeric_limits<qint64>::min(), 60},
        {201, 200},
        {100000, 200},
        {qint64(1) << 32 | 80, 200}, // 80 once cut to 32 bits
        {std::numeric_limits<qint64>::max(), 200},
    };
    for (const auto& c : cases) {
        const int index = thumbSizeIndex(c.stored);
        ASSERT_TRUE(index >= 0 && index < int(std::size(kThumbSizes))) << c.stored;
        EXPECT_EQ(kThumbSizes[index], c.size) << c.stored;
        EXPECT_EQ(usableThumbSize(c.stored), c.size) << c.stored;
    }
}

} // namespace
} // namespace mv::browser
