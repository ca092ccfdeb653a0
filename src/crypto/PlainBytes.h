// Decrypted bytes held in memory: never copied behind the owner's back, and overwritten with
// zeros when they are dropped, so no plain text lingers in freed memory. They live in a memory
// file, so that a decoder helper can be handed them without another copy (read-only: see
// sandbox::DecodeJob).
#pragma once

#include "fileio/MemoryFile.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

namespace mv::crypto {

class PlainBytes {
public:
    PlainBytes() = default;
    // Room for `capacity` bytes; size() is 0 until resize(). No room at all (capacity() 0)
    // when memory is short.
    explicit PlainBytes(std::size_t capacity);
    ~PlainBytes();
    PlainBytes(PlainBytes&& other) noexcept;
    PlainBytes& operator=(PlainBytes&& other) noexcept;
    PlainBytes(const PlainBytes&) = delete;
    PlainBytes& operator=(const PlainBytes&) = delete;

    [[nodiscard]] std::uint8_t* data() { return reinterpret_cast<std::uint8_t*>(memory_.data()); }
    [[nodiscard]] const std::uint8_t* data() const
    {
        return reinterpret_cast<const std::uint8_t*>(memory_.data());
    }
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] std::size_t capacity() const { return std::size_t(memory_.size()); }
    [[nodiscard]] QByteArrayView view() const { return {memory_.data(), qsizetype(size_)}; }
    // The bytes in use, at most capacity(); the memory file's size is sealed from then on.
    void resize(std::size_t size);
    // The memory file holding the bytes at its start, sealed against resizing once resized;
    // -1 when there is no room.
    [[nodiscard]] int memoryFile() const { return memory_.valid() ? memory_.fd() : -1; }
    // Zeros everything and frees it.
    void wipe();

private:
    fileio::MappedMemoryFile memory_;
    std::size_t size_ = 0;
};

} // namespace mv::crypto
