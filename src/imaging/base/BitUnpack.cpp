#include "imaging/base/BitUnpack.h"

#include <array>
#include <cstring>

namespace mv::imaging {
namespace {

// spread[b] holds the eight bits of b as eight bytes of 0 or 1, first pixel in the first byte.
struct SpreadTable {
    std::array<std::uint64_t, 256> word {};
    SpreadTable()
    {
        for (int b = 0; b < 256; ++b) {
            std::uint8_t bytes[8];
            for (int k = 0; k < 8; ++k)
                bytes[k] = std::uint8_t((b >> (7 - k)) & 1);
            std::memcpy(&word[size_t(b)], bytes, 8);
        }
    }
};

const SpreadTable& spread()
{
    static const SpreadTable table;
    return table;
}

} // namespace

void planesToIndices(const std::uint8_t* row, std::ptrdiff_t planeStride, int planes, int width,
                     std::uint8_t* out)
{
    const auto& table = spread().word;
    const int groups = width / 8;
    for (int g = 0; g < groups; ++g) {
        std::uint64_t acc = 0;
        for (int p = 0; p < planes; ++p)
            acc |= table[row[p * planeStride + g]] << p;
        std::memcpy(out + g * 8, &acc, 8);
    }
    const int rest = width - groups * 8;
    if (rest > 0) {
        std::uint64_t acc = 0;
        for (int p = 0; p < planes; ++p)
            acc |= table[row[p * planeStride + groups]] << p;
        std::memcpy(out + groups * 8, &acc, size_t(rest));
    }
}

void packedToIndices(const std::uint8_t* row, int bitsPerPixel, int width, std::uint8_t* out)
{
    switch (bitsPerPixel) {
    case 8: std::memcpy(out, row, size_t(width)); return;
    case 1: planesToIndices(row, 0, 1, width, out); return;
    case 4:
        for (int x = 0; x + 1 < width; x += 2) {
            out[x] = row[x / 2] >> 4;
            out[x + 1] = row[x / 2] & 0x0F;
        }
        if (width & 1)
            out[width - 1] = row[width / 2] >> 4;
        return;
    case 2:
        for (int x = 0; x < width; ++x)
            out[x] = (row[x / 4] >> (6 - 2 * (x % 4))) & 3;
        return;
    default: std::memset(out, 0, size_t(width));
    }
}

} // namespace mv::imaging
