// The frames of an animated picture (GIF), decoded ahead on the worker so that playing them
// costs the user-interface thread nothing but a timer and a repaint.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace mv::imaging {

struct AnimationFrame {
    QImage image;    // the whole picture as it shows at this frame
    int delayMs = 0; // as the reader gives it (Qt: 100 for 10 or less); the player applies its minimum
};

struct Animation {
    // Every frame in order; the first is the picture's own image (its pixels shared).
    std::vector<AnimationFrame> frames;
    int loopCount = 0;     // times played again after the first time; -1: forever
    bool cutShort = false; // later frames were left out at the memory limit
};

// Frames beyond this many bytes of pixels are not kept: the animation plays the ones before.
inline constexpr std::int64_t kMaxAnimationBytes = std::int64_t(256) << 20;

} // namespace mv::imaging
