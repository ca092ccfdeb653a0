#include "engine_fixture.h"

#include <zlib.h>

#include <mvengine/engine.h>

#include "format.h"

namespace {

constexpr const char* kKey = "bounds";
constexpr std::size_t kAlgAt = MV_SIGNATURE_LEN + 1;
constexpr std::size_t kOpsAt = MV_SIGNATURE_LEN + 2;
constexpr std::size_t kMemAt = MV_SIGNATURE_LEN + 6;
constexpr std::size_t kCrcAt = kHeaderSize - 4;

void putLe(Bytes& b, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A header as a hostile file could carry it: any values, with a CRC that matches.
Bytes forged(Bytes b, std::uint8_t alg, std::uint32_t ops, std::uint64_t mem)
{
    b[kAlgAt] = alg;
    putLe(b, kOpsAt, ops, 4);
    putLe(b, kMemAt, mem, 8);
    putLe(b, kCrcAt, crc32(crc32(0L, Z_NULL, 0), b.data(), static_cast<uInt>(kCrcAt)), 4);
    return b;
}

} // namespace

TEST_F(EngineTest, HeaderHoldsTheDocumentedParameters)
{
    const Bytes b = readFile(encrypted("doc", randomBytes(10), kKey));
    EXPECT_EQ(b[MV_SIGNATURE_LEN], 1);  // format version
    EXPECT_EQ(b[kAlgAt], 2);            // Argon2id v1.3
    EXPECT_EQ(b[kOpsAt], 3);
    EXPECT_EQ(b[kMemAt + 3], 2);        // 32 MiB = 0x02000000, little-endian
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), b.data(), static_cast<uInt>(kCrcAt));
    EXPECT_EQ(b[kCrcAt], crc & 0xff);
    EXPECT_EQ(b[kCrcAt + 3], crc >> 24);
}

TEST_F(EngineTest, AbsurdKeyDerivationParametersAreRefusedBeforeAnyDerivation)
{
    const Bytes good = readFile(encrypted("good", randomBytes(1000), kKey));
    struct Case {
        std::uint8_t alg;
        std::uint32_t ops;
        std::uint64_t mem;
        const char* reason;
    };
    const Case cases[] = {
        {2, 3, 1ull << 40, "key derivation parameters out of bounds"},
        {2, 3, (256ull << 20) + 1024, "key derivation parameters out of bounds"},
        {2, 3, ~0ull, "key derivation parameters out of bounds"},
        {2, 11, 32ull << 20, "key derivation parameters out of bounds"},
        {2, 0xffffffffu, 32ull << 20, "key derivation parameters out of bounds"},
        {2, 0, 32ull << 20, "key derivation parameters out of bounds"},
        {2, 3, 0, "key derivation parameters out of bounds"},
        {1, 3, 32ull << 20, "unsupported key derivation algorithm"},
        {0, 3, 32ull << 20, "unsupported key derivation algorithm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mem);
        SCOPED_TRACE(c.ops);
        writeFile(path("bad.mve"), forged(good, c.alg, c.ops, c.mem));
        // An attempt to honour 2^40 bytes would abort under ASan, or say "out of memory".
        EXPECT_EQ(eabb(path("bad.mve").c_str(), path("bad.out").c_str(), kKey), -1);
        EXPECT_EQ(lastError(), c.reason);
        EXPECT_FALSE(exists(path("bad.out")));
    }
}

TEST(KdfBounds, AcceptExactlyTheDocumentedRange)
{
    using mv::engine::KdfParams;
    using mv::engine::kdfParamsAcceptable;
    EXPECT_TRUE(kdfParamsAcceptable(KdfParams{2, 1, 8192}));
    EXPECT_TRUE(kdfParamsAcceptable(KdfParams{2, 10, 256ull << 20}));
    EXPECT_TRUE(kdfParamsAcceptable(KdfParams{}));
    EXPECT_FALSE(kdfParamsAcceptable(KdfParams{2, 0, 8192}));
    EXPECT_FALSE(kdfParamsAcceptable(KdfParams{2, 1, 8191}));
    EXPECT_FALSE(kdfParamsAcceptable(KdfParams{2, 11, 8192}));
    EXPECT_FALSE(kdfParamsAcceptable(KdfParams{2, 10, (256ull << 20) + 1}));
}
