// One file's secretstream: seals or opens its chunks in order, the first one bound to the
// file header as additional data so a changed header cannot pass.
#ifndef MVENGINE_STREAM_STATE_H
#define MVENGINE_STREAM_STATE_H

#include <cstddef>
#include <cstdint>
#include <span>

#include <sodium.h>

namespace mv::engine {

class StreamState {
public:
    StreamState() = default;
    ~StreamState() { sodium_memzero(&state_, sizeof state_); }
    StreamState(const StreamState&) = delete;
    StreamState& operator=(const StreamState&) = delete;

    // Writes a fresh random stream header into header.
    void initPush(const std::uint8_t* key, std::uint8_t* header);
    bool initPull(const std::uint8_t* key, const std::uint8_t* header);

    // The bytes must outlive the first seal/open call.
    void bindFirstChunk(std::span<const std::uint8_t> headerBytes) { ad_ = headerBytes; }

    // Returns the sealed length: len + ABYTES.
    std::size_t seal(const std::uint8_t* plain, std::size_t len, std::uint8_t tag, std::uint8_t* sealed);
    // False unless the chunk authenticates and carries expectedTag. plain gets len - ABYTES.
    bool open(const std::uint8_t* sealed, std::size_t len, std::uint8_t expectedTag, std::uint8_t* plain);

private:
    crypto_secretstream_xchacha20poly1305_state state_ {};
    std::span<const std::uint8_t> ad_;
};

} // namespace mv::engine

#endif
