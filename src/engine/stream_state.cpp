#include "stream_state.h"

namespace mv::engine {

void StreamState::initPush(const std::uint8_t* key, std::uint8_t* header)
{
    crypto_secretstream_xchacha20poly1305_init_push(&state_, header, key);
}

bool StreamState::initPull(const std::uint8_t* key, const std::uint8_t* header)
{
    return crypto_secretstream_xchacha20poly1305_init_pull(&state_, header, key) == 0;
}

std::size_t StreamState::seal(const std::uint8_t* plain, std::size_t len, std::uint8_t tag,
                              std::uint8_t* sealed)
{
    unsigned long long sealedLen = 0;
    crypto_secretstream_xchacha20poly1305_push(&state_, sealed, &sealedLen, plain, len, ad_.data(),
                                               ad_.size(), tag);
    ad_ = {};
    return static_cast<std::size_t>(sealedLen);
}

bool StreamState::open(const std::uint8_t* sealed, std::size_t len, std::uint8_t expectedTag,
                       std::uint8_t* plain)
{
    unsigned char tag = 0;
    const int rc = crypto_secretstream_xchacha20poly1305_pull(&state_, plain, nullptr, &tag, sealed, len,
                                                              ad_.data(), ad_.size());
    ad_ = {};
    return rc == 0 && tag == expectedTag;
}

} // namespace mv::engine
