// Builds the bytes of test files: little- and big-endian words appended to a QByteArray.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace mv::imaging::test {

class ByteWriter {
public:
    ByteWriter& u8(int v) { bytes_.append(char(std::uint8_t(v))); return *this; }
    ByteWriter& u16le(int v) { return u8(v).u8(v >> 8); }
    ByteWriter& u16be(int v) { return u8(v >> 8).u8(v); }
    ByteWriter& u32le(std::uint32_t v) { return u16le(int(v & 0xFFFF)).u16le(int(v >> 16)); }
    ByteWriter& u32be(std::uint32_t v) { return u16be(int(v >> 16)).u16be(int(v & 0xFFFF)); }
    ByteWriter& bytes(const QByteArray& b) { bytes_.append(b); return *this; }
    ByteWriter& zeros(qsizetype n) { bytes_.append(QByteArray(n, '\0')); return *this; }
    [[nodiscard]] qsizetype size() const { return bytes_.size(); }
    [[nodiscard]] const QByteArray& data() const { return bytes_; }

private:
    QByteArray bytes_;
};

} // namespace mv::imaging::test
