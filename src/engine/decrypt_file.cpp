#include "decrypt_file.h"

#include <cerrno>
#include <vector>

#include "last_error.h"
#include "output_file.h"
#include "source_file.h"
#include "stream_state.h"
#include "write_behind.h"

namespace mv::engine {

namespace {

constexpr std::size_t kPlainBlock = kChunksPerBlock * kChunkLen;
constexpr std::size_t kSealedBlock = kChunksPerBlock * kCipherChunkLen;
constexpr const char* kDamaged = "the file is damaged or truncated";

std::int32_t headerFailure(HeaderStatus status)
{
    switch (status) {
    case HeaderStatus::NotEncrypted: return failWith("not an encrypted file");
    case HeaderStatus::UnsupportedVersion: return failWith("unsupported format version");
    case HeaderStatus::UnsupportedAlgorithm: return failWith("unsupported key derivation algorithm");
    case HeaderStatus::OutOfBounds: return failWith("key derivation parameters out of bounds");
    case HeaderStatus::Truncated:
    case HeaderStatus::Damaged:
    case HeaderStatus::Ok: break;
    }
    return failWith(kDamaged);
}

// Opens one block read from the file: whole chunks tagged MESSAGE and, at the end of the
// file, one shorter chunk tagged FINAL. Anything else means damage or truncation.
bool openBlock(StreamState& stream, const std::uint8_t* sealed, std::size_t len, bool last,
               std::uint8_t* plain, std::size_t& plainLen)
{
    plainLen = 0;
    std::size_t off = 0;
    for (; len - off >= kCipherChunkLen; off += kCipherChunkLen, plainLen += kChunkLen)
        if (!stream.open(sealed + off, kCipherChunkLen, crypto_secretstream_xchacha20poly1305_TAG_MESSAGE,
                         plain + plainLen))
            return false;
    if (!last)
        return true;
    const std::size_t rest = len - off;
    if (rest < kChunkOverhead ||
        !stream.open(sealed + off, rest, crypto_secretstream_xchacha20poly1305_TAG_FINAL, plain + plainLen))
        return false;
    plainLen += rest - kChunkOverhead;
    return true;
}

std::int32_t openStream(SourceFile& in, StreamState& stream, OutputFile& out, const Progress& progress)
{
    std::vector<std::uint8_t> sealed(kSealedBlock);
    WriteBehind pipe(out, kPlainBlock, in.size() > kHeaderLen + kSealedBlock);
    std::uint64_t done = kHeaderLen;
    for (;;) {
        const ssize_t n = in.read(sealed.data(), sealed.size());
        if (n < 0)
            return failWithErrno("cannot read the source", errno);
        // A short read is the end of the file, so nothing can follow the FINAL chunk.
        const bool last = static_cast<std::size_t>(n) < sealed.size();
        std::size_t plainLen = 0;
        if (!openBlock(stream, sealed.data(), static_cast<std::size_t>(n), last, pipe.block(), plainLen))
            return failWith(kDamaged);
        if (!pipe.push(plainLen))
            return kFailed;
        done += static_cast<std::uint64_t>(n);
        if (progress.cancelled(done, in.size()))
            return failWith("cancelled");
        if (last)
            break;
    }
    if (!pipe.finish() || !in.unchangedToTheEnd())
        return kFailed;
    return out.commit() ? kDone : kFailed;
}

} // namespace

std::int32_t decryptFile(const Files& files, std::span<const std::uint8_t> key, const Progress& progress,
                         KeyCache& cache)
{
    OutputFile out(files, /*wipe=*/true);
    SourceFile in;
    if (!(files.byDescriptor() ? in.adopt(files.sourceFd, "cannot read the source")
                               : in.open(files.source, "cannot read the source")))
        return kFailed;
    HeaderBytes headerBytes {};
    // The signature alone answers "is this ours?", before anything else is read.
    const ssize_t head = in.read(headerBytes.data(), kSignatureLen);
    if (head < 0)
        return failWithErrno("cannot read the source", errno);
    if (!hasSignature({headerBytes.data(), static_cast<std::size_t>(head)}))
        return failWith("not an encrypted file");
    const ssize_t rest = in.read(headerBytes.data() + kSignatureLen, kHeaderLen - kSignatureLen);
    if (rest < 0)
        return failWithErrno("cannot read the source", errno);
    FileHeader header;
    const HeaderStatus status =
        parseHeader({headerBytes.data(), kSignatureLen + static_cast<std::size_t>(rest)}, header);
    if (status != HeaderStatus::Ok)
        return headerFailure(status);

    SecretBox<FileKeys> keys;
    if (!cache.keysFor(key, header.salt, header.kdf, *keys))
        return failWith("cannot derive the key: out of memory");
    if (!keyCheckMatches(headerBytes, keys->check))
        return declineWith("the key does not open this file");
    StreamState stream;
    if (!stream.initPull(keys->stream, header.streamHeader.data()))
        return failWith(kDamaged);
    stream.bindFirstChunk(headerBytes);
    if (!out.open(in.info()))
        return kFailed;
    return openStream(in, stream, out, progress);
}

} // namespace mv::engine
