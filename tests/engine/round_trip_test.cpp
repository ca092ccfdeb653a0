// Encrypting and decrypting through the C interface: the bytes, the keys, the header written, and
// many threads at once; the checksum, and the C++ interface over the C one.
#include "engine_fixture.h"

#include <mvengine/Engine.hpp>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

namespace {

constexpr const char* kKey = "correct horse battery staple";

Bytes field(const Bytes& b, std::size_t at, std::size_t len)
{
    return Bytes(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + len));
}

} // namespace

TEST_F(EngineTest, RoundTripIsByteForByteAtEverySizeThatMatters)
{
    // Empty, one byte, around one chunk, around one 1 MiB read block, and a few MiB.
    for (const std::size_t n : {std::size_t {0}, std::size_t {1}, kChunk - 1, kChunk, kChunk + 1, 16 * kChunk,
                                16 * kChunk + 1, std::size_t {3 * 1024 * 1024 + 123}}) {
        SCOPED_TRACE(n);
        const Bytes plain = randomBytes(n, static_cast<std::uint32_t>(n));
        const std::string enc = encrypted("f" + std::to_string(n), plain, kKey);
        const Bytes sealed = readFile(enc);
        ASSERT_EQ(sealed.size(), sealedSize(n));
        EXPECT_EQ(std::memcmp(sealed.data(), MV_SIGNATURE, MV_SIGNATURE_LEN), 0);
        EXPECT_TRUE(n < 64 || std::search(sealed.begin(), sealed.end(), plain.begin(), plain.begin() + 64) ==
                                  sealed.end());

        const std::string out = path("f" + std::to_string(n) + ".out");
        ASSERT_EQ(eabb(enc.c_str(), out.c_str(), kKey), 1) << lastError();
        EXPECT_EQ(readFile(out), plain);
        EXPECT_EQ(lastError(), "");
    }
}

TEST_F(EngineTest, KeysAreTheirExactBytesAndNeverEmpty)
{
    const Bytes plain = randomBytes(5000);
    // Nothing is cut, trimmed or folded: the key one space longer does not open the file.
    for (const std::string& key : {std::string(255, 'k'), std::string(" ")}) {
        const std::string name = "k" + std::to_string(key.size());
        const std::string enc = encrypted(name, plain, key.c_str());
        EXPECT_EQ(eabb(enc.c_str(), path(name + ".out").c_str(), (key + " ").c_str()), 0);
        ASSERT_EQ(eabb(enc.c_str(), path(name + ".out").c_str(), key.c_str()), 1) << lastError();
        EXPECT_EQ(readFile(path(name + ".out")), plain);
    }
    // Given as bytes, a key may hold a NUL; "a" alone is another key.
    const char nul[] = {'a', '\0', 'b'};
    const std::string src = path("n.plain"), enc = path("n.mve"), out = path("n.out");
    writeFile(src, plain);
    ASSERT_EQ(mv_encrypt_file_n(src.c_str(), enc.c_str(), nul, sizeof nul, nullptr, nullptr), 1);
    EXPECT_EQ(eabb(enc.c_str(), out.c_str(), "a"), 0);
    ASSERT_EQ(mv_decrypt_file_n(enc.c_str(), out.c_str(), nul, sizeof nul, nullptr, nullptr), 1);
    EXPECT_EQ(readFile(out), plain);

    // No key, or an empty one, encrypts nothing; an empty key opens nothing.
    EXPECT_EQ(dbac(src.c_str(), path("e.mve").c_str(), ""), -1);
    EXPECT_EQ(lastError(), "no key given");
    EXPECT_EQ(dbac(src.c_str(), path("e.mve").c_str(), nullptr), -1);
    EXPECT_EQ(eabb(enc.c_str(), path("e.out").c_str(), nullptr), -1);
    EXPECT_EQ(lastError(), "no key given");
    EXPECT_EQ(eabb(enc.c_str(), path("e.out").c_str(), ""), 0);
    EXPECT_EQ(lastError(), "the key does not open this file");
    EXPECT_FALSE(exists(path("e.mve")));
    EXPECT_FALSE(exists(path("e.out")));
}

// The engine's cache shares a key's salt between files, never the stream header.
TEST_F(EngineTest, HeaderHoldsTheDocumentedParametersAndFilesOfOneKeyShareOnlyTheSalt)
{
    mv_engine_clear_keys();
    const Bytes plain = randomBytes(1000);
    const Bytes a = readFile(encrypted("a", plain, "one key"));
    EXPECT_EQ(a[MV_SIGNATURE_LEN], 1); // format version
    EXPECT_EQ(a[kAlgAt], 2);           // Argon2id v1.3
    // opslimit 3, then memlimit 32 MiB, little-endian.
    EXPECT_EQ(field(a, kOpsAt, 12), (Bytes {3, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0}));

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
    for (const std::string& name : {std::string("a"), std::string("b"), std::string("d")}) {
        ASSERT_EQ(eabb(path(name + ".mve").c_str(), path(name + ".out").c_str(), "one key"), 1) << name;
        EXPECT_EQ(readFile(path(name + ".out")), plain) << name;
    }
}

