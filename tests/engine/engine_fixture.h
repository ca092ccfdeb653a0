// A scratch folder per test, and small file helpers for the engine tests.
#ifndef MV_TESTS_ENGINE_FIXTURE_H
#define MV_TESTS_ENGINE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kHeaderSize = 145;
inline constexpr std::size_t kChunk = 64 * 1024;
inline constexpr std::size_t kSealedChunk = kChunk + 17;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    static void writeFile(const std::string& path, const Bytes& bytes);
    static Bytes readFile(const std::string& path);
    static bool exists(const std::string& path);
    static Bytes randomBytes(std::size_t n, std::uint32_t seed = 7);
    static std::string lastError();

    // Writes plain to <name>.plain, encrypts it to <name>.mve and returns that path.
    std::string encrypted(const std::string& name, const Bytes& plain, const char* key);

    // What an encrypted file of n plain bytes must measure.
    static std::size_t sealedSize(std::size_t n) { return kHeaderSize + n + 17 * (n / kChunk + 1); }

private:
    std::string dir_;
};

#endif
