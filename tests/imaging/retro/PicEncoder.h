// Test encoder of PC Paint / Pictor pictures: packed or planar pixels, stored palettes, raw or
// run-length blocks, bottom row first.
#pragma once

#include "ByteWriter.h"

#include <algorithm>
#include <functional>

namespace mv::imaging::test {

struct PicInput {
    int width = 0;
    int height = 0;
    int bits = 1;   // per pixel in one plane
    int planes = 1;
    int paletteType = 0;
    QByteArray palette = {}; // stored as is; empty for none
    bool compress = false;
    int blockLimit = 300; // unpacked bytes a block at most
    std::uint8_t marker = 0xA5;
    std::function<int(int x, int y)> value;
};

// The stored pixel bytes, before compression.
inline std::vector<std::uint8_t> picPixels(const PicInput& s)
{
    std::vector<std::uint8_t> out;
    const auto row = [&](int y, int plane) {
        if (s.planes > 1)
            return packRowBits(s.width, (s.width + 7) / 8, [&](int x) { return (s.value(x, y) >> plane) & 1; });
        std::vector<std::uint8_t> bytes(size_t((s.width * s.bits + 7) / 8), 0);
        for (int x = 0; x < s.width; ++x) {
            const int bitPos = x * s.bits;
            bytes[size_t(bitPos / 8)] |= std::uint8_t(s.value(x, y) << (8 - s.bits - bitPos % 8));
        }
        return bytes;
    };
    for (int plane = 0; plane < s.planes; ++plane)
        for (int y = s.height - 1; y >= 0; --y) {
            const auto bytes = row(y, plane);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
    return out;
}

inline void picRuns(ByteWriter& w, const std::uint8_t* data, size_t n, std::uint8_t marker)
{
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 65535 && data[i + run] == data[i])
            ++run;
        if (run >= 4 || data[i] == marker) {
            w.u8(marker);
            if (run > 255) {
                w.u8(0);
                w.u16le(int(run));
            } else {
                w.u8(int(run));
            }
            w.u8(data[i]);
            i += run;
        } else {
            w.u8(data[i++]);
        }
    }
}

inline QByteArray encodePic(const PicInput& s)
{
    ByteWriter w;
    w.u16le(0x1234);
    w.u16le(s.width);
    w.u16le(s.height);
    w.u16le(0);
    w.u16le(0);
    w.u8(((s.planes - 1) << 4) | s.bits);
    w.u8(0xFF);
    w.u8('A');
    w.u16le(s.paletteType);
    w.u16le(int(s.palette.size()));
    w.bytes.append(s.palette);
    const std::vector<std::uint8_t> pixels = picPixels(s);
    if (!s.compress) {
        w.u16le(0);
        w.append(pixels);
        return w.bytes;
    }
    const size_t blocks = (pixels.size() + size_t(s.blockLimit) - 1) / size_t(s.blockLimit);
    w.u16le(int(blocks));
    for (size_t b = 0; b < blocks; ++b) {
        const size_t start = b * size_t(s.blockLimit);
        const size_t n = std::min(size_t(s.blockLimit), pixels.size() - start);
        ByteWriter runs;
        picRuns(runs, pixels.data() + start, n, s.marker);
        w.u16le(int(runs.bytes.size()) + 5);
        w.u16le(int(n));
        w.u8(s.marker);
        w.append(runs.bytes);
    }
    return w.bytes;
}

} // namespace mv::imaging::test
