#include "crypto/SecretText.h"

#include <sodium.h>

#include <cstring>
#include <new>

namespace mv::crypto {

namespace {

// Guarded memory: sodium_malloc zeroes it on free, locks it and keeps it out of core files.
char* guardedCopy(const char* data, std::size_t size)
{
    if (size == 0)
        return nullptr;
    if (sodium_init() < 0)
        throw std::bad_alloc();
    auto* copy = static_cast<char*>(sodium_malloc(size));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, data, size);
    return copy;
}

} // namespace

SecretText SecretText::fromText(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    SecretText secret = fromBytes(utf8.constData(), std::size_t(utf8.size()));
    // toUtf8 made a buffer of its own; it holds the key too.
    if (!utf8.isEmpty())
        sodium_memzero(utf8.data(), std::size_t(utf8.size()));
    return secret;
}

SecretText SecretText::fromBytes(const char* data, std::size_t size)
{
    SecretText secret;
    secret.data_.reset(guardedCopy(data, size));
    secret.size_ = secret.data_ ? size : 0;
    return secret;
}

SecretText::~SecretText()
{
    wipe();
}

void SecretText::Free::operator()(char* p) const
{
    sodium_free(p);
}

SecretText::SecretText(const SecretText& other)
    : data_(guardedCopy(other.data(), other.size_)), size_(other.size_)
{
}

SecretText& SecretText::operator=(const SecretText& other)
{
    if (this != &other) {
        wipe();
        data_.reset(guardedCopy(other.data(), other.size_));
        size_ = other.size_;
    }
    return *this;
}

SecretText::SecretText(SecretText&& other) noexcept : data_(std::move(other.data_)), size_(other.size_)
{
    other.size_ = 0;
}

SecretText& SecretText::operator=(SecretText&& other) noexcept
{
    if (this != &other) {
        wipe();
        data_ = std::move(other.data_);
        size_ = other.size_;
        other.size_ = 0;
    }
    return *this;
}

bool SecretText::operator==(const SecretText& other) const
{
    if (size_ != other.size_)
        return false;
    return size_ == 0 || sodium_memcmp(data_.get(), other.data_.get(), size_) == 0;
}

void SecretText::wipe()
{
    if (data_)
        sodium_memzero(data_.get(), size_);
    data_.reset();
    size_ = 0;
}

void wipeString(QString& text)
{
    // Writing through data() would first copy a shared buffer and clear only the copy; a
    // shared buffer is someone else's to clear, so this string merely lets go of it.
    if (text.isDetached() && text.capacity() > 0)
        sodium_memzero(text.data(), std::size_t(text.capacity()) * sizeof(QChar));
    text.clear();
}

} // namespace mv::crypto
