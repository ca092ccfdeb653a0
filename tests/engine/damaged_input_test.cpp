// Damage the one-chunk vectors in vectors/ cannot show: files of several chunks, hostile
// header values, the order the header is judged in, and plain text already written when the
// damage turns up.
#include "engine_fixture.h"

#include <cerrno>

#include <unistd.h>

namespace {

constexpr const char* kKey = "damage";
constexpr const char* kDamaged = "the file is damaged or truncated";
constexpr const char* kBounds = "key derivation parameters out of bounds";

struct Damage {
    const char* what;
    void (*change)(Bytes&);
    bool forged; // a header: changed on purpose, with a CRC that matches
    int result;
    const char* reason;
};

// Applied to a file of three whole chunks and a FINAL one of 100 bytes.
const Damage kDamages[] = {
    {"every whole chunk, FINAL gone", [](Bytes& b) { b.resize(kHeaderSize + 3 * kSealedChunk); }, false, -1,
     kDamaged},
    {"a chunk after FINAL", [](Bytes& b) { b.insert(b.end(), kSealedChunk, 0); }, false, -1, kDamaged},
    {"a later chunk", [](Bytes& b) { b[kHeaderSize + 2 * kSealedChunk + 9] ^= 1; }, false, -1, kDamaged},
    // The version decides the layout, so it is judged before the CRC.
    {"version", [](Bytes& b) { b[kVersionAt] ^= 1; }, false, -1, "unsupported format version"},
    // Nobody without the key can make a matching key check: a forged stream header only
    // ever reads as a wrong key.
    {"stream header", [](Bytes& b) { b[MV_SIGNATURE_LEN + 40] ^= 1; }, true, 0,
     "the key does not open this file"},
    // Honouring these would abort under ASan, or say "out of memory".
    {"memlimit 2^64-1", [](Bytes& b) { putLe(b, kMemAt, ~0ull, 8); }, true, -1, kBounds},
    {"opslimit 2^32-1", [](Bytes& b) { putLe(b, kOpsAt, 0xffffffffu, 4); }, true, -1, kBounds},
};

} // namespace

TEST_F(EngineTest, DamagedInputIsRefusedWithItsReasonAndNoDestination)
{
    const Bytes good = readFile(encrypted("good", randomBytes(3 * kChunk + 100), kKey));
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        Bytes b = good;
        d.change(b);
        if (d.forged)
            fixCrc(b);
        writeFile(path("bad.mve"), b);
        EXPECT_EQ(eabb(path("bad.mve").c_str(), path("bad.out").c_str(), kKey), d.result);
        EXPECT_EQ(lastError(), d.reason);
        EXPECT_FALSE(exists(path("bad.out")));
    }
}

TEST_F(EngineTest, DamageInALaterChunkLeavesNoPartialPlainText)
{
    // By the time chunk 17 fails, 1 MiB of plain text has been written; it must go, even
    // from a second name someone gave the destination meanwhile.
    Bytes b = readFile(encrypted("big", randomBytes(20 * kChunk, 3), kKey));
    b[kHeaderSize + 17 * kSealedChunk + 3] ^= 0x80;
    writeFile(path("bad.mve"), b);
    std::string names[] = {path("bad.out"), path("spy")};
    auto linkOnce = [](std::uint64_t, std::uint64_t, void* user) {
        const auto* n = static_cast<const std::string*>(user);
        return ::link(n[0].c_str(), n[1].c_str()) != 0 && errno != EEXIST ? 1 : 0;
    };
    EXPECT_EQ(mv_decrypt_file(path("bad.mve").c_str(), names[0].c_str(), kKey, linkOnce, names), -1);
    EXPECT_EQ(lastError(), kDamaged);
    EXPECT_FALSE(exists(names[0]));
    ASSERT_TRUE(exists(names[1]));
    EXPECT_TRUE(readFile(names[1]).empty());
}
