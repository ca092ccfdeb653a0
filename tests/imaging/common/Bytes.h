// Building and patching the bytes of test files.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

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
    ByteWriter& bytes(const std::vector<std::uint8_t>& b)
    {
        bytes_.append(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
        return *this;
    }
    ByteWriter& zeros(qsizetype n) { return bytes(QByteArray(n, '\0')); }
    [[nodiscard]] qsizetype size() const { return bytes_.size(); }
    [[nodiscard]] const QByteArray& data() const { return bytes_; }

private:
    QByteArray bytes_;
};

// Little-endian values of 16 or 32 bits, back to back.
inline QByteArray u16s(std::initializer_list<int> values)
{
    ByteWriter w;
    for (int v : values)
        w.u16le(v);
    return w.data();
}
inline QByteArray u32s(std::initializer_list<std::int64_t> values)
{
    ByteWriter w;
    for (std::int64_t v : values)
        w.u32le(std::uint32_t(v));
    return w.data();
}

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
