#include "engine_fixture.h"

#include <filesystem>

#include <zlib.h>

#include <mvengine/Engine.hpp>
#include <mvengine/engine.h>

TEST_F(EngineTest, ChecksumIsTheCrc32OfZipAndPng)
{
    writeFile(path("digits"), Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    EXPECT_EQ(static_cast<std::uint32_t>(eaac(path("digits").c_str(), 0)), 0xCBF43926u);
    EXPECT_EQ(mv::engine::checksum(path("digits")), 0xCBF43926u);
    EXPECT_EQ(lastError(), "");

    writeFile(path("empty"), {});
    EXPECT_EQ(eaac(path("empty").c_str(), 0), 0);
    EXPECT_EQ(lastError(), "");

    // Several read blocks and a ragged end.
    const Bytes big = randomBytes(5 * 1024 * 1024 + 77);
    writeFile(path("big"), big);
    const uLong expected = crc32(crc32(0L, Z_NULL, 0), big.data(), static_cast<uInt>(big.size()));
    EXPECT_EQ(static_cast<std::uint32_t>(eaac(path("big").c_str(), 0)), expected);
}

TEST_F(EngineTest, ChecksumOfUnreadableFileIsZeroWithAReason)
{
    EXPECT_EQ(eaac(path("missing").c_str(), 0), 0);
    EXPECT_EQ(lastError(), "cannot read the file: No such file or directory");
    std::filesystem::create_directory(path("folder"));
    EXPECT_EQ(eaac(path("folder").c_str(), 0), 0);
    EXPECT_EQ(lastError(), "cannot read the file: not a regular file");
    EXPECT_EQ(eaac(nullptr, 0), 0);
    EXPECT_EQ(lastError(), "no file given");
}
