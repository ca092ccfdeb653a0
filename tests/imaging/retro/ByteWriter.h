// Little helper of the test encoders: appends numbers in either byte order.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace mv::imaging::test {

struct ByteWriter {
    QByteArray bytes;

    void u8(int v) { bytes.append(char(std::uint8_t(v))); }
    void u16le(int v) { u8(v); u8(v >> 8); }
    void u16be(int v) { u8(v >> 8); u8(v); }
    void u32le(std::uint32_t v) { u16le(int(v & 0xFFFF)); u16le(int(v >> 16)); }
    void u32be(std::uint32_t v) { u16be(int(v >> 16)); u16be(int(v & 0xFFFF)); }
    void append(const QByteArray& more) { bytes.append(more); }
    void append(const std::vector<std::uint8_t>& more)
    {
        bytes.append(reinterpret_cast<const char*>(more.data()), qsizetype(more.size()));
    }
};

// Packs bits MSB first: bit(x) for x < width, rows padded with zero bits to rowBytes.
template <typename Bit>
std::vector<std::uint8_t> packRowBits(int width, int rowBytes, Bit bit)
{
    std::vector<std::uint8_t> row(size_t(rowBytes), 0);
    for (int x = 0; x < width; ++x)
        if (bit(x))
            row[size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    return row;
}

} // namespace mv::imaging::test
