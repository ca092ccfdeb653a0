#include "engine_fixture.h"

#include <mvengine/Engine.hpp>

namespace engine = mv::engine;

TEST_F(EngineTest, CppInterfaceGivesTheSameResults)
{
    const Bytes plain = randomBytes(2 * 1024 * 1024 + 9);
    writeFile(path("x.plain"), plain);
    EXPECT_EQ(engine::encryptFile(path("x.plain"), path("x.mve"), "cpp"), engine::Result::Done);
    EXPECT_EQ(engine::encryptFile(path("x.mve"), path("x2.mve"), "cpp"), engine::Result::Declined);
    EXPECT_EQ(engine::lastError(), "the file is already encrypted");
    EXPECT_EQ(engine::decryptFile(path("x.mve"), path("x.out"), "cpq"), engine::Result::Declined);
    EXPECT_EQ(engine::decryptFile(path("x.plain"), path("x.out"), "cpp"), engine::Result::Failed);
    EXPECT_EQ(engine::lastError(), "not an encrypted file");

    // A string_view need not end in NUL: only its own bytes are the key.
    const std::string longer = "cppXYZ";
    EXPECT_EQ(engine::decryptFile(path("x.mve"), path("x.out"), std::string_view(longer).substr(0, 3)),
              engine::Result::Done);
    EXPECT_EQ(readFile(path("x.out")), plain);
    engine::clearKeys();
}

TEST_F(EngineTest, CppProgressCanCancelAndMayNotThrowThrough)
{
    writeFile(path("y.plain"), randomBytes(3 * 1024 * 1024));
    int calls = 0;
    const auto stopSecond = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
    EXPECT_EQ(engine::encryptFile(path("y.plain"), path("y.mve"), "k", stopSecond),
              engine::Result::Failed);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(engine::lastError(), "cancelled");
    EXPECT_FALSE(exists(path("y.mve")));

    const auto throws = [](std::uint64_t, std::uint64_t) -> bool { throw std::runtime_error("x"); };
    EXPECT_EQ(engine::encryptFile(path("y.plain"), path("y.mve"), "k", throws), engine::Result::Failed);
    EXPECT_FALSE(exists(path("y.mve")));
}

TEST_F(EngineTest, CppRefusesAPathWithANulInside)
{
    writeFile(path("z"), randomBytes(10));
    const std::string cut = path("z") + std::string("\0.mve", 5);
    EXPECT_EQ(engine::encryptFile(path("z"), cut, "k"), engine::Result::Failed);
    EXPECT_EQ(engine::lastError(), "a file name holds a NUL byte");
    EXPECT_EQ(engine::checksum(cut), 0u);
    EXPECT_EQ(readFile(path("z")), randomBytes(10));
    EXPECT_EQ(engine::checksum(path("z")), static_cast<std::uint32_t>(eaac(path("z").c_str(), 0)));
    EXPECT_EQ(engine::lastError(), "");
}
