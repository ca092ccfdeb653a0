// How the viewer reads a listed file: the bytes at its start, the whole of it, or its
// decryption into memory. Every read of a selection goes through one of these, so what a
// selection costs can be counted; the real one is used unless a test passes its own.
#pragma once

#include "crypto/MemoryDecrypt.h"
#include "imaging/FileBytes.h"

#include <QByteArray>

namespace mv::viewing {

class FileReading {
public:
    virtual ~FileReading() = default;

    // Up to count bytes from the start of the file (fewer when it is shorter); empty, with the
    // failure in *status, when it cannot be read.
    [[nodiscard]] virtual QByteArray head(const QString& path, qint64 count, fileio::Status* status) const;
    // The whole file, refused when larger than maxBytes.
    [[nodiscard]] virtual imaging::FileBytes whole(const QString& path, qint64 maxBytes,
                                                   fileio::Status* status) const;
    // The whole file decrypted into memory with the first of keys that opens it.
    [[nodiscard]] virtual crypto::MemoryDecrypt
    decrypt(const QString& path, const std::vector<crypto::SecretText>& keys, qint64 maxBytes) const;

    static const FileReading& real();
};

// What a file's first bytes say: one of our encrypted files, or a JPEG.
[[nodiscard]] bool beginsWithSignature(QByteArrayView bytes);
[[nodiscard]] bool looksLikeJpeg(QByteArrayView bytes);

// How much of a file's start is read for its embedded preview: the EXIF block of a JPEG is
// one segment of at most 64 KiB, near the start.
inline constexpr qint64 kPreviewHeadBytes = qint64(128) << 10;

} // namespace mv::viewing
