#include "format.h"

#include <cstring>

#include <zlib.h>

#include <mvengine/engine.h>

namespace mv::engine {

namespace {

void putLe(std::uint8_t* at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t getLe(const std::uint8_t* at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

std::uint32_t crcOf(const std::uint8_t* data, std::size_t len)
{
    return static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(len)));
}

void computeKeyCheck(const std::uint8_t* header, std::span<const std::uint8_t> checkKey, std::uint8_t* out)
{
    crypto_generichash(out, kKeyCheckLen, header, kOffKeyCheck, checkKey.data(), checkKey.size());
}

} // namespace

bool hasSignature(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kSignatureLen && std::memcmp(bytes.data(), MV_SIGNATURE, kSignatureLen) == 0;
}

bool kdfParamsAcceptable(const KdfParams& kdf)
{
    return kdf.opslimit >= crypto_pwhash_argon2id_OPSLIMIT_MIN && kdf.opslimit <= kMaxOpslimit &&
           kdf.memlimit >= crypto_pwhash_argon2id_MEMLIMIT_MIN && kdf.memlimit <= kMaxMemlimit;
}

HeaderBytes encodeHeader(const FileHeader& header, std::span<const std::uint8_t> checkKey)
{
    HeaderBytes bytes {};
    std::memcpy(bytes.data(), MV_SIGNATURE, kSignatureLen);
    bytes[kOffVersion] = kFormatVersion;
    bytes[kOffAlgorithm] = header.kdf.algorithm;
    putLe(&bytes[kOffOpslimit], header.kdf.opslimit, 4);
    putLe(&bytes[kOffMemlimit], header.kdf.memlimit, 8);
    std::memcpy(&bytes[kOffSalt], header.salt.data(), kSaltLen);
    std::memcpy(&bytes[kOffStreamHeader], header.streamHeader.data(), kStreamHeaderLen);
    computeKeyCheck(bytes.data(), checkKey, &bytes[kOffKeyCheck]);
    putLe(&bytes[kOffCrc], crcOf(bytes.data(), kOffCrc), 4);
    return bytes;
}

HeaderStatus parseHeader(std::span<const std::uint8_t> bytes, FileHeader& out)
{
    if (!hasSignature(bytes))
        return HeaderStatus::NotEncrypted;
    if (bytes.size() <= kOffVersion)
        return HeaderStatus::Truncated;
    // The version decides the layout, so it is judged before the length.
    if (bytes[kOffVersion] != kFormatVersion)
        return HeaderStatus::UnsupportedVersion;
    if (bytes.size() < kHeaderLen)
        return HeaderStatus::Truncated;
    if (getLe(&bytes[kOffCrc], 4) != crcOf(bytes.data(), kOffCrc))
        return HeaderStatus::Damaged;
    out.kdf.algorithm = bytes[kOffAlgorithm];
    out.kdf.opslimit = static_cast<std::uint32_t>(getLe(&bytes[kOffOpslimit], 4));
    out.kdf.memlimit = getLe(&bytes[kOffMemlimit], 8);
    if (out.kdf.algorithm != kAlgArgon2id13)
        return HeaderStatus::UnsupportedAlgorithm;
    if (!kdfParamsAcceptable(out.kdf))
        return HeaderStatus::OutOfBounds;
    std::memcpy(out.salt.data(), &bytes[kOffSalt], kSaltLen);
    std::memcpy(out.streamHeader.data(), &bytes[kOffStreamHeader], kStreamHeaderLen);
    std::memcpy(out.keyCheck.data(), &bytes[kOffKeyCheck], kKeyCheckLen);
    return HeaderStatus::Ok;
}

bool keyCheckMatches(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> checkKey)
{
    if (bytes.size() < kHeaderLen)
        return false;
    std::uint8_t expected[kKeyCheckLen];
    computeKeyCheck(bytes.data(), checkKey, expected);
    return crypto_verify_16(expected, &bytes[kOffKeyCheck]) == 0;
}

} // namespace mv::engine
