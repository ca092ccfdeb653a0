#include "decrypt_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// The most plain text `sealedLen` bytes of whole and final chunks can hold.
std::size_t plainBound(std::size_t sealedLen)
{
    const std::size_t chunks = (sealedLen + kCipherChunkLen - 1) / kCipherChunkLen;
    return sealedLen > chunks * kChunkOverhead ? sealedLen - chunks * kChunkOverhead : 0;
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

// Where the plain text goes: a file through the write-behind thread...
class FileSink {
public:
    FileSink(OutputFile& out, bool inBackground) : pipe_(out, kPlainBlock, inBackground) {}
    std::uint8_t* block(std::size_t /*bound*/) { return pipe_.block(); }
    bool push(std::size_t len) { return pipe_.push(len); }
    bool finish() { return pipe_.finish(); }

private:
    WriteBehind pipe_;
};

// ...or the caller's memory, never more than it holds.
class MemorySink {
public:
    MemorySink(std::uint8_t* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}
    std::uint8_t* block(std::size_t bound)
    {
        if (bound > capacity_ - used_) {
            setError("the decrypted file is larger than the room given for it");
            return nullptr;
        }
        return buffer_ + used_;
    }
    bool push(std::size_t len)
    {
        used_ += len;
        return true;
    }
    static bool finish() { return true; }
    std::size_t used() const { return used_; }

private:
    std::uint8_t* buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

template <class Sink>
std::int32_t openStream(SourceFile& in, StreamState& stream, Sink& sink, const Progress& progress)
{
    std::vector<std::uint8_t> sealed(kSealedBlock);
    std::uint64_t done = kHeaderLen;
    for (;;) {
        const ssize_t n = in.read(sealed.data(), sealed.size());
        if (n < 0)
            return failWithErrno("cannot read the source", errno);
        // A short read is the end of the file, so nothing can follow the FINAL chunk.
        const bool last = static_cast<std::size_t>(n) < sealed.size();
        std::uint8_t* plain = sink.block(plainBound(static_cast<std::size_t>(n)));
        if (!plain)
            return kFailed;
        std::size_t plainLen = 0;
        if (!openBlock(stream, sealed.data(), static_cast<std::size_t>(n), last, plain, plainLen))
            return failWith(kDamaged);
        if (!sink.push(plainLen))
            return kFailed;
        done += static_cast<std::uint64_t>(n);
        if (progress.cancelled(done, in.size()))
            return failWith("cancelled");
        if (last)
            break;
    }
    if (!sink.finish() || !in.unchangedToTheEnd())
        return kFailed;
    return kDone;
}

// Parses a header and tells whether key opens the file: kDone with the header and the keys,
// kDeclined for another key, or the failure of a header that is not ours or is damaged.
std::int32_t checkHeader(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> key,
                         KeyCache& cache, FileHeader& header, FileKeys& keys)
{
    const HeaderStatus status = parseHeader(bytes, header);
    if (status != HeaderStatus::Ok)
        return headerFailure(status);
    if (!cache.keysFor(key, header.salt, header.kdf, keys))
        return failWith("cannot derive the key: out of memory");
    if (!keyCheckMatches(bytes.first(kHeaderLen), keys.check))
        return declineWith("the key does not open this file");
    return kDone;
}

// Reads and checks the header and readies the stream: kDone, or the refusal or failure.
std::int32_t openHeader(SourceFile& in, std::span<const std::uint8_t> key, KeyCache& cache,
                        HeaderBytes& headerBytes, StreamState& stream)
{
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
    SecretBox<FileKeys> keys;
    const std::int32_t checked = checkHeader(
        {headerBytes.data(), kSignatureLen + static_cast<std::size_t>(rest)}, key, cache, header, *keys);
    if (checked != kDone)
        return checked;
    if (!stream.initPull(keys->stream, header.streamHeader.data()))
        return failWith(kDamaged);
    stream.bindFirstChunk(headerBytes);
    return kDone;
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
    StreamState stream;
    if (const std::int32_t opened = openHeader(in, key, cache, headerBytes, stream); opened != kDone)
        return opened;
    if (!out.open(in.info()))
        return kFailed;
    FileSink sink(out, in.size() > kHeaderLen + kSealedBlock);
    const std::int32_t result = openStream(in, stream, sink, progress);
    return result == kDone && !out.commit() ? kFailed : result;
}

std::int32_t checkKey(std::span<const std::uint8_t> header, std::span<const std::uint8_t> key,
                      KeyCache& cache)
{
    FileHeader parsed;
    SecretBox<FileKeys> keys;
    return checkHeader(header.first(std::min(header.size(), kHeaderLen)), key, cache, parsed, *keys);
}

std::int32_t decryptToMemory(const char* source, std::span<const std::uint8_t> key,
                             std::span<std::uint8_t> buffer, std::size_t& length, const Progress& progress,
                             KeyCache& cache)
{
    length = 0;
    SourceFile in;
    if (!in.open(source, "cannot read the source"))
        return kFailed;
    HeaderBytes headerBytes {};
    StreamState stream;
    if (const std::int32_t opened = openHeader(in, key, cache, headerBytes, stream); opened != kDone)
        return opened;
    MemorySink sink(buffer.data(), buffer.size());
    const std::int32_t result = openStream(in, stream, sink, progress);
    if (result == kDone)
        length = sink.used();
    else // no part of a file that did not authenticate whole is handed out, not even a chunk
        sodium_memzero(buffer.data(), buffer.size()); // of the block that failed

    return result;
}

} // namespace mv::engine
