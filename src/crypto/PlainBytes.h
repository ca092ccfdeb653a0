// Decrypted bytes held in memory: never copied behind the owner's back, and overwritten with
// zeros when they are dropped, so no plain text lingers in freed memory.
#pragma once

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace mv::crypto {

class PlainBytes {
public:
    PlainBytes() = default;
    // Room for `capacity` bytes; size() is 0 until resize().
    explicit PlainBytes(std::size_t capacity);
    ~PlainBytes();
    PlainBytes(PlainBytes&& other) noexcept;
    PlainBytes& operator=(PlainBytes&& other) noexcept;
    PlainBytes(const PlainBytes&) = delete;
    PlainBytes& operator=(const PlainBytes&) = delete;

    [[nodiscard]] std::uint8_t* data() { return data_.get(); }
    [[nodiscard]] const std::uint8_t* data() const { return data_.get(); }
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] std::size_t capacity() const { return capacity_; }
    [[nodiscard]] QByteArrayView view() const
    {
        return {reinterpret_cast<const char*>(data_.get()), qsizetype(size_)};
    }
    // The bytes in use, at most capacity().
    void resize(std::size_t size);
    // Zeros everything and frees it.
    void wipe();

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

} // namespace mv::crypto
