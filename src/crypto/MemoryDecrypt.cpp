#include "crypto/MemoryDecrypt.h"

#include <mvengine/engine.h>

#include <QFile>
#include <QFileInfo>

namespace mv::crypto {

namespace {
const char* const kStep = "decrypt into memory";
} // namespace

MemoryDecrypt decryptToMemory(const QString& path, const std::vector<SecretText>& keys, qint64 maxBytes)
{
    MemoryDecrypt result;
    const QFileInfo info(path);
    if (info.size() > maxBytes) {
        result.status = fileutil::FileResult::failure(kStep, "the file is too large to view");
        return result;
    }
    const QByteArray name = QFile::encodeName(path);
    // The plain text is always shorter than the file that holds it.
    PlainBytes bytes(std::size_t(qMax<qint64>(info.size(), 1)));
    if (bytes.capacity() == 0) {
        result.status = fileutil::FileResult::failure(kStep, "there is not enough memory to view it");
        return result;
    }
    for (int i = 0; i < int(keys.size()); ++i) {
        std::size_t length = 0;
        const int rc =
            mv_decrypt_to_memory(name.constData(), keys[std::size_t(i)].data(), keys[std::size_t(i)].size(),
                                 bytes.data(), bytes.capacity(), &length, nullptr, nullptr);
        if (rc == 1) {
            bytes.resize(length);
            result.kind = MemoryDecrypt::Opened;
            result.keyIndex = i;
            result.bytes = std::move(bytes);
            return result;
        }
        if (rc != 0) {
            result.status = fileutil::FileResult::failure(kStep, mv_engine_last_error());
            return result;
        }
    }
    result.kind = MemoryDecrypt::NoneFits;
    return result;
}

HeaderKeySearch keyForHeader(QByteArrayView header, const std::vector<SecretText>& keys)
{
    static_assert(kEncryptedHeaderBytes == MV_HEADER_LEN);
    HeaderKeySearch result;
    for (int i = 0; i < int(keys.size()); ++i) {
        const SecretText& key = keys[std::size_t(i)];
        const int rc = mv_check_key(header.data(), std::size_t(header.size()), key.data(), key.size());
        if (rc == 1) {
            result.kind = HeaderKeySearch::Fits;
            result.keyIndex = i;
            return result;
        }
        if (rc != 0) {
            result.status = fileutil::FileResult::failure("check the key", mv_engine_last_error());
            return result;
        }
    }
    result.kind = HeaderKeySearch::NoneFits;
    return result;
}

quint32 checksumOf(QByteArrayView bytes)
{
    return mv_checksum_data(bytes.data(), std::size_t(bytes.size()));
}

} // namespace mv::crypto
