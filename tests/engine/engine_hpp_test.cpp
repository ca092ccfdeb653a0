// The checksum, and the C++ interface over the C one.
#include "engine_fixture.h"

#include <mvengine/Engine.hpp>

namespace engine = mv::engine;

TEST_F(EngineTest, ChecksumIsTheCrc32OfZipAndPngOrZeroWithAReason)
{
    writeFile(path("digits"), Bytes {'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    EXPECT_EQ(static_cast<std::uint32_t>(eaac(path("digits").c_str(), 0)), 0xCBF43926u);
    EXPECT_EQ(engine::checksum(path("digits")), 0xCBF43926u);
    EXPECT_EQ(lastError(), "");
    writeFile(path("empty"), {});
    EXPECT_EQ(eaac(path("empty").c_str(), 0), 0);
    EXPECT_EQ(lastError(), "");
    // Several read blocks and a ragged end.
    const Bytes big = randomBytes(5 * 1024 * 1024 + 77);
    writeFile(path("big"), big);
    const uLong expected = crc32(crc32(0L, Z_NULL, 0), big.data(), static_cast<uInt>(big.size()));
    EXPECT_EQ(static_cast<std::uint32_t>(eaac(path("big").c_str(), 0)), expected);

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
    EXPECT_EQ(engine::encryptFile(path("x.plain"), path("x.mve"), "cpp"), engine::Result::Done);
    // The signature alone is enough for a file to be declined as already encrypted.
    writeFile(path("sig"), Bytes(MV_SIGNATURE, MV_SIGNATURE + MV_SIGNATURE_LEN));
    for (const char* name : {"x.mve", "sig"}) {
        EXPECT_EQ(engine::encryptFile(path(name), path("x2.mve"), "cpp"), engine::Result::Declined);
        EXPECT_EQ(engine::lastError(), "the file is already encrypted");
        EXPECT_FALSE(exists(path("x2.mve")));
    }
    EXPECT_EQ(engine::decryptFile(path("x.mve"), path("x.out"), "cpq"), engine::Result::Declined);
    EXPECT_EQ(engine::decryptFile(path("x.plain"), path("x.out"), "cpp"), engine::Result::Failed);
    EXPECT_EQ(engine::lastError(), "not an encrypted file");

    // A string_view need not end in NUL: only its own bytes are the key.
    const std::string longer = "cppXYZ";
    EXPECT_EQ(engine::decryptFile(path("x.mve"), path("x.out"), std::string_view(longer).substr(0, 3)),
              engine::Result::Done);
    EXPECT_EQ(readFile(path("x.out")), plain);
    engine::clearKeys();

    // A path with a NUL inside is refused, not cut short.
    writeFile(path("z"), randomBytes(10));
    const std::string cut = path("z") + std::string("\0.mve", 5);
    EXPECT_EQ(engine::encryptFile(path("z"), cut, "k"), engine::Result::Failed);
    EXPECT_EQ(engine::lastError(), "a file name holds a NUL byte");
    EXPECT_EQ(engine::checksum(cut), 0u);
    EXPECT_EQ(readFile(path("z")), randomBytes(10));
    EXPECT_EQ(engine::checksum(path("z")), static_cast<std::uint32_t>(eaac(path("z").c_str(), 0)));
    EXPECT_EQ(engine::lastError(), "");
}
