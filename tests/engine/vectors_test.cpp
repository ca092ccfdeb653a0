// Files written by an earlier engine must keep opening, byte for byte, and damaged ones must
// keep being refused with the same result and reason. The vectors in vectors/ were made once
// and are never re-made: a failure here means people's files no longer read as they did.
#include "engine_fixture.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Vector {
    std::string name, file, keyHex; // the case, the file to decrypt, the key
    int result = 2;
    std::string fileCrc, plainCrc; // as hex; plainCrc "-" where nothing opens
    std::string expect;            // the plain file when result is 1, else the reason
    std::string line;
};

void PrintTo(const Vector& v, std::ostream* os)
{
    *os << v.name;
}

std::string vectorPath(const std::string& name)
{
    return std::string(MV_VECTORS_DIR) + "/" + name;
}

Bytes fromHex(const std::string& s)
{
    Bytes out;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(s.substr(i, 2), nullptr, 16)));
    return out;
}

// One case a line: case file key-hex result crc32(file) crc32(plain)|- plain-file|reason...
std::vector<Vector> readManifest()
{
    std::vector<Vector> cases;
    std::ifstream in(vectorPath("MANIFEST"));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Vector v;
        fields >> v.name >> v.file >> v.keyHex >> v.result >> v.fileCrc >> v.plainCrc;
        std::getline(fields >> std::ws, v.expect);
        v.line = line;
        cases.push_back(v);
    }
    return cases;
}

std::uint32_t crcOf(const std::string& path)
{
    return static_cast<std::uint32_t>(eaac(path.c_str(), 0));
}
std::uint32_t crcValue(const std::string& hex)
{
    return static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
}

class VectorTest : public EngineTest, public ::testing::WithParamInterface<Vector> {};

} // namespace

TEST_P(VectorTest, OpensAsItAlwaysHas)
{
    const Vector& v = GetParam();
    // A field that is no hex number throws, and fails the case too.
    ASSERT_TRUE(v.result != 2 && !v.expect.empty()) << "MANIFEST line cannot be read: " << v.line;
    const Bytes key = fromHex(v.keyHex);
    // Work on a copy, so no fault of the engine can ever harm the committed vector.
    const std::string src = path("in");
    const std::string out = path("out");
    fs::copy_file(vectorPath(v.file), src);
    ASSERT_EQ(crcOf(src), crcValue(v.fileCrc)) << v.file << " is not the file the vector was made as";

    mv_engine_clear_keys(); // derive from scratch, as a new run of the program would
    const int rc = mv_decrypt_file_n(src.c_str(), out.c_str(), key.data(), key.size(), nullptr, nullptr);
    const std::string reason = lastError();
    EXPECT_EQ(rc, v.result) << reason;
    if (v.result == 1) {
        ASSERT_EQ(crcOf(vectorPath(v.expect)), crcValue(v.plainCrc)) << v.expect << " changed";
        EXPECT_EQ(readFile(out), readFile(vectorPath(v.expect)));
    } else {
        EXPECT_EQ(reason, v.expect);
        EXPECT_FALSE(exists(out)) << "a refused file left a destination";
    }
    // Nothing but the source and, when it opened, the plain text: no temporary left over.
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(path("")))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (v.result == 1 ? std::set<std::string> {"in", "out"} : std::set<std::string> {"in"}));
    EXPECT_EQ(crcOf(src), crcValue(v.fileCrc)) << "reading changed the source";
}

INSTANTIATE_TEST_SUITE_P(Manifest, VectorTest, ::testing::ValuesIn(readManifest()),
                         [](const ::testing::TestParamInfo<Vector>& p) { return testName(p.param.name); });
