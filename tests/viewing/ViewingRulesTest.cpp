// The viewer's rules at the boundaries its window tests do not reach: the thumbnail grid, the
// slideshow's order and the looks planned while a key is held.
#include "viewing/SlideshowPlan.h"
#include "viewing/ThumbnailLayout.h"
#include "viewing/TravelPolicy.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mv::viewing {
namespace {

TEST(ThumbnailLayout, ClicksOffTheCellsAndTheScrollBar)
{
    const ThumbnailLayout layout(400, 80); // four cells of 84 pixels a row
    EXPECT_EQ(ThumbnailLayout(424, 80).columns(), 5);
    EXPECT_EQ(ThumbnailLayout(423, 80).columns(), 4);
    EXPECT_EQ(ThumbnailLayout(50, 80).columns(), 1);
    EXPECT_EQ(layout.cellAt({90, 4 + 80 + 20}, 10), 1); // on the caption
    EXPECT_EQ(layout.cellAt({86, 10}, 10), -1);         // the gap between two cells
    EXPECT_EQ(layout.cellAt({90, 4 + 108}, 10), -1);    // the gap between two rows
    EXPECT_EQ(layout.cellAt({350, 10}, 10), -1);        // right of the last column
    EXPECT_EQ(layout.cellAt({90, 120}, 5), -1);         // where the sixth cell would be

    EXPECT_FALSE(thumbScroll(377, 377).visible);
    const ThumbScroll s = thumbScroll(1200, 377);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.maximum, 1200 - 377);
    EXPECT_EQ(s.singleStep, 30); // 1200 \ 377 = 3 window heights
    EXPECT_EQ(s.pageStep, 377);
}

// A stored size the menu lacks takes the nearest the menu offers, the larger of two as near,
// however far out of range it lies (2^32 + 80 is not 80, as cut to 32 bits it would be); the
// menu's own sizes stay as they are.
TEST(ThumbnailLayout, StoredSizeTakesTheNearestMenuSize)
{
    constexpr qint64 kLow = std::numeric_limits<qint64>::min(), kHigh = std::numeric_limits<qint64>::max();
    constexpr qint64 kCut = qint64(1) << 32 | 80;
    const struct {
        qint64 stored;
        int size;
    } cases[] = {{60, 60}, {120, 120}, {200, 200}, {90, 100},  {89, 80},      {71, 80},    {69, 60},
                 {0, 60},  {-80, 60},  {kLow, 60}, {201, 200}, {100000, 200}, {kCut, 200}, {kHigh, 200}};
    for (const auto& c : cases) {
        const int index = thumbSizeIndex(c.stored);
        ASSERT_TRUE(index >= 0 && index < int(std::size(kThumbSizes))) << c.stored;
        EXPECT_EQ(kThumbSizes[index], c.size) << c.stored;
        EXPECT_EQ(usableThumbSize(c.stored), c.size) << c.stored;
    }
}

// An encrypted picture is tried only with keys in hand, and one no key opens is passed over at
// once: no gap in the show. A list with nothing to show has no first picture.
TEST(SlideshowPlanTest, AnEncryptedPictureNoKeyOpensIsPassedOverWithoutAGap)
{
    const QStringList five = {u"a.png"_s, u"b.jpg"_s, u"c_png.mv$"_s, u"d.gif"_s, u"e.bmp"_s};
    qint64 now = 1000;
    for (const bool keys : {false, true}) {
        SlideshowPlan plan(five, 1, 2, keys, [&] { return now; });
        std::vector<int> order;
        std::vector<qint64> at;
        for (int row = plan.first(); row >= 0; row = plan.upcoming()) {
            now += plan.untilNextUs();
            if (row == 2) {
                plan.passedOver(row);
                continue;
            }
            plan.shown(row);
            order.push_back(row);
            at.push_back(now);
        }
        EXPECT_EQ(order, (std::vector<int> {1, 3, 4})) << keys;
        EXPECT_EQ(at[2] - at[0], 4000000) << keys;
    }
    EXPECT_EQ(SlideshowPlan(QStringList {u"x.txt"_s}, 0, 4, true, [&] { return now; }).first(), -1);
}

// A free worker takes the nearest row whose look lands before the user has passed it: with
// steps 33 ms apart, row r is reached 33 ms after row r - 1 and a look is planned to land half
// a step before the user leaves. A look that would land behind the user is never begun (the
// lead was once a fixed guess made at each step, and two looks in three landed too late).
TEST(TravelPolicy, AFreeWorkerTakesTheNearestRowItsLookCanStillReach)
{
    const struct {
        const char* what;
        int to, dir;      // the last step: to `to`, the way dir goes
        double lookMs;    // what looks take
        qint64 sinceStep; // when the worker is free, after the last step
        std::vector<int> rows;
    } cases[] = {
        {"just stepped", 10, 1, 90, 0, {13, 14, 15, 16}},
        {"late in the step", 10, 1, 90, 30, {14, 15, 16, 17}},
        {"looks quicker than steps", 10, 1, 10, 0, {11, 12, 13, 14}},
        {"slow looks go no further than the lead allows", 10, 1, 2000, 0, {22, 23, 24, 25}},
        {"up the list", 19, -1, 90, 0, {16, 15, 14, 13}},
    };
    for (const auto& c : cases) {
        TravelPolicy travel;
        for (int i = 0; i < 40; ++i)
            travel.lookTook(qint64(c.lookMs));
        // Two steps make a journey: its pace is known from the second.
        (void)travel.select(c.to - 2 * c.dir, 967);
        (void)travel.select(c.to - c.dir, 1000);
        ASSERT_TRUE(travel.select(c.to, 1033));
        const Preparation plan = travel.toPrepare(c.to, 1033 + c.sinceStep);
        EXPECT_EQ(plan.rows, c.rows) << c.what;
        EXPECT_EQ(plan.lanes, 2) << c.what;
    }
    // A jump, or a step after a pause, is no journey: the neighbours are prepared sharp.
    TravelPolicy still;
    (void)still.select(5, 0);
    (void)still.select(6, 1000);
    EXPECT_EQ(still.toPrepare(6, 1000), (Preparation {{7, 8, 5}, 1}));
}

} // namespace
} // namespace mv::viewing
