#include "encrypt_file.h"

#include "last_error.h"
#include "output_file.h"
#include "source_file.h"
#include "stream_state.h"
#include "wiped_buffer.h"
#include "write_behind.h"
#include <cerrno>

namespace mv::engine {

namespace {

constexpr std::size_t kPlainBlock = kChunksPerBlock * kChunkLen;
constexpr std::size_t kSealedBlock = kChunksPerBlock * kCipherChunkLen;

// Seals one block read from the source: whole chunks, then, at the end of the file, the
// short FINAL chunk (empty when the file ends on a chunk boundary). Returns the sealed size.
std::size_t sealBlock(StreamState& stream, const std::uint8_t* plain, std::size_t len, bool last,
                      std::uint8_t* sealed)
{
    std::size_t used = 0;
    std::size_t off = 0;
    for (; len - off >= kChunkLen; off += kChunkLen)
        used += stream.seal(plain + off, kChunkLen, crypto_secretstream_xchacha20poly1305_TAG_MESSAGE,
                            sealed + used);
    if (last)
        used += stream.seal(plain + off, len - off, crypto_secretstream_xchacha20poly1305_TAG_FINAL,
                            sealed + used);
    return used;
}

std::int32_t sealStream(SourceFile& in, WipedBuffer& plain, std::size_t prefilled, StreamState& stream,
                        OutputFile& out, const Progress& progress)
{
    WriteBehind pipe(out, kSealedBlock, in.size() > plain.size());
    std::uint64_t done = 0;
    std::size_t filled = prefilled;
    for (;;) {
        const ssize_t n = in.read(plain.data() + filled, plain.size() - filled);
        if (n < 0)
            return failWithErrno("cannot read the source", errno);
        filled += static_cast<std::size_t>(n);
        const bool last = filled < plain.size();
        if (!pipe.push(sealBlock(stream, plain.data(), filled, last, pipe.block())))
            return kFailed;
        done += filled;
        if (progress.cancelled(done, in.size()))
            return failWith("cancelled");
        if (last)
            break;
        filled = 0;
    }
    if (!pipe.finish() || !in.unchangedToTheEnd())
        return kFailed;
    return out.commit() ? kDone : kFailed;
}

} // namespace

std::int32_t encryptFile(const Files& files, std::span<const std::uint8_t> key, const Progress& progress,
                         KeyCache& cache)
{
    OutputFile out(files, /*wipe=*/false);
    if (key.empty())
        return failWith("no key given");
    SourceFile in;
    if (!(files.byDescriptor() ? in.adopt(files.sourceFd, "cannot read the source")
                               : in.open(files.source, "cannot read the source")))
        return kFailed;
    WipedBuffer plain(kPlainBlock);
    const ssize_t head = in.read(plain.data(), kSignatureLen);
    if (head < 0)
        return failWithErrno("cannot read the source", errno);
    if (hasSignature({plain.data(), static_cast<std::size_t>(head)}))
        return declineWith("the file is already encrypted");

    FileHeader header;
    SecretBox<FileKeys> keys;
    if (!cache.encryptionKeys(key, header.kdf, header.salt, *keys))
        return failWith("cannot derive the key: out of memory");
    StreamState stream;
    stream.initPush(keys->stream, header.streamHeader.data());
    const HeaderBytes headerBytes = encodeHeader(header, keys->check);
    stream.bindFirstChunk(headerBytes);

    if (!out.open(in.info()) || !out.write(headerBytes.data(), headerBytes.size()))
        return kFailed;
    return sealStream(in, plain, static_cast<std::size_t>(head), stream, out, progress);
}

} // namespace mv::engine
