// The key cache on its own, with the cheapest Argon2id parameters so derivations are quick.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "key_cache.h"

using mv::engine::FileKeys;
using mv::engine::KdfParams;
using mv::engine::KeyCache;
using mv::engine::Salt;

namespace {

const KdfParams kCheap {2, 1, 8192};

std::span<const std::uint8_t> bytesOf(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

bool sameKeys(const FileKeys& a, const FileKeys& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(KeyCache, DerivesOncePerKeySaltAndParameters)
{
    KeyCache cache;
    const std::string one = "one", two = "two";
    Salt s1 {}, s1again {}, s2 {}, after {};
    FileKeys k1 {}, k1again {}, k2 {}, opened {};
    ASSERT_TRUE(cache.encryptionKeys(bytesOf(one), kCheap, s1, k1));
    ASSERT_TRUE(cache.encryptionKeys(bytesOf(one), kCheap, s1again, k1again));
    EXPECT_EQ(cache.derivations(), 1u);
    EXPECT_EQ(s1, s1again);
    EXPECT_TRUE(sameKeys(k1, k1again));
    EXPECT_NE(std::memcmp(k1.stream, k1.check, sizeof k1.stream), 0);
    ASSERT_TRUE(cache.encryptionKeys(bytesOf(two), kCheap, s2, k2));
    EXPECT_NE(s1, s2);
    // Decryption reuses what encryption derived, and derives for any other key, salt or
    // parameters.
    ASSERT_TRUE(cache.keysFor(bytesOf(one), s1, kCheap, opened));
    EXPECT_EQ(cache.derivations(), 2u);
    EXPECT_TRUE(sameKeys(opened, k1));
    for (const auto& [key, salt, kdf] : {std::tuple {two, s1, kCheap}, std::tuple {one, s2, kCheap},
                                         std::tuple {one, s1, KdfParams {2, 2, 8192}}}) {
        ASSERT_TRUE(cache.keysFor(bytesOf(key), salt, kdf, opened));
        EXPECT_FALSE(sameKeys(opened, k1));
    }
    EXPECT_EQ(cache.derivations(), 5u);
    // Clearing forgets the keys and the salt encryption used.
    cache.clear();
    EXPECT_EQ(cache.size(), 0u);
    ASSERT_TRUE(cache.encryptionKeys(bytesOf(one), kCheap, after, opened));
    EXPECT_NE(after, s1);
}

TEST(KeyCache, StaysBoundedEvictingTheLeastRecentlyUsed)
{
    KeyCache cache(3);
    const std::string keys[] = {"a", "b", "c", "d"};
    FileKeys out {};
    // "a" is fresh again when "d" pushes out "b"; then "a" is still there and "b" is derived anew.
    for (const int i : {0, 1, 2, 0, 3, 0})
        ASSERT_TRUE(cache.keysFor(bytesOf(keys[i]), Salt {}, kCheap, out));
    EXPECT_EQ(cache.size(), 3u);
    EXPECT_EQ(cache.derivations(), 4u);
    ASSERT_TRUE(cache.keysFor(bytesOf(keys[1]), Salt {}, kCheap, out));
    EXPECT_EQ(cache.derivations(), 5u);
}
