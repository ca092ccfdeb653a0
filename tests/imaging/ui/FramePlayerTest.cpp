// The animation player on its own: the floor under short delays, and endless loops.
#include "imaging/ui/FramePlayer.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

std::shared_ptr<const Animation> frames(std::initializer_list<int> delays, int loopCount)
{
    auto a = std::make_shared<Animation>();
    for (const int d : delays) {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(qRgb(d, 0, 0));
        a->frames.push_back({image, d});
    }
    a->loopCount = loopCount;
    return a;
}

TEST(FramePlayer, ShortDelaysAreRaisedToTheFloorAndAnEndlessLoopKeepsGoing)
{
    FramePlayer player;
    int changes = 0;
    QObject::connect(&player, &FramePlayer::frameChanged, [&] { ++changes; });
    player.play(frames({0, 5, 40}, -1), false);
    EXPECT_EQ(player.frameDelay(), kMinFrameDelayMs);
    player.advanceForTesting();
    EXPECT_EQ(player.frameDelay(), kMinFrameDelayMs);
    player.advanceForTesting();
    EXPECT_EQ(player.frameDelay(), 40);
    // Forever: still going after many rounds.
    for (int i = 0; i < 30; ++i)
        player.advanceForTesting();
    EXPECT_TRUE(player.isRunning());
    EXPECT_EQ(player.frame(), 32 % 3);
    EXPECT_EQ(changes, 32);

    // A single frame or none is no animation.
    player.play(frames({30}, -1), false);
    EXPECT_FALSE(player.isRunning());
    EXPECT_EQ(player.frameDelay(), 0);
    player.play(nullptr, false);
    EXPECT_FALSE(player.isRunning());
}

} // namespace
} // namespace mv::imaging::test
