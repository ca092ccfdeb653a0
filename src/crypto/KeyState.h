// The keys typed since the program started and the few flags that every decryption path
// shares: one object, owned by the main window and handed to the dialogs, the batch, the
// viewer and the list jobs. Keys live in memory only and are overwritten before release.
#pragma once

#include "crypto/SecretText.h"

#include <QMutex>
#include <QObject>

#include <atomic>
#include <vector>

namespace mv::crypto {

class KeyState : public QObject {
    Q_OBJECT

public:
    explicit KeyState(QObject* parent = nullptr);
    ~KeyState() override;

    // `KeyCache`: in the order typed; append only; compared exactly (case matters). For the
    // user-interface thread; a worker takes usableKeys() instead.
    [[nodiscard]] const std::vector<SecretText>& KeyCache() const { return keys_; }
    // The entries that can still open a file, in cache order, copied under the lock so that a
    // worker may search with them while the window adds a key. Safe from any thread.
    [[nodiscard]] std::vector<SecretText> usableKeys() const;
    // The keys a decryption tries, in this order: `first` when it is not empty, then
    // usableKeys(), each key once. Safe from any thread.
    [[nodiscard]] std::vector<SecretText> keysToTry(const SecretText& first) const;
    // The same with `CurrentKey` first, the key that opened the files in hand last. For the
    // user-interface thread, which owns `CurrentKey`.
    [[nodiscard]] std::vector<SecretText> keysToTry() const { return keysToTry(CurrentKey); }
    // Whether keysToTry() would hold a key. User-interface thread.
    [[nodiscard]] bool hasKeysToTry() const { return !CurrentKey.isEmpty() || hasKeys(); }
    [[nodiscard]] bool contains(const SecretText& key) const;
    // Appends `key` unless it is already there or empty; returns whether it was appended.
    bool append(const SecretText& key);
    // Whether some entry can still open a file (cleared entries are empty and never do).
    [[nodiscard]] bool hasKeys() const;

    // "Clear Passwords": every entry is overwritten and emptied (the count stays), and the
    // engine forgets the keys it derived from them.
    void clearKeys();

    // `CurrentKey`: the key that last opened a file in a list job.
    SecretText CurrentKey;
    // `KeyCancelled`: the key dialog was cancelled. Set by key searches on workers too.
    std::atomic<bool> KeyCancelled = false;
    // `EncryptMode`: the work in hand encrypts (true) or decrypts (false).
    bool EncryptMode = false;

signals:
    // A key was added (true) or the keys were cleared (false): "Clear Passwords" follows it.
    void keysChanged(bool haveKeys);

private:
    // Guards keys_: append, clearKeys and the lookups may come from any thread.
    mutable QMutex mutex_;
    std::vector<SecretText> keys_;
};

} // namespace mv::crypto
