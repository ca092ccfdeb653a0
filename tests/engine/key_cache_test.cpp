// The key cache on its own, with the cheapest Argon2id parameters so derivations are quick.
#include <gtest/gtest.h>

#include <string>

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

} // namespace

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
