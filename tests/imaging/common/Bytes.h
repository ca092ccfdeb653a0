// Building and patching the bytes of test files.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace mv::imaging::test {

class ByteWriter {
public:
    ByteWriter& u8(int v)
    {
        bytes_.append(char(std::uint8_t(v)));
        return *this;
    }
    ByteWriter& u16le(int v) { return u8(v).u8(v >> 8); }
    ByteWriter& u16be(int v) { return u8(v >> 8).u8(v); }
    ByteWriter& u32le(std::uint32_t v) { return u16le(int(v & 0xFFFF)).u16le(int(v >> 16)); }
    ByteWriter& u32be(std::uint32_t v) { return u16be(int(v >> 16)).u16be(int(v & 0xFFFF)); }
    ByteWriter& u16(int v, bool bigEndian) { return bigEndian ? u16be(v) : u16le(v); }
    ByteWriter& u32(std::uint32_t v, bool bigEndian) { return bigEndian ? u32be(v) : u32le(v); }
    ByteWriter& bytes(const QByteArray& b)
    {
        bytes_.append(b);
        return *this;
    }
    [[nodiscard]] const QByteArray& data() const { return bytes_; }

private:
    QByteArray bytes_;
};

// A copy of the file with bytes (at, value) set, or a little- or big-endian word set.
inline QByteArray patched(QByteArray data, std::initializer_list<std::pair<qsizetype, int>> bytes)
{
    for (const auto& [at, value] : bytes)
        data[at] = char(value);
    return data;
}
inline QByteArray patched16(const QByteArray& data, qsizetype at, int value, bool bigEndian = false)
{
    return data.left(at) + ByteWriter().u16(value, bigEndian).data() + data.mid(at + 2);
}
inline QByteArray patched32(const QByteArray& data, qsizetype at, std::uint32_t value, bool bigEndian = false)
{
    return data.left(at) + ByteWriter().u32(value, bigEndian).data() + data.mid(at + 4);
}

} // namespace mv::imaging::test
