#include "engine_fixture.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include <zlib.h>

#include <mvengine/engine.h>

namespace {

constexpr const char* kKey = "damage";
constexpr std::size_t kCrcAt = kHeaderSize - 4;

class DamagedInputTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        plain_ = randomBytes(3 * kChunk + 100);
        sealed_ = readFile(encrypted("good", plain_, kKey));
        ASSERT_EQ(sealed_.size(), sealedSize(plain_.size()));
    }

    // Decrypts bytes written as a file; returns the result and checks nothing was left.
    int decrypt(const Bytes& bytes, const char* key = kKey)
    {
        writeFile(path("bad.mve"), bytes);
        const int rc = eabb(path("bad.mve").c_str(), path("bad.out").c_str(), key);
        if (rc != 1) {
            EXPECT_FALSE(exists(path("bad.out"))) << "a refused file left a destination";
        }
        return rc;
    }

    Bytes flipped(std::size_t at) const
    {
        Bytes b = sealed_;
        b.at(at) ^= 0x01;
        return b;
    }

    Bytes plain_;
    Bytes sealed_;
};

void fixCrc(Bytes& b)
{
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), b.data(), static_cast<uInt>(kCrcAt));
    for (int i = 0; i < 4; ++i)
        b[kCrcAt + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

} // namespace

TEST_F(DamagedInputTest, WrongKeyIsDeclinedWithNoDestination)
{
    EXPECT_EQ(decrypt(sealed_, "Damage"), 0);
    EXPECT_EQ(lastError(), "the key does not open this file");
    EXPECT_EQ(decrypt(sealed_, ""), 0);
}

TEST_F(DamagedInputTest, PlainFileIsNotOursToDecryptButIsOursToEncrypt)
{
    EXPECT_EQ(decrypt(plain_), -1);
    EXPECT_EQ(lastError(), "not an encrypted file");
    EXPECT_EQ(decrypt({}), -1);
    EXPECT_EQ(lastError(), "not an encrypted file");
    // Almost the signature is not the signature.
    Bytes nearly(sealed_.begin(), sealed_.begin() + MV_SIGNATURE_LEN);
    nearly[70] = '!';
    EXPECT_EQ(decrypt(nearly), -1);
    EXPECT_EQ(lastError(), "not an encrypted file");
    EXPECT_EQ(dbac(path("good.plain").c_str(), path("again.mve").c_str(), kKey), 1);
}

TEST_F(DamagedInputTest, EncryptingAnEncryptedFileIsDeclinedAndWritesNothing)
{
    EXPECT_EQ(dbac(path("good.mve").c_str(), path("twice.mve").c_str(), kKey), 0);
    EXPECT_EQ(lastError(), "the file is already encrypted");
    EXPECT_FALSE(exists(path("twice.mve")));
    EXPECT_EQ(readFile(path("good.mve")), sealed_);
    // The signature alone is enough to be declined.
    writeFile(path("sig"), Bytes(MV_SIGNATURE, MV_SIGNATURE + MV_SIGNATURE_LEN));
    EXPECT_EQ(dbac(path("sig").c_str(), path("sig.mve").c_str(), kKey), 0);
    EXPECT_FALSE(exists(path("sig.mve")));
}

TEST_F(DamagedInputTest, TruncatedFileFailsWithNoDestination)
{
    const std::size_t cuts[] = {
        MV_SIGNATURE_LEN,              // signature only
        MV_SIGNATURE_LEN + 10,         // inside the header
        kHeaderSize,                   // header, no chunk at all
        kHeaderSize + 100,             // inside the first chunk
        kHeaderSize + kSealedChunk,    // at a chunk boundary
        kHeaderSize + 3 * kSealedChunk, // every whole chunk, the FINAL one gone
        sealed_.size() - 1,            // the last byte dropped
    };
    for (const std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(decrypt(Bytes(sealed_.begin(), sealed_.begin() + cut)), -1);
        EXPECT_EQ(lastError(), "the file is damaged or truncated");
    }
}

