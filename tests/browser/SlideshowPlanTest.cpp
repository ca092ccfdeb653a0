// The slideshow's order and timing with a clock the test moves.
#include "browser/SlideshowPlan.h"

#include <gtest/gtest.h>

namespace mv::browser {
namespace {

const QStringList kFive = {QStringLiteral("a.png"), QStringLiteral("b.jpg"), QStringLiteral("c_png.mv$"),
                           QStringLiteral("d.gif"), QStringLiteral("e.bmp")};

// Runs a show as the window does: each picture due is shown, unless `opens` says no key opens it.
std::vector<int> run(SlideshowPlan& plan, qint64& now, const std::function<bool(int)>& opens,
                     std::vector<qint64>& shownAt)
{
    std::vector<int> order;
    for (int row = plan.first(); row >= 0; row = plan.upcoming()) {
        now += plan.untilNextUs();
        if (opens(row)) {
            plan.shown(row);
            order.push_back(row);
            shownAt.push_back(now);
        } else {
            plan.passedOver(row);
        }
    }
    return order;
}

TEST(SlideshowPlanTest, ShowsFivePicturesInOrderAtTheIntervalPassingOverTheEncryptedOneWithoutAKey)
{
    qint64 now = 1000;
    std::vector<qint64> at;
    SlideshowPlan noKeys(kFive, 0, 4, false, [&] { return now; });
    EXPECT_EQ(run(
                  noKeys, now, [](int) { return true; }, at),
              (std::vector<int> {0, 1, 3, 4}));
    EXPECT_EQ(at, (std::vector<qint64> {1000, 4001000, 8001000, 12001000}));

    // With keys that do not open it, it is tried and passed over at once: no gap in the show.
    at.clear();
    SlideshowPlan wrongKey(kFive, 1, 2, true, [&] { return now; });
    const qint64 began = now;
    EXPECT_EQ(run(
                  wrongKey, now, [](int row) { return row != 2; }, at),
              (std::vector<int> {1, 3, 4}));
    EXPECT_EQ(at, (std::vector<qint64> {began, began + 2000000, began + 4000000}));
    // A key that opens it shows it in its turn.
    at.clear();
    SlideshowPlan goodKey(kFive, 2, 16, true, [&] { return now; });
    EXPECT_EQ(run(
                  goodKey, now, [](int) { return true; }, at),
              (std::vector<int> {2, 3, 4}));

    // Not yet due: the time left counts down with the clock.
    SlideshowPlan partway(kFive, 0, 8, false, [&] { return now; });
    partway.shown(0);
    now += 3000000;
    EXPECT_EQ(partway.untilNextUs(), 5000000);
    EXPECT_EQ(SlideshowPlan(QStringList {QStringLiteral("x.txt")}, 0, 4, true, [&] { return now; }).first(),
              -1);
    EXPECT_EQ(SlideshowPlan::intervalOrDefault(16), 16);
    EXPECT_EQ(SlideshowPlan::intervalOrDefault(5), 4);
}

} // namespace
} // namespace mv::browser
