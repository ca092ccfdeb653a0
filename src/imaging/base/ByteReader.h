// A bounds-checked cursor over the bytes of a picture file. Every decoder of our own reads
// through it: a read past the end never happens, it marks the reader failed instead, and every
// later read gives zeros. A decoder reads a header in a row and checks ok() once.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstring>

namespace mv::imaging {

class ByteReader {
public:
    explicit ByteReader(QByteArrayView data) : data_(data) {}

    [[nodiscard]] bool ok() const { return ok_; }
    [[nodiscard]] qsizetype size() const { return data_.size(); }
    [[nodiscard]] qsizetype pos() const { return pos_; }
    [[nodiscard]] qsizetype remaining() const { return data_.size() - pos_; }
    [[nodiscard]] bool atEnd() const { return pos_ >= data_.size(); }
    [[nodiscard]] QByteArrayView data() const { return data_; }

    // True when n more bytes can be read; does not fail the reader.
    [[nodiscard]] bool has(qsizetype n) const { return n >= 0 && n <= remaining(); }

    bool seek(qsizetype pos)
    {
        if (pos < 0 || pos > data_.size())
            return fail();
        pos_ = pos;
        return ok_;
    }
    bool skip(qsizetype n) { return has(n) ? (pos_ += n, ok_) : fail(); }

    std::uint8_t u8()
    {
        if (!has(1)) {
            fail();
            return 0;
        }
        return static_cast<std::uint8_t>(data_[pos_++]);
    }
    std::uint16_t u16le() { return static_cast<std::uint16_t>(u8() | (u8() << 8)); }
    std::uint16_t u16be() { return static_cast<std::uint16_t>((u8() << 8) | u8()); }
    std::uint32_t u32le()
    {
        const std::uint32_t lo = u16le();
        return lo | (std::uint32_t(u16le()) << 16);
    }
    std::uint32_t u32be()
    {
        const std::uint32_t hi = u16be();
        return (hi << 16) | u16be();
    }
    std::int16_t s16le() { return static_cast<std::int16_t>(u16le()); }
    std::int32_t s32le() { return static_cast<std::int32_t>(u32le()); }

    // Copies n bytes into out; on a short file copies nothing and fails.
    bool read(void* out, qsizetype n)
    {
        if (!has(n))
            return fail();
        std::memcpy(out, data_.data() + pos_, static_cast<size_t>(n));
        pos_ += n;
        return ok_;
    }
    // A view of the next n bytes (empty and failed when fewer remain).
    QByteArrayView take(qsizetype n)
    {
        if (!has(n)) {
            fail();
            return {};
        }
        const QByteArrayView v = data_.sliced(pos_, n);
        pos_ += n;
        return v;
    }

private:
    bool fail()
    {
        ok_ = false;
        pos_ = data_.size();
        return false;
    }

    QByteArrayView data_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

} // namespace mv::imaging