TEST_F(DamagedInputTest, DataAfterTheFinalChunkFails)
{
    for (const std::size_t extra : {std::size_t{1}, std::size_t{17}, kSealedChunk}) {
        SCOPED_TRACE(extra);
        Bytes b = sealed_;
        b.insert(b.end(), extra, 0);
        EXPECT_EQ(decrypt(b), -1);
        EXPECT_EQ(lastError(), "the file is damaged or truncated");
    }
}

TEST_F(DamagedInputTest, FlippedByteAnywhereAfterTheSignatureFails)
{
    // The header's CRC tells accidental damage from a wrong key, so a flip in the header
    // or the first chunk gives -1 just like one further on; 0 stays "wrong key".
    const std::size_t places[] = {
        MV_SIGNATURE_LEN + 1,              // key derivation algorithm
        MV_SIGNATURE_LEN + 2,              // opslimit
        MV_SIGNATURE_LEN + 20,             // salt
        MV_SIGNATURE_LEN + 40,             // stream header
        kCrcAt - 1,                        // key check
        kCrcAt,                            // the CRC itself
        kHeaderSize + 5,                   // first chunk
        kHeaderSize + kSealedChunk - 1,    // first chunk's tag
        kHeaderSize + 2 * kSealedChunk + 9, // a later chunk
        sealed_.size() - 1,                // the FINAL chunk
    };
    for (const std::size_t at : places) {
        SCOPED_TRACE(at);
        EXPECT_EQ(decrypt(flipped(at)), -1);
        EXPECT_EQ(lastError(), "the file is damaged or truncated");
    }
    EXPECT_EQ(decrypt(flipped(MV_SIGNATURE_LEN)), -1);
    EXPECT_EQ(lastError(), "unsupported format version");
    EXPECT_EQ(decrypt(flipped(3)), -1);
    EXPECT_EQ(lastError(), "not an encrypted file");
}

TEST_F(DamagedInputTest, HeaderForgedWithAGoodCrcLooksLikeAWrongKey)
{
    // Without the key nobody can make a matching key check, so a forged salt or stream
    // header only ever reads as "this key does not open it".
    for (const std::size_t at : {MV_SIGNATURE_LEN + 20, MV_SIGNATURE_LEN + 40}) {
        Bytes b = flipped(at);
        fixCrc(b);
        EXPECT_EQ(decrypt(b), 0);
    }
}

TEST_F(DamagedInputTest, NewerFormatVersionIsRefused)
{
    Bytes b = sealed_;
    b[MV_SIGNATURE_LEN] = 2;
    fixCrc(b);
    EXPECT_EQ(decrypt(b), -1);
    EXPECT_EQ(lastError(), "unsupported format version");
}

TEST_F(DamagedInputTest, DamageInALaterChunkLeavesNoPartialPlainText)
{
    // By the time chunk 17 fails, 1 MiB of plain text has been written; it must go, even
    // from a second name someone gave the destination meanwhile.
    plain_ = randomBytes(20 * kChunk, 3);
    Bytes b = readFile(encrypted("big", plain_, kKey));
    b[kHeaderSize + 17 * kSealedChunk + 3] ^= 0x80;
    writeFile(path("bad.mve"), b);
    const std::string out = path("bad.out");
    const std::string spy = path("spy");
    struct Names {
        const std::string* out;
        const std::string* spy;
    } names{&out, &spy};
    auto linkOnce = [](std::uint64_t, std::uint64_t, void* user) {
        auto* n = static_cast<Names*>(user);
        if (::link(n->out->c_str(), n->spy->c_str()) != 0 && errno != EEXIST)
            return 1;
        return 0;
    };
    EXPECT_EQ(mv_decrypt_file(path("bad.mve").c_str(), out.c_str(), kKey, linkOnce, &names), -1);
    EXPECT_EQ(lastError(), "the file is damaged or truncated");
    EXPECT_FALSE(exists(out));
    ASSERT_TRUE(exists(spy));
    EXPECT_TRUE(readFile(spy).empty());
}
