#include "crypto/PlainBytes.h"

#include <sodium.h>

#include <algorithm>
#include <utility>

namespace mv::crypto {

PlainBytes::PlainBytes(std::size_t capacity)
    : data_(capacity ? new std::uint8_t[capacity] : nullptr), capacity_(capacity)
{
}

PlainBytes::~PlainBytes()
{
    wipe();
}

PlainBytes::PlainBytes(PlainBytes&& other) noexcept
    : data_(std::move(other.data_)), capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0))
{
}

PlainBytes& PlainBytes::operator=(PlainBytes&& other) noexcept
{
    if (this != &other) {
        wipe();
        data_ = std::move(other.data_);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void PlainBytes::resize(std::size_t size)
{
    size_ = std::min(size, capacity_);
}

void PlainBytes::wipe()
{
    if (data_)
        sodium_memzero(data_.get(), capacity_);
    data_.reset();
    capacity_ = 0;
    size_ = 0;
}

} // namespace mv::crypto
