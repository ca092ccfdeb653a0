// Pixel-for-pixel comparison of a decoded picture with the colours the test encoded.
#pragma once

#include "imaging/DecodeResult.h"

#include <gtest/gtest.h>

#include <QString>

#include <functional>

namespace mv::imaging::test {

inline testing::AssertionResult samePixels(const DecodeResult& r, int width, int height,
                                           const std::function<QRgb(int, int)>& expected)
{
    if (!r.ok())
        return testing::AssertionFailure() << "decode failed: " << r.error.toStdString();
    if (r.image.width() != width || r.image.height() != height)
        return testing::AssertionFailure() << "size " << r.image.width() << "x" << r.image.height()
                                           << ", expected " << width << "x" << height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb got = r.image.pixel(x, y) | 0xFF000000u;
            const QRgb want = expected(x, y) | 0xFF000000u;
            if (got != want)
                return testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected " << want;
        }
    }
    return testing::AssertionSuccess();
}

// A test pattern: a different value for most neighbouring pixels, with some runs in it.
inline int patternValue(int x, int y, int modulo)
{
    if ((y % 3) == 1 && x < 20)
        return 0; // a run, so that the run codes are used
    return (x * 7 + y * 13 + (x * y) % 5) % modulo;
}

} // namespace mv::imaging::test
