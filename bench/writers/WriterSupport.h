// What the test picture writers share: the pictures they write (indexed or RGB, with runs and
// noise), values packed into rows and the run-length codes of several formats. The writers made
// the decoder fixtures of tests/imaging/fixtures once; the benchmarks still write with them.
#pragma once

#include "../../tests/imaging/common/Bytes.h"
#include "../../tests/imaging/common/Checks.h"

#include <QList>
#include <QRgb>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace mv::imaging::test {

// A row of `width` values of `bits` bits (1 to 8), MSB first, padded with zeros to rowBytes.
template <typename Value>
std::vector<std::uint8_t> packRow(int width, int rowBytes, int bits, Value value)
{
    std::vector<std::uint8_t> row(size_t(rowBytes), 0);
    for (int x = 0; x < width; ++x)
        row[size_t(x * bits / 8)] |= std::uint8_t(int(value(x)) << (8 - bits - x * bits % 8));
    return row;
}
template <typename Bit>
std::vector<std::uint8_t> packRowBits(int width, int rowBytes, Bit bit)
{
    return packRow(width, rowBytes, 1, [&](int x) { return bit(x) ? 1 : 0; });
}

// Splits n units into runs of units equal by same(a, b), minRun to maxRun long, handed to
// run(at, length), and the stretches between them, at most maxLiteral long, handed to
// literal(at, length). With minRun 1 every unit is in a run. The writers of every run-length
// code in the tests share it, each adding only its own way of writing a run.
template <typename Same, typename Run, typename Literal>
void splitRuns(qsizetype n, qsizetype minRun, qsizetype maxRun, qsizetype maxLiteral, Same same, Run run,
               Literal literal)
{
    const auto runAt = [&](qsizetype at) {
        qsizetype k = 1;
        while (at + k < n && k < maxRun && same(at, at + k))
            ++k;
        return k;
    };
    for (qsizetype i = 0; i < n;) {
        if (const qsizetype k = runAt(i); k >= minRun) {
            run(i, k);
            i += k;
            continue;
        }
        qsizetype end = i + 1;
        while (end < n && end - i < maxLiteral && runAt(end) < minRun)
            ++end;
        literal(i, end - i);
        i = end;
    }
}

// PackBits / ByteRun1: runs of three or more equal bytes become repeat codes, the rest literal
// codes of at most 128 bytes.
inline QByteArray packBits(const std::vector<std::uint8_t>& row)
{
    QByteArray out;
    const auto* data = reinterpret_cast<const char*>(row.data());
    splitRuns(
        qsizetype(row.size()), 3, 128, 128,
        [&](qsizetype a, qsizetype b) { return row[size_t(a)] == row[size_t(b)]; },
        [&](qsizetype at, qsizetype k) { out.append(char(1 - k)).append(data[at]); },
        [&](qsizetype at, qsizetype k) { out.append(char(k - 1)).append(data + at, k); });
    return out;
}

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
    [[nodiscard]] QRgb colour(int x, int y) const { return at(x, y); }
};

// A value for most neighbouring pixels different, with some runs in it.
inline int patternValue(int x, int y, int modulo)
{
    return (y % 3) == 1 && x < 20 ? 0 : (x * 7 + y * 13 + (x * y) % 5) % modulo;
}

// Stripes on the left (runs), noise on the right (literals); indices below `colours`.
inline IndexedPicture makeIndexed(int width, int height, int colours)
{
    IndexedPicture p {width, height, {}, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.index.push_back(std::uint8_t((x < width / 2 ? std::uint32_t(x / 7 + y / 3) : noise(x, y)) %
                                           std::uint32_t(colours)));
    for (int i = 0; i < colours; ++i)
        p.palette.append(qRgb(i * 37 % 256, 255 - i * 11 % 256, i * 97 % 256));
    return p;
}

// alphaLevels: 0 for opaque, else the alpha comes in that many steps.
inline RgbPicture makeRgb(int width, int height, int alphaLevels = 0)
{
    RgbPicture p {width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = x < width / 2 ? std::uint32_t((x / 9) * 40 + y * 3) : noise(x, y);
            const int alpha =
                alphaLevels ? int((v >> 24) % std::uint32_t(alphaLevels)) * 255 / qMax(1, alphaLevels - 1)
                            : 255;
            p.pixels.push_back(qRgba(int(v & 255), int((v >> 8) & 255), int((v >> 16) & 255), alpha));
        }
    return p;
}

} // namespace mv::imaging::test
