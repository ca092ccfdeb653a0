// Pictures the tests encode: a deterministic mix of long runs (for the RLE paths) and noisy
// stretches (for literal packets), as palette indices or as colours.
#pragma once

#include <QList>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace mv::imaging::test {

struct IndexedPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> index;
    QList<QRgb> palette;
    [[nodiscard]] std::uint8_t at(int x, int y) const { return index[size_t(y) * size_t(width) + size_t(x)]; }
    [[nodiscard]] QRgb colour(int x, int y) const { return palette[at(x, y)]; }
};

struct RgbPicture {
    int width = 0, height = 0;
    std::vector<QRgb> pixels;
    [[nodiscard]] QRgb at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

inline std::uint32_t noise(int x, int y)
{
    std::uint32_t v = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ (v >> 15);
}

// Stripes on the left, noise on the right; colours indices below `colours`.
inline IndexedPicture makeIndexed(int width, int height, int colours)
{
    IndexedPicture p{width, height, {}, {}};
    p.index.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = x < width / 2 ? std::uint32_t(x / 7 + y / 3) : noise(x, y);
            p.index[size_t(y) * size_t(width) + size_t(x)] = std::uint8_t(v % std::uint32_t(colours));
        }
    for (int i = 0; i < colours; ++i)
        p.palette.append(qRgb(i * 37 % 256, 255 - i * 11 % 256, i * 97 % 256));
    return p;
}

// alphaLevels: 0 for opaque, else the alpha comes in that many steps.
inline RgbPicture makeRgb(int width, int height, int alphaLevels = 0)
{
    RgbPicture p{width, height, {}};
    p.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = x < width / 2 ? std::uint32_t((x / 9) * 40 + y * 3) : noise(x, y);
            const int alpha = alphaLevels ? int((v >> 24) % std::uint32_t(alphaLevels)) * 255 / qMax(1, alphaLevels - 1) : 255;
            p.pixels[size_t(y) * size_t(width) + size_t(x)] = qRgba(int(v & 255), int((v >> 8) & 255), int((v >> 16) & 255), alpha);
        }
    return p;
}

// The colours rounded to 5 bits per channel, as a 15-bit pixel keeps them.
inline RgbPicture to555(RgbPicture p)
{
    auto five = [](int c) { c >>= 3; return (c << 3) | (c >> 2); };
    for (QRgb& c : p.pixels)
        c = qRgba(five(qRed(c)), five(qGreen(c)), five(qBlue(c)), qAlpha(c));
    return p;
}

} // namespace mv::imaging::test
