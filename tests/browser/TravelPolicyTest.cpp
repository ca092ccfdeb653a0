// The look-ahead of the viewer while a key is held: when a step's own picture is loaded, how far
// ahead the workers prepare, and what is prepared once the user stops.
#include "browser/TravelPolicy.h"

#include <gtest/gtest.h>

namespace mv::browser {
namespace {

constexpr qint64 kRepeatMs = 33; // the usual keyboard repeat: 30 presses a second

// Holds the key from `row` for `steps` steps of `everyMs`, starting at `t`; returns the time
// of the last step.
qint64 hold(TravelPolicy& p, int row, int direction, int steps, qint64 t, qint64 everyMs = kRepeatMs)
{
    for (int i = 1; i <= steps; ++i) {
        t += everyMs;
        p.select(row + i * direction, t);
    }
    return t;
}

TEST(TravelPolicy, AHeldKeyLoadsAStepsOwnPictureOnlyOnceTheUserStaysTwoStepIntervals)
{
    TravelPolicy p;
    EXPECT_FALSE(p.select(10, 1000)); // a new selection: nothing moved yet
    EXPECT_EQ(p.loadDelayMs(), 0);
    EXPECT_TRUE(p.select(11, 1033)); // the first step alone is not a journey yet
    EXPECT_FALSE(p.travelling());
    EXPECT_EQ(p.loadDelayMs(), 0);
    EXPECT_TRUE(p.select(12, 1066));
    EXPECT_TRUE(p.travelling());
    EXPECT_EQ(p.stepMs(), kRepeatMs);
    EXPECT_EQ(p.loadDelayMs(), 2 * kRepeatMs);
    const qint64 t = hold(p, 12, 1, 20, 1066);
    EXPECT_EQ(p.loadDelayMs(), 2 * kRepeatMs);
    EXPECT_FALSE(p.select(32, t + 10)); // the same row again is no step
    EXPECT_TRUE(p.travelling());

    // A slow repeat waits no longer than a journey's steps may be apart; a step after a pause
    // that long starts afresh and loads at once.
    hold(p, 32, 1, 2, t, 200);
    EXPECT_EQ(p.loadDelayMs(), TravelPolicy::kTravelMs);
    p.select(35, t + 400 + TravelPolicy::kTravelMs);
    EXPECT_FALSE(p.travelling());
    EXPECT_EQ(p.loadDelayMs(), 0);
}

TEST(TravelPolicy, TheLeadAndTheStepsOwnLookFollowTheMeasuredLookTime)
{
    TravelPolicy p;
    p.select(50, 0);
    const qint64 t = hold(p, 50, 1, 2, 0);
    // Before anything was measured a look is taken to last 50 ms: more than a step, so the
    // step's own look would come too late; the rows a step beyond where the user will be
    // when a look ends are prepared.
    EXPECT_FALSE(p.lookAtOnce());
    EXPECT_EQ(p.toPrepare(52), (Preparation {{55, 56}, 2}));

    // Looks of 400 ms (no embedded previews, a slow machine): the estimate moves that way at
    // each look, and the lead with it, up to eight rows.
    p.lookTook(400);
    EXPECT_DOUBLE_EQ(p.lookMs(), 155);
    EXPECT_EQ(p.toPrepare(52), (Preparation {{58, 59}, 2})); // 155 / 33 = 4, and two more
    for (int i = 0; i < 10; ++i)
        p.lookTook(400);
    EXPECT_EQ(p.toPrepare(52), (Preparation {{60, 61}, 2}));
    EXPECT_FALSE(p.lookAtOnce());

    // First looks (embedded previews): each step's own is loaded at once, the next rows are
    // prepared; travelling up, the rows lie above.
    for (int i = 0; i < 20; ++i)
        p.lookTook(5);
    EXPECT_TRUE(p.lookAtOnce());
    hold(p, 52, -1, 3, t + 1);
    EXPECT_EQ(p.direction(), -1);
    EXPECT_EQ(p.toPrepare(49), (Preparation {{47, 46}, 2}));
}

TEST(TravelPolicy, StoppingEndsTheJourneyAndPreparesTwoAheadAndOneBehind)
{
    TravelPolicy p;
    p.select(20, 0);
    hold(p, 20, 1, 5, 0);
    ASSERT_TRUE(p.travelling());
    p.stop();
    EXPECT_FALSE(p.travelling());
    EXPECT_EQ(p.loadDelayMs(), 0);
    EXPECT_EQ(p.toPrepare(25), (Preparation {{26, 27, 24}, 1}));

    hold(p, 25, -1, 5, 1000);
    ASSERT_TRUE(p.travelling());
    p.stop();
    EXPECT_EQ(p.toPrepare(20), (Preparation {{19, 18, 21}, 1}));
}

TEST(TravelPolicy, OnlyStepsToTheNextEntryCountAsTravel)
{
    TravelPolicy p;
    p.select(0, 0);
    hold(p, 0, 2, 10, 0); // every other row, as fast as a held key
    EXPECT_FALSE(p.travelling());
    EXPECT_EQ(p.loadDelayMs(), 0);

    // A jump in the middle of a journey ends it at once and turns the direction.
    const qint64 t = hold(p, 20, 1, 5, 1000);
    ASSERT_TRUE(p.travelling());
    p.select(3, t + kRepeatMs);
    EXPECT_FALSE(p.travelling());
    EXPECT_EQ(p.direction(), -1);
    EXPECT_EQ(p.toPrepare(3), (Preparation {{2, 1, 4}, 1}));
}

} // namespace
} // namespace mv::browser
