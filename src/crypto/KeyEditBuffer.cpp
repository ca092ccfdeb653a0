#include "crypto/KeyEditBuffer.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace mv::crypto {

namespace {

void* guarded(std::size_t bytes)
{
    if (sodium_init() < 0)
        throw std::bad_alloc();
    void* p = sodium_malloc(bytes);
    if (!p)
        throw std::bad_alloc();
    return p;
}

// Appends the UTF-8 form of one code point; returns the bytes written (at most 4).
std::size_t putUtf8(char32_t c, unsigned char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 4;
}

bool isHigh(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLow(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

KeyEditBuffer::KeyEditBuffer(int capacity)
    : units_(static_cast<char16_t*>(guarded(std::size_t(std::max(capacity, 1)) * sizeof(char16_t)))),
      capacity_(std::max(capacity, 0))
{
}

KeyEditBuffer::~KeyEditBuffer()
{
    sodium_free(units_); // zeroes before it frees
}

int KeyEditBuffer::replace(int from, int count, QStringView text)
{
    from = std::clamp(from, 0, length_);
    count = std::clamp(count, 0, length_ - from);
    const int room = capacity_ - (length_ - count);
    const int inserted = int(std::min<qsizetype>(text.size(), room));
    const int tail = length_ - from - count;
    std::memmove(units_ + from + inserted, units_ + from + count, std::size_t(tail) * sizeof(char16_t));
    if (inserted > 0)
        std::memcpy(units_ + from, text.utf16(), std::size_t(inserted) * sizeof(char16_t));
    const int newLength = length_ - count + inserted;
    if (newLength < length_)
        sodium_memzero(units_ + newLength, std::size_t(length_ - newLength) * sizeof(char16_t));
    length_ = newLength;
    return inserted;
}

void KeyEditBuffer::clear()
{
    sodium_memzero(units_, std::size_t(capacity_) * sizeof(char16_t));
    length_ = 0;
}

SecretText KeyEditBuffer::toSecret() const
{
    if (length_ == 0)
        return {};
    const std::size_t room = std::size_t(length_) * 3; // no unit grows past three bytes
    auto* utf8 = static_cast<unsigned char*>(guarded(room));
    std::size_t size = 0;
    for (int i = 0; i < length_; ++i) {
        char32_t c = units_[i];
        if (isHigh(units_[i]) && i + 1 < length_ && isLow(units_[i + 1])) {
            c = 0x10000 + ((char32_t(units_[i]) - 0xD800) << 10) + (char32_t(units_[i + 1]) - 0xDC00);
            ++i;
        } else if (isHigh(units_[i]) || isLow(units_[i])) {
            c = 0xFFFD;
        }
        size += putUtf8(c, utf8 + size);
    }
    SecretText key = SecretText::fromBytes(reinterpret_cast<const char*>(utf8), size);
    sodium_free(utf8);
    return key;
}

} // namespace mv::crypto
