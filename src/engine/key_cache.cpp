#include "key_cache.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace mv::engine {

namespace {

constexpr char kSubkeyContext[crypto_kdf_CONTEXTBYTES] = {'m', 'v', 'f', 'i', 'l', 'e', '0', '1'};
constexpr std::uint64_t kStreamSubkeyId = 1;
constexpr std::uint64_t kCheckSubkeyId = 2;

} // namespace

// Lives in sodium_malloc'd memory only. keyHash stands in for the user's key, which is
// never kept.
struct KeyCache::Entry {
    std::uint8_t keyHash[32];
    Salt salt;
    KdfParams kdf;
    bool forEncryption; // its salt was made here, for new files
    FileKeys keys;
};

KeyCache::KeyCache(std::size_t maxEntries) : maxEntries_(maxEntries)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    randombytes_buf(hashKey_.data(), hashKey_.size());
}

KeyCache::~KeyCache()
{
    clear();
    sodium_memzero(hashKey_.data(), hashKey_.size());
}

KeyCache& KeyCache::shared()
{
    static KeyCache cache;
    return cache;
}

bool KeyCache::encryptionKeys(std::span<const std::uint8_t> key, const KdfParams& kdf, Salt& salt,
                              FileKeys& out)
{
    EntryBox probe;
    fillProbe(*probe, key, kdf);
    probe->forEncryption = true;
    if (!obtain(key, *probe, Match::EncryptionKey))
        return false;
    salt = probe->salt;
    std::memcpy(&out, &probe->keys, sizeof out);
    return true;
}

bool KeyCache::keysFor(std::span<const std::uint8_t> key, const Salt& salt, const KdfParams& kdf,
                       FileKeys& out)
{
    EntryBox probe;
    fillProbe(*probe, key, kdf);
    probe->salt = salt;
    if (!obtain(key, *probe, Match::SaltAndParams))
        return false;
    std::memcpy(&out, &probe->keys, sizeof out);
    return true;
}

void KeyCache::clear()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
    ++generation_;
}

std::size_t KeyCache::size() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void KeyCache::fillProbe(Entry& probe, std::span<const std::uint8_t> key, const KdfParams& kdf) const
{
    crypto_generichash(probe.keyHash, sizeof probe.keyHash, key.data(), key.size(), hashKey_.data(),
                       hashKey_.size());
    probe.kdf = kdf;
    probe.forEncryption = false;
}

// Completes probe from the cache, or derives it and caches the result.
bool KeyCache::obtain(std::span<const std::uint8_t> key, Entry& probe, Match match)
{
    {
        std::lock_guard lock(mutex_);
        if (lookupLocked(probe, match))
            return true;
    }
    std::lock_guard deriving(deriveMutex_);
    std::uint64_t generation = 0;
    {
        // Another thread may have derived the same key while we waited.
        std::lock_guard lock(mutex_);
        if (lookupLocked(probe, match))
            return true;
        generation = generation_;
    }
    if (match == Match::EncryptionKey)
        randombytes_buf(probe.salt.data(), probe.salt.size());
    if (!derive(key, probe))
        return false;
    insert(probe, generation);
    return true;
}

bool KeyCache::lookupLocked(Entry& probe, Match match)
{
    const auto hit = std::find_if(entries_.begin(), entries_.end(), [&](const auto& box) {
        const Entry& e = **box;
        const bool same = match == Match::EncryptionKey ? e.forEncryption : e.salt == probe.salt;
        return same && e.kdf == probe.kdf && sodium_memcmp(e.keyHash, probe.keyHash, sizeof e.keyHash) == 0;
    });
    if (hit == entries_.end())
        return false;
    probe.salt = (**hit)->salt;
    std::memcpy(&probe.keys, &(**hit)->keys, sizeof probe.keys);
    std::rotate(hit, hit + 1, entries_.end()); // now the most recently used
    return true;
}

void KeyCache::insert(const Entry& entry, std::uint64_t generation)
{
    auto box = std::make_unique<EntryBox>();
    std::memcpy(&**box, &entry, sizeof entry);
    std::lock_guard lock(mutex_);
    if (generation != generation_ || maxEntries_ == 0)
        return; // cleared while we derived: the caller uses the keys once, nobody keeps them
    if (entries_.size() >= maxEntries_)
        entries_.erase(entries_.begin());
    entries_.push_back(std::move(box));
}

bool KeyCache::derive(std::span<const std::uint8_t> key, Entry& entry)
{
    static const std::uint8_t kNoKey = 0;
    SecretBox<std::array<std::uint8_t, crypto_kdf_KEYBYTES>> master;
    const auto* keyBytes = key.empty() ? &kNoKey : key.data();
    derivations_.fetch_add(1);
    if (crypto_pwhash(master->data(), master->size(), reinterpret_cast<const char*>(keyBytes), key.size(),
                      entry.salt.data(), entry.kdf.opslimit, static_cast<std::size_t>(entry.kdf.memlimit),
                      entry.kdf.algorithm) != 0)
        return false;
    crypto_kdf_derive_from_key(entry.keys.stream, sizeof entry.keys.stream, kStreamSubkeyId, kSubkeyContext,
                               master->data());
    crypto_kdf_derive_from_key(entry.keys.check, sizeof entry.keys.check, kCheckSubkeyId, kSubkeyContext,
                               master->data());
    return true;
}

} // namespace mv::engine
