#include "engine_fixture.h"

#include <filesystem>
#include <fstream>
#include <random>

#include <mvengine/engine.h>

void EngineTest::SetUp()
{
    // main() has pointed HOME at a scratch folder; each test gets its own inside it.
    std::string pattern = std::string(std::getenv("HOME")) + "/engine-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
}

void EngineTest::TearDown()
{
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void EngineTest::writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

Bytes EngineTest::readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool EngineTest::exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

Bytes EngineTest::randomBytes(std::size_t n, std::uint32_t seed)
{
    std::mt19937 gen(seed);
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(gen());
    return out;
}

std::string EngineTest::lastError()
{
    return mv_engine_last_error();
}

std::string EngineTest::encrypted(const std::string& name, const Bytes& plain, const char* key)
{
    const std::string src = path(name + ".plain");
    const std::string dst = path(name + ".mve");
    writeFile(src, plain);
    EXPECT_EQ(dbac(src.c_str(), dst.c_str(), key), 1) << lastError();
    return dst;
}