TEST_F(EngineTest, ManyThreadsEncryptAndDecryptAtOnce)
{
    // Two keys across six threads: the cache, the salts and the per-thread reasons are
    // all shared or contended at once.
    constexpr int kThreads = 6;
    std::vector<Bytes> plains;
    for (int i = 0; i < kThreads; ++i) {
        plains.push_back(
            randomBytes(200000 + static_cast<std::size_t>(i) * 1000, static_cast<std::uint32_t>(i)));
        writeFile(path("t" + std::to_string(i)), plains.back());
    }
    std::atomic<int> failures {0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            const std::string n = path("t" + std::to_string(i));
            const char* key = i % 2 ? "odd" : "even";
            const char* wrong = i % 2 ? "even" : "odd";
            for (int round = 0; round < 3; ++round) {
                if (dbac(n.c_str(), (n + ".mve").c_str(), key) != 1 ||
                    eabb((n + ".mve").c_str(), (n + ".x").c_str(), wrong) != 0 ||
                    std::string(mv_engine_last_error()) != "the key does not open this file" ||
                    eabb((n + ".mve").c_str(), (n + ".out").c_str(), key) != 1)
                    ++failures;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kThreads; ++i)
        EXPECT_EQ(readFile(path("t" + std::to_string(i) + ".out")), plains[static_cast<std::size_t>(i)]);
}

TEST_F(EngineTest, TheKeyCheckAloneTellsWhetherAKeyOpensAFileFromItsHeader)
{
    const std::string file = encrypted("check", randomBytes(3 * kChunk), "right key");
    const Bytes whole = readFile(file);
    // The header alone answers: the contents are never needed.
    const Bytes header(whole.begin(), whole.begin() + kHeaderSize);
    EXPECT_EQ(mv_check_key(header.data(), header.size(), "right key", 9), 1) << lastError();
    EXPECT_EQ(mv_check_key(header.data(), header.size(), "wrong key", 9), 0);
    EXPECT_EQ(lastError(), "the key does not open this file");

    EXPECT_EQ(mv_check_key(header.data(), kHeaderSize - 1, "right key", 9), -1);
    EXPECT_EQ(lastError(), "the file is damaged or truncated");
    Bytes damaged = header;
    damaged[100] ^= 1;
    EXPECT_EQ(mv_check_key(damaged.data(), damaged.size(), "right key", 9), -1);
    const Bytes plain = readFile(path("check.plain"));
    EXPECT_EQ(mv_check_key(plain.data(), kHeaderSize, "right key", 9), -1);
    EXPECT_EQ(lastError(), "not an encrypted file");
}

TEST_F(EngineTest, ChecksumIsTheCrc32OfZipAndPngOrZeroWithAReason)
{
    // Small files are checked on every vector; an empty one is no error, and here several read
    // blocks and a ragged end.
    writeFile(path("empty"), {});
    EXPECT_EQ(eaac(path("empty").c_str(), 0), 0);
    EXPECT_EQ(lastError(), "");
    const Bytes big = randomBytes(5 * 1024 * 1024 + 77);
    writeFile(path("big"), big);
    const uLong expected = crc32(crc32(0L, Z_NULL, 0), big.data(), static_cast<uInt>(big.size()));
    EXPECT_EQ(static_cast<std::uint32_t>(eaac(path("big").c_str(), 0)), expected);
    EXPECT_EQ(mv::engine::checksum(path("big")), expected);
    EXPECT_EQ(lastError(), "");

    std::filesystem::create_directory(path("folder"));
    const std::pair<const char*, const char*> unreadable[] = {
        {"missing", "cannot read the file: No such file or directory"},
        {"folder", "cannot read the file: not a regular file"},
    };
    for (const auto& [name, reason] : unreadable) {
        EXPECT_EQ(eaac(path(name).c_str(), 0), 0);
        EXPECT_EQ(lastError(), reason);
    }
    EXPECT_EQ(eaac(nullptr, 0), 0);
    EXPECT_EQ(lastError(), "no file given");
}

TEST_F(EngineTest, CppInterfaceGivesTheSameResultsAndRefusesAPathWithANulInside)
{
    const Bytes plain = randomBytes(2 * 1024 * 1024 + 9);
    writeFile(path("x.plain"), plain);
    EXPECT_EQ(mv::engine::encryptFile(path("x.plain"), path("x.mve"), "cpp"), mv::engine::Result::Done);
    // The signature alone is enough for a file to be declined as already encrypted.
    writeFile(path("sig"), Bytes(MV_SIGNATURE, MV_SIGNATURE + MV_SIGNATURE_LEN));
    for (const char* name : {"x.mve", "sig"}) {
        EXPECT_EQ(mv::engine::encryptFile(path(name), path("x2.mve"), "cpp"), mv::engine::Result::Declined);
        EXPECT_EQ(mv::engine::lastError(), "the file is already encrypted");
        EXPECT_FALSE(exists(path("x2.mve")));
    }
    EXPECT_EQ(mv::engine::decryptFile(path("x.mve"), path("x.out"), "cpq"), mv::engine::Result::Declined);
    EXPECT_EQ(mv::engine::decryptFile(path("x.plain"), path("x.out"), "cpp"), mv::engine::Result::Failed);
    EXPECT_EQ(mv::engine::lastError(), "not an encrypted file");

    // A string_view need not end in NUL: only its own bytes are the key.
    const std::string longer = "cppXYZ";
    EXPECT_EQ(mv::engine::decryptFile(path("x.mve"), path("x.out"), std::string_view(longer).substr(0, 3)),
              mv::engine::Result::Done);
    EXPECT_EQ(readFile(path("x.out")), plain);
    mv::engine::clearKeys();

    // A path with a NUL inside is refused, not cut short.
    writeFile(path("z"), randomBytes(10));
    const std::string cut = path("z") + std::string("\0.mve", 5);
    EXPECT_EQ(mv::engine::encryptFile(path("z"), cut, "k"), mv::engine::Result::Failed);
    EXPECT_EQ(mv::engine::lastError(), "a file name holds a NUL byte");
    EXPECT_EQ(mv::engine::checksum(cut), 0u);
    EXPECT_EQ(readFile(path("z")), randomBytes(10));
}
