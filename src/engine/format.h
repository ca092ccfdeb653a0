// Byte layout of an encrypted file (docs/file-format.md describes it for other tools).
#ifndef MVENGINE_FORMAT_H
#define MVENGINE_FORMAT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include <sodium.h>

namespace mv::engine {

inline constexpr std::size_t kSignatureLen = 71;
inline constexpr std::uint8_t kFormatVersion = 1;
inline constexpr std::uint8_t kAlgArgon2id13 = crypto_pwhash_ALG_ARGON2ID13;
inline constexpr std::size_t kSaltLen = crypto_pwhash_SALTBYTES;
inline constexpr std::size_t kStreamHeaderLen = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
inline constexpr std::size_t kKeyCheckLen = 16;

// Field offsets; the header ends with a CRC-32 of everything before it.
inline constexpr std::size_t kOffVersion = kSignatureLen;
inline constexpr std::size_t kOffAlgorithm = kOffVersion + 1;
inline constexpr std::size_t kOffOpslimit = kOffAlgorithm + 1;
inline constexpr std::size_t kOffMemlimit = kOffOpslimit + 4;
inline constexpr std::size_t kOffSalt = kOffMemlimit + 8;
inline constexpr std::size_t kOffStreamHeader = kOffSalt + kSaltLen;
inline constexpr std::size_t kOffKeyCheck = kOffStreamHeader + kStreamHeaderLen;
inline constexpr std::size_t kOffCrc = kOffKeyCheck + kKeyCheckLen;
inline constexpr std::size_t kHeaderLen = kOffCrc + 4;

inline constexpr std::size_t kChunkLen = 64 * 1024;
inline constexpr std::size_t kChunkOverhead = crypto_secretstream_xchacha20poly1305_ABYTES;
inline constexpr std::size_t kCipherChunkLen = kChunkLen + kChunkOverhead;
inline constexpr std::size_t kChunksPerBlock = 16;

// What we write, and the most a header may ask of us before we refuse it.
inline constexpr std::uint32_t kDefaultOpslimit = 3;
inline constexpr std::uint64_t kDefaultMemlimit = 32ull << 20;
inline constexpr std::uint32_t kMaxOpslimit = 10;
inline constexpr std::uint64_t kMaxMemlimit = 256ull << 20;

struct KdfParams {
    std::uint8_t algorithm = kAlgArgon2id13;
    std::uint32_t opslimit = kDefaultOpslimit;
    std::uint64_t memlimit = kDefaultMemlimit;

    bool operator==(const KdfParams&) const = default;
};

struct FileHeader {
    KdfParams kdf;
    std::array<std::uint8_t, kSaltLen> salt {};
    std::array<std::uint8_t, kStreamHeaderLen> streamHeader {};
    std::array<std::uint8_t, kKeyCheckLen> keyCheck {};
};

using HeaderBytes = std::array<std::uint8_t, kHeaderLen>;

enum class HeaderStatus {
    Ok,
    NotEncrypted,
    Truncated,
    UnsupportedVersion,
    Damaged,
    UnsupportedAlgorithm,
    OutOfBounds
};

bool hasSignature(std::span<const std::uint8_t> bytes);
bool kdfParamsAcceptable(const KdfParams& kdf);

// Fills in the key check (from checkKey) and the CRC.
HeaderBytes encodeHeader(const FileHeader& header, std::span<const std::uint8_t> checkKey);

// bytes: what the file held from offset 0, possibly fewer than kHeaderLen.
HeaderStatus parseHeader(std::span<const std::uint8_t> bytes, FileHeader& out);

// True when checkKey produced this header's key check, i.e. the key is right.
bool keyCheckMatches(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> checkKey);

} // namespace mv::engine

#endif
