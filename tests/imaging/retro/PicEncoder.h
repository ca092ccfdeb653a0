// Test writer of PC Paint / Pictor pictures: packed or planar pixels, stored palettes, raw or
// run-length blocks, bottom row first.
#pragma once

#include "../common/Bytes.h"

#include <algorithm>
#include <functional>

namespace mv::imaging::test {

struct PicInput {
    int width = 0;
    int height = 0;
    int bits = 1; // per pixel in one plane
    int planes = 1;
    int paletteType = 0;
    QByteArray palette = {}; // stored as is; empty for none
    bool compress = false;
    int blockLimit = 300; // unpacked bytes a block at most
    std::uint8_t marker = 0xA5;
    std::function<int(int x, int y)> value;
};

// The stored pixel bytes, before compression: each plane whole, bottom row first.
inline std::vector<std::uint8_t> picPixels(const PicInput& s)
{
    std::vector<std::uint8_t> out;
    for (int plane = 0; plane < s.planes; ++plane)
        for (int y = s.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row;
            if (s.planes > 1) {
                row = packRowBits(s.width, (s.width + 7) / 8,
                                  [&](int x) { return (s.value(x, y) >> plane) & 1; });
            } else {
                row.assign(size_t((s.width * s.bits + 7) / 8), 0);
                for (int x = 0; x < s.width; ++x)
                    row[size_t(x * s.bits / 8)] |=
                        std::uint8_t(s.value(x, y) << (8 - s.bits - x * s.bits % 8));
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    return out;
}

// Runs of four or more (and every marker byte) as marker, count (0 and 16 bits past 255), value.
inline void picRuns(ByteWriter& w, const std::uint8_t* data, size_t n, std::uint8_t marker)
{
    const auto run = [&](qsizetype at, qsizetype k) {
        if (k < 4 && data[at] != marker) {
            w.bytes(std::vector<std::uint8_t>(size_t(k), data[at]));
            return;
        }
        (k > 255 ? w.u8(marker).u8(0).u16le(int(k)) : w.u8(marker).u8(int(k))).u8(data[at]);
    };
    splitRuns(
        qsizetype(n), 1, 65535, 1, [&](qsizetype a, qsizetype b) { return data[a] == data[b]; }, run, run);
}

inline QByteArray encodePic(const PicInput& s)
{
    ByteWriter w;
    w.u16le(0x1234).u16le(s.width).u16le(s.height).u16le(0).u16le(0).u8(((s.planes - 1) << 4) | s.bits);
    w.u8(0xFF).u8('A').u16le(s.paletteType).u16le(int(s.palette.size())).bytes(s.palette);
    const std::vector<std::uint8_t> pixels = picPixels(s);
    if (!s.compress)
        return w.u16le(0).bytes(pixels).data();
    const size_t limit = size_t(s.blockLimit), blocks = (pixels.size() + limit - 1) / limit;
    w.u16le(int(blocks));
    for (size_t b = 0; b < blocks; ++b) {
        const size_t n = std::min(limit, pixels.size() - b * limit);
        ByteWriter runs;
        picRuns(runs, pixels.data() + b * limit, n, s.marker);
        w.u16le(int(runs.size()) + 5).u16le(int(n)).u8(s.marker).bytes(runs.data());
    }
    return w.data();
}

} // namespace mv::imaging::test
