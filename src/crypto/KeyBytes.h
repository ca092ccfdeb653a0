// Keys as encryptOne and decryptOne take them: QByteArrays that only view guarded memory, so
// no copy of a key is made in ordinary memory on the way to the engine. The keys are held here
// (guarded copies) for as long as the views live; nothing may write through them.
#pragma once

#include "crypto/SecretText.h"

#include <QByteArray>
#include <QList>

#include <vector>

namespace mv::crypto {

class KeyBytes {
public:
    explicit KeyBytes(std::vector<SecretText> keys) : keys_(std::move(keys))
    {
        for (const SecretText& key : keys_)
            list_.append(QByteArray::fromRawData(key.data(), qsizetype(key.size())));
    }
    KeyBytes(const KeyBytes&) = delete;
    KeyBytes& operator=(const KeyBytes&) = delete;
    [[nodiscard]] const QList<QByteArray>& list() const { return list_; }

private:
    const std::vector<SecretText> keys_;
    QList<QByteArray> list_;
};

} // namespace mv::crypto
