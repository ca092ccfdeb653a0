// Building and patching the bytes of test files, for every writer of the tests.
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
