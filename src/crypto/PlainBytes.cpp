#include "crypto/PlainBytes.h"

#include <sodium.h>

#include <algorithm>
#include <utility>

namespace mv::crypto {

PlainBytes::PlainBytes(std::size_t capacity)
    : memory_(fileio::MappedMemoryFile::create("mv-plain", std::uint64_t(capacity)))
{
}

PlainBytes::~PlainBytes()
{
    wipe();
}

PlainBytes::PlainBytes(PlainBytes&& other) noexcept
    : memory_(std::move(other.memory_)), size_(std::exchange(other.size_, 0))
{
}

PlainBytes& PlainBytes::operator=(PlainBytes&& other) noexcept
{
    if (this != &other) {
        wipe();
        memory_ = std::move(other.memory_);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void PlainBytes::resize(std::size_t size)
{
    size_ = std::min(size, capacity());
    (void)memory_.seal(true);
}

void PlainBytes::wipe()
{
    // The mapping is the memory file's own pages: zeroing it zeros them for every descriptor.
    if (memory_.valid())
        sodium_memzero(memory_.data(), std::size_t(memory_.size()));
    memory_ = {};
    size_ = 0;
}

} // namespace mv::crypto
