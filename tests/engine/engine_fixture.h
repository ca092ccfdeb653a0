// A scratch folder per test, and small file helpers for the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include <mvengine/engine.h>

using Bytes = std::vector<std::uint8_t>;

// Where the header keeps its fields, after the signature.
inline constexpr std::size_t kVersionAt = MV_SIGNATURE_LEN, kAlgAt = kVersionAt + 1, kOpsAt = kAlgAt + 1,
                             kMemAt = kOpsAt + 4, kSaltAt = kOpsAt + 12, kStreamAt = kSaltAt + 16;
inline constexpr std::size_t kHeaderSize = 145;
inline constexpr std::size_t kCrcAt = kHeaderSize - 4;
inline constexpr std::size_t kChunk = 64 * 1024;
inline constexpr std::size_t kSealedChunk = kChunk + 17;

inline void putLe(Bytes& b, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// A header changed on purpose, as a hostile or newer writer would: its CRC is right.
inline void fixCrc(Bytes& b)
{
    putLe(b, kCrcAt, crc32(crc32(0L, Z_NULL, 0), b.data(), static_cast<uInt>(kCrcAt)), 4);
}

// A case's words as a test name: letters and digits, the rest '_'.
inline std::string testName(std::string words)
{
    for (char& c : words)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return words;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // main() has pointed HOME at a scratch folder; each test gets its own inside it.
        std::string pattern = std::string(std::getenv("HOME")) + "/engine-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    static void writeFile(const std::string& path, const Bytes& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << path;
    }
    static Bytes readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static bool exists(const std::string& path)
    {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    }
    static Bytes randomBytes(std::size_t n, std::uint32_t seed = 7)
    {
        std::mt19937 gen(seed);
        Bytes out(n);
        for (auto& b : out)
            b = static_cast<std::uint8_t>(gen());
        return out;
    }
    static std::string lastError() { return mv_engine_last_error(); }

    // Writes plain to <name>.plain, encrypts it to <name>.mve and returns that path.
    std::string encrypted(const std::string& name, const Bytes& plain, const char* key)
    {
        writeFile(path(name + ".plain"), plain);
        EXPECT_EQ(dbac(path(name + ".plain").c_str(), path(name + ".mve").c_str(), key), 1) << lastError();
        return path(name + ".mve");
    }

    // What an encrypted file of n plain bytes must measure.
    static std::size_t sealedSize(std::size_t n) { return kHeaderSize + n + 17 * (n / kChunk + 1); }

private:
    std::string dir_;
};
