// A large I/O buffer that may hold plain text, so it is wiped before it is freed.
#ifndef MVENGINE_WIPED_BUFFER_H
#define MVENGINE_WIPED_BUFFER_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include <sodium.h>

namespace mv::engine {

class WipedBuffer {
public:
    explicit WipedBuffer(std::size_t size) : data_(new std::uint8_t[size]), size_(size) {}
    ~WipedBuffer() { sodium_memzero(data_.get(), size_); }
    WipedBuffer(const WipedBuffer&) = delete;
    WipedBuffer& operator=(const WipedBuffer&) = delete;

    std::uint8_t* data() { return data_.get(); }
    std::size_t size() const { return size_; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_;
};

} // namespace mv::engine

#endif
