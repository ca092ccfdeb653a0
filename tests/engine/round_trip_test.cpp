#include "engine_fixture.h"

#include <algorithm>
#include <cstring>

#include <mvengine/engine.h>

namespace {

constexpr const char* kKey = "correct horse battery staple";

bool contains(const Bytes& hay, const Bytes& needle)
{
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

} // namespace

TEST_F(EngineTest, RoundTripIsByteForByteAtEverySizeThatMatters)
{
    // Empty, one byte, around one chunk, around one 1 MiB read block, and a few MiB.
    const std::size_t sizes[] = {0,          1,          kChunk - 1,      kChunk,
                                 kChunk + 1, 16 * kChunk, 16 * kChunk + 1, 3 * 1024 * 1024 + 123};
    for (const std::size_t n : sizes) {
        SCOPED_TRACE(n);
        const Bytes plain = randomBytes(n, static_cast<std::uint32_t>(n));
        const std::string enc = encrypted("f" + std::to_string(n), plain, kKey);
        const Bytes sealed = readFile(enc);
        ASSERT_EQ(sealed.size(), sealedSize(n));
        EXPECT_EQ(std::memcmp(sealed.data(), MV_SIGNATURE, MV_SIGNATURE_LEN), 0);
        if (n >= 64) {
            EXPECT_FALSE(contains(sealed, Bytes(plain.begin(), plain.begin() + 64)));
        }

        const std::string out = path("f" + std::to_string(n) + ".out");
        ASSERT_EQ(eabb(enc.c_str(), out.c_str(), kKey), 1) << lastError();
        EXPECT_EQ(readFile(out), plain);
        EXPECT_STREQ(mv_engine_last_error(), "");
    }
}

TEST_F(EngineTest, KeysAreTakenAsTheirExactBytes)
{
    const Bytes plain = randomBytes(5000);
    const std::string longKey(255, 'k');
    const char* keys[] = {"p\xC3\xA4ssw\xC3\xB6rd \xE2\x82\xAC", longKey.c_str(), " "};
    int i = 0;
    for (const char* key : keys) {
        SCOPED_TRACE(i);
        const std::string enc = encrypted("k" + std::to_string(i), plain, key);
        const std::string out = path("k" + std::to_string(i++) + ".out");
        // Nothing is trimmed, folded or cut: a near miss does not open the file.
        const std::string nearMiss = std::string(key) + " ";
        EXPECT_EQ(eabb(enc.c_str(), out.c_str(), nearMiss.c_str()), 0);
        ASSERT_EQ(eabb(enc.c_str(), out.c_str(), key), 1) << lastError();
        EXPECT_EQ(readFile(out), plain);
    }
}

TEST_F(EngineTest, ProgressReportsEveryBlockUpToTheTotal)
{
    const Bytes plain = randomBytes(3 * 1024 * 1024 + 5);
    writeFile(path("p.plain"), plain);
    struct Seen {
        std::vector<std::uint64_t> done;
        std::uint64_t total = 0;
    } seen;
    auto record = [](std::uint64_t done, std::uint64_t total, void* user) {
        auto* s = static_cast<Seen*>(user);
        s->done.push_back(done);
        s->total = total;
        return 0;
    };
    ASSERT_EQ(mv_encrypt_file(path("p.plain").c_str(), path("p.mve").c_str(), kKey, record, &seen), 1);
    ASSERT_EQ(seen.done.size(), 4u); // three whole 1 MiB blocks and the rest
    EXPECT_TRUE(std::is_sorted(seen.done.begin(), seen.done.end()));
    EXPECT_EQ(seen.done.back(), plain.size());
    EXPECT_EQ(seen.total, plain.size());

    seen = {};
    ASSERT_EQ(mv_decrypt_file(path("p.mve").c_str(), path("p.out").c_str(), kKey, record, &seen), 1);
    EXPECT_EQ(seen.done.back(), sealedSize(plain.size()));
    EXPECT_EQ(seen.total, sealedSize(plain.size()));
    EXPECT_EQ(readFile(path("p.out")), plain);
}

TEST_F(EngineTest, KeyGivenAsBytesMayHoldNul)
{
    const Bytes plain = randomBytes(100);
    writeFile(path("n.plain"), plain);
    const char key[] = {'a', '\0', 'b'};
    ASSERT_EQ(mv_encrypt_file_n(path("n.plain").c_str(), path("n.mve").c_str(), key, sizeof key,
                                nullptr, nullptr), 1);
    // "a" alone is another key.
    EXPECT_EQ(eabb(path("n.mve").c_str(), path("n.out").c_str(), "a"), 0);
    ASSERT_EQ(mv_decrypt_file_n(path("n.mve").c_str(), path("n.out").c_str(), key, sizeof key,
                                nullptr, nullptr), 1);
    EXPECT_EQ(readFile(path("n.out")), plain);
}

TEST_F(EngineTest, MissingOrEmptyKeyIsRefused)
{
    writeFile(path("e.plain"), randomBytes(10));
    EXPECT_EQ(dbac(path("e.plain").c_str(), path("e.mve").c_str(), ""), -1);
    EXPECT_EQ(lastError(), "no key given");
    EXPECT_EQ(dbac(path("e.plain").c_str(), path("e.mve").c_str(), nullptr), -1);
    EXPECT_EQ(eabb(path("e.plain").c_str(), path("e.out").c_str(), nullptr), -1);
    EXPECT_EQ(lastError(), "no key given");
    EXPECT_FALSE(exists(path("e.mve")));
}
