#include "imaging/pc/PixelUnpack.h"

#include <array>
#include <cstring>

namespace mv::imaging {

namespace {

// For each byte value, its eight bits as eight bytes of 0 or 1, first pixel in the lowest byte.
using BitTable = std::array<std::uint64_t, 256>;

BitTable makeBitTable()
{
    BitTable table{};
    for (int value = 0; value < 256; ++value) {
        std::uint8_t bytes[8];
        for (int bit = 0; bit < 8; ++bit)
            bytes[bit] = static_cast<std::uint8_t>((value >> (7 - bit)) & 1);
        std::memcpy(&table[size_t(value)], bytes, 8);
    }
    return table;
}

const BitTable& bitTable()
{
    static const BitTable table = makeBitTable();
    return table;
}

void unpackOneBit(const std::uint8_t* src, int width, std::uint8_t* dst)
{
    const BitTable& table = bitTable();
    const int whole = width / 8;
    for (int i = 0; i < whole; ++i)
        std::memcpy(dst + i * 8, &table[src[i]], 8);
    for (int x = whole * 8; x < width; ++x)
        dst[x] = (src[x / 8] >> (7 - x % 8)) & 1;
}

} // namespace

void unpackPixels(const std::uint8_t* src, int bitsPerPixel, int width, std::uint8_t* dst)
{
    switch (bitsPerPixel) {
    case 1:
        unpackOneBit(src, width, dst);
        return;
    case 2:
        for (int x = 0; x < width; ++x)
            dst[x] = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
        return;
    case 4:
        for (int x = 0; x < width; ++x)
            dst[x] = (src[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        return;
    default:
        std::memcpy(dst, src, size_t(width));
    }
}

void addBitPlane(const std::uint8_t* src, int plane, int width, std::uint8_t* dst)
{
    const BitTable& table = bitTable();
    const int whole = width / 8;
    for (int i = 0; i < whole; ++i) {
        std::uint64_t have;
        std::memcpy(&have, dst + i * 8, 8);
        have |= table[src[i]] << plane;
        std::memcpy(dst + i * 8, &have, 8);
    }
    for (int x = whole * 8; x < width; ++x)
        dst[x] |= static_cast<std::uint8_t>(((src[x / 8] >> (7 - x % 8)) & 1) << plane);
}

} // namespace mv::imaging
