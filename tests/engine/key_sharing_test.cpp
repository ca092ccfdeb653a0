// How the engine's own cache shares salts and derived keys between files.
#include "engine_fixture.h"

#include <mvengine/engine.h>

namespace {

constexpr std::size_t kSaltAt = MV_SIGNATURE_LEN + 14;
constexpr std::size_t kStreamAt = kSaltAt + 16;

Bytes field(const Bytes& b, std::size_t at, std::size_t len)
{
    return Bytes(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + len));
}

} // namespace

TEST_F(EngineTest, FilesOfOneKeyShareTheSaltButNeverTheStreamHeader)
{
    mv_engine_clear_keys();
    const Bytes plain = randomBytes(1000);
    const Bytes a = readFile(encrypted("a", plain, "one key"));
    const Bytes b = readFile(encrypted("b", plain, "one key"));
    const Bytes c = readFile(encrypted("c", plain, "another key"));
    EXPECT_EQ(field(a, kSaltAt, 16), field(b, kSaltAt, 16));
    EXPECT_NE(field(a, kStreamAt, 24), field(b, kStreamAt, 24));
    EXPECT_NE(field(a, kHeaderSize, 100), field(b, kHeaderSize, 100)); // no keystream repeats
    EXPECT_NE(field(a, kSaltAt, 16), field(c, kSaltAt, 16));

    mv_engine_clear_keys();
    const Bytes d = readFile(encrypted("d", plain, "one key"));
    EXPECT_NE(field(a, kSaltAt, 16), field(d, kSaltAt, 16));
    // Forgetting keys costs a derivation, never a file.
    for (const char* name : {"a", "b", "d"}) {
        SCOPED_TRACE(name);
        const std::string out = path(std::string(name) + ".out");
        ASSERT_EQ(eabb(path(std::string(name) + ".mve").c_str(), out.c_str(), "one key"), 1);
        EXPECT_EQ(readFile(out), plain);
    }
}
