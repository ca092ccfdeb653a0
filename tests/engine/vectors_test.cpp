// Files written by an earlier engine must keep opening, byte for byte, and damaged ones must
// keep being refused with the same result and reason. The vectors in vectors/ were made once
// and are never re-made: a failure here means people's files no longer read as they did.
#include "engine_fixture.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include <mvengine/engine.h>

namespace {

namespace fs = std::filesystem;

struct Vector {
    std::string name;   // the case
    std::string file;   // the file to decrypt, in the vectors folder
    Bytes key;
    int result = 0;
    std::uint32_t fileCrc = 0;
    std::optional<std::uint32_t> plainCrc;
    std::string expect; // the plain file when result is 1, else the reason
    std::string error;  // why the line could not be read
};

void PrintTo(const Vector& v, std::ostream* os) { *os << v.name; }

std::string vectorPath(const std::string& name) { return std::string(MV_VECTORS_DIR) + "/" + name; }

bool isHex(const std::string& s, std::size_t size)
{
    return s.size() == size && s.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

std::optional<Bytes> fromHex(const std::string& s)
{
    if (s.size() % 2 != 0 || !isHex(s, s.size()))
        return std::nullopt;
    Bytes out;
    for (std::size_t i = 0; i < s.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(s.substr(i, 2), nullptr, 16)));
    return out;
}

// One case a line: case file key-hex result crc32(file) crc32(plain)|- plain-file|reason...
std::vector<Vector> readManifest()
{
    std::vector<Vector> cases;
    std::ifstream in(vectorPath("MANIFEST"));
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Vector v;
        std::string keyHex, fileCrc, plainCrc;
        fields >> v.name >> v.file >> keyHex >> v.result >> fileCrc >> plainCrc;
        std::getline(fields >> std::ws, v.expect);
        const auto key = fromHex(keyHex);
        if (!fields || v.expect.empty() || !key || !isHex(fileCrc, 8) || (plainCrc != "-" && !isHex(plainCrc, 8)))
            v.error = "MANIFEST line " + std::to_string(n) + " cannot be read: " + line;
        else {
            v.key = *key;
            v.fileCrc = static_cast<std::uint32_t>(std::stoul(fileCrc, nullptr, 16));
            if (plainCrc != "-")
                v.plainCrc = static_cast<std::uint32_t>(std::stoul(plainCrc, nullptr, 16));
        }
        if (v.name.empty())
            v.name = "line" + std::to_string(n);
        cases.push_back(v);
    }
    return cases;
}

std::uint32_t crcOf(const std::string& path) { return static_cast<std::uint32_t>(eaac(path.c_str(), 0)); }

class VectorTest : public EngineTest, public ::testing::WithParamInterface<Vector> {};

} // namespace

TEST_P(VectorTest, OpensAsItAlwaysHas)
{
    const Vector& v = GetParam();
    ASSERT_TRUE(v.error.empty()) << v.error;
    // Work on a copy, so no fault of the engine can ever harm the committed vector.
    const std::string src = path("in");
    const std::string out = path("out");
    fs::copy_file(vectorPath(v.file), src);
    ASSERT_EQ(crcOf(src), v.fileCrc) << v.file << " is not the file the vector was made as";

    mv_engine_clear_keys(); // derive from scratch, as a new run of the program would
    const int rc = mv_decrypt_file_n(src.c_str(), out.c_str(), v.key.data(), v.key.size(), nullptr, nullptr);
    const std::string reason = lastError();
    EXPECT_EQ(rc, v.result) << reason;
    if (v.result == 1) {
        ASSERT_TRUE(v.plainCrc.has_value()) << "a case that opens needs the plain file's CRC";
        ASSERT_EQ(crcOf(vectorPath(v.expect)), *v.plainCrc) << v.expect << " changed";
        EXPECT_EQ(readFile(out), readFile(vectorPath(v.expect)));
        EXPECT_EQ(crcOf(out), *v.plainCrc);
    } else {
        EXPECT_EQ(reason, v.expect);
        EXPECT_FALSE(exists(out)) << "a refused file left a destination";
    }
    // Nothing but the source and, when it opened, the plain text: no temporary left over.
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(path("")))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (v.result == 1 ? std::set<std::string>{"in", "out"} : std::set<std::string>{"in"}));
    EXPECT_EQ(crcOf(src), v.fileCrc) << "reading changed the source";
}

INSTANTIATE_TEST_SUITE_P(Manifest, VectorTest, ::testing::ValuesIn(readManifest()),
                         [](const ::testing::TestParamInfo<Vector>& param) {
                             std::string name = param.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// A file in the folder without a line would be a vector nobody tests; every result should
// stay covered.
TEST(VectorManifest, ListsEveryFileAndEveryResult)
{
    std::set<std::string> listed{"MANIFEST", "make_vectors.cpp"};
    std::set<int> results;
    for (const Vector& v : readManifest()) {
        listed.insert(v.file);
        if (v.result == 1)
            listed.insert(v.expect);
        results.insert(v.result);
    }
    for (const auto& entry : fs::directory_iterator(MV_VECTORS_DIR))
        EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path() << " has no MANIFEST line";
    EXPECT_EQ(results, (std::set<int>{-1, 0, 1}));
}
