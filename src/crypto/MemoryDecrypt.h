// Decrypting a file into memory for viewing: no decrypted byte is written to any file, so a
// crash while a picture is on show leaves nothing behind.
#pragma once

#include "crypto/PlainBytes.h"
#include "crypto/SecretText.h"
#include "fileutil/FileResult.h"

#include <QString>

#include <vector>

namespace mv::crypto {

struct [[nodiscard]] MemoryDecrypt {
    enum Kind {
        Opened,      // keys[keyIndex] opened it; bytes holds the plain text
        NoneFits,    // encrypted, and none of the keys opens it
        NotOpenable, // not encrypted, unreadable, damaged, or too large
    } kind = NotOpenable;
    int keyIndex = -1;
    PlainBytes bytes;
    fileutil::FileResult status; // why not: the reason in plain words; ok when opened or none fits
};

// Tries the keys in order. A file larger than maxBytes is refused before any key is tried.
MemoryDecrypt decryptToMemory(const QString& path, const std::vector<SecretText>& keys, qint64 maxBytes);

// The bytes an encrypted file's key check needs: its header, signature included.
inline constexpr qint64 kEncryptedHeaderBytes = 145;

struct [[nodiscard]] HeaderKeySearch {
    enum Kind {
        Fits,        // keys[keyIndex] opens the file, by its key check
        NoneFits,    // encrypted, and none of the keys opens it
        NotOpenable, // not an encrypted header, or a damaged one
    } kind = NotOpenable;
    int keyIndex = -1;
    fileutil::FileResult status; // why not openable, in plain words
};

// Tries the keys in order against the key check of the file that begins with header (its
// first kEncryptedHeaderBytes bytes): nothing after the header is needed or decrypted, so a
// file that will not be shown costs no more than its header, whatever its size.
HeaderKeySearch keyForHeader(QByteArrayView header, const std::vector<SecretText>& keys);

// The checksum the engine gives of a file holding these bytes.
quint32 checksumOf(QByteArrayView bytes);

} // namespace mv::crypto
