// Derived keys, kept so that one key costs one Argon2id run per process, not one per file.
#ifndef MVENGINE_KEY_CACHE_H
#define MVENGINE_KEY_CACHE_H

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "format.h"
#include "secret_box.h"

namespace mv::engine {

// The two keys a file needs, split from the Argon2id output so neither serves two purposes.
struct FileKeys {
    std::uint8_t stream[crypto_secretstream_xchacha20poly1305_KEYBYTES];
    std::uint8_t check[32];
};

using Salt = std::array<std::uint8_t, kSaltLen>;

class KeyCache {
public:
    static constexpr std::size_t kMaxEntries = 64;

    explicit KeyCache(std::size_t maxEntries = kMaxEntries);
    ~KeyCache();
    KeyCache(const KeyCache&) = delete;
    KeyCache& operator=(const KeyCache&) = delete;

    // The one the engine's entry points use.
    static KeyCache& shared();

    // Keys for encrypting with key: every call with the same key and kdf gets the same salt
    // and keys until the entry is evicted or clear() runs. False if the derivation fails.
    bool encryptionKeys(std::span<const std::uint8_t> key, const KdfParams& kdf, Salt& salt, FileKeys& out);

    // Keys for a file's (salt, kdf), derived only when not cached.
    bool keysFor(std::span<const std::uint8_t> key, const Salt& salt, const KdfParams& kdf, FileKeys& out);

    void clear();

    std::size_t size() const;
    std::uint64_t derivations() const { return derivations_.load(); }

private:
    struct Entry;
    using EntryBox = SecretBox<Entry>;
    enum class Match {
        SaltAndParams,
        EncryptionKey
    };

    void fillProbe(Entry& probe, std::span<const std::uint8_t> key, const KdfParams& kdf) const;
    bool obtain(std::span<const std::uint8_t> key, Entry& probe, Match match);
    bool lookupLocked(Entry& probe, Match match);
    void insert(const Entry& entry, std::uint64_t generation);
    bool derive(std::span<const std::uint8_t> key, Entry& entry);

    const std::size_t maxEntries_;
    mutable std::mutex mutex_; // guards entries_ and generation_; never held during Argon2id
    std::mutex deriveMutex_;   // one Argon2id at a time: bounds memory, avoids twin derivations
    std::vector<std::unique_ptr<EntryBox>> entries_; // least recently used first
    std::uint64_t generation_ = 0;                   // bumped by clear()
    std::array<std::uint8_t, 32> hashKey_ {};
    std::atomic<std::uint64_t> derivations_ {0};
};

} // namespace mv::engine

#endif
