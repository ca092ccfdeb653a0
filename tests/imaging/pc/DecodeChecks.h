// Checks shared by the pc decoder tests.
#pragma once

#include "imaging/DecodeResult.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>

namespace mv::imaging::test {

using Expected = std::function<QRgb(int x, int y)>;

// Every pixel of the decoded picture against the colour we encoded.
inline ::testing::AssertionResult samePixels(const DecodeResult& r, int width, int height, const Expected& expected)
{
    if (!r.ok())
        return ::testing::AssertionFailure() << "decode failed: " << r.error.toStdString();
    if (r.image.width() != width || r.image.height() != height)
        return ::testing::AssertionFailure() << "size " << r.image.width() << "x" << r.image.height();
    const QImage argb = r.image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb got = argb.pixel(x, y), want = expected(x, y);
            if (got != want)
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                                     << ", expected " << want;
        }
    return ::testing::AssertionSuccess();
}

// The decoder refuses the bytes with a reason that contains `words`.
inline ::testing::AssertionResult failsWith(const DecodeResult& r, const char* words)
{
    if (r.ok())
        return ::testing::AssertionFailure() << "decoded although damaged";
    if (!r.image.isNull())
        return ::testing::AssertionFailure() << "a failure that still carries a picture";
    if (!r.error.contains(QLatin1String(words)))
        return ::testing::AssertionFailure() << "reason \"" << r.error.toStdString() << "\" lacks \"" << words << "\"";
    return ::testing::AssertionSuccess();
}

// Patches a little-endian or big-endian word in a copy of the file.
inline QByteArray patched16(QByteArray data, qsizetype at, int value, bool bigEndian = false)
{
    data[at + (bigEndian ? 1 : 0)] = char(value & 255);
    data[at + (bigEndian ? 0 : 1)] = char((value >> 8) & 255);
    return data;
}
inline QByteArray patched32(QByteArray data, qsizetype at, std::uint32_t value, bool bigEndian = false)
{
    for (int i = 0; i < 4; ++i)
        data[at + (bigEndian ? 3 - i : i)] = char((value >> (8 * i)) & 255);
    return data;
}

} // namespace mv::imaging::test
