// Made the encrypted files in tests/engine/vectors/ and their MANIFEST, once, with the engine as
// it was when version 1 of the file format shipped. No build target compiles it.
//
// RUN IT ONCE; NEVER AGAIN TO "FIX" A FAILING TEST. These files stand for files already on
// people's disks, which nobody will ever re-make. When vectors_test fails, the engine has
// stopped reading files it used to read (or reads them differently): fix the engine, not the
// vectors. A future format gets new vectors with new names beside these; these stay as they are.
//
// It refuses a folder that already holds a MANIFEST. To see what it does, from the top of the
// source tree, with the engine built in build/vec:
//
//   c++ -std=c++20 -Isrc/engine/include scripts/make_vectors.cpp
//       -Lbuild/vec/src/engine -lmvengine -lz -Wl,-rpath,$PWD/build/vec/src/engine
//       -o /tmp/make_vectors                                            (one command)
//   mkdir /tmp/vectors && /tmp/make_vectors /tmp/vectors
//
// The plain contents come from fixed seeds, so a second run makes the same plain files; the
// encrypted ones differ every time (fresh salt and stream header), which is why the committed
// ones, not this program, are the vectors.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include <mvengine/engine.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Header offsets of format version 1.
constexpr std::size_t kVersionAt = 71, kAlgorithmAt = 72, kOpslimitAt = 73, kMemlimitAt = 77, kSaltAt = 85,
                      kCrcAt = 141, kHeaderLen = 145;

const char* const kWrongKey = "the key does not open this file";
const char* const kDamaged = "the file is damaged or truncated";
const char* const kBounds = "key derivation parameters out of bounds";
const char* const kNotOurs = "not an encrypted file";

fs::path g_dir;
std::string g_manifest;

Bytes bytesOf(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

void writeFile(const std::string& name, const Bytes& b)
{
    std::ofstream out(g_dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    if (!out.good())
        throw std::runtime_error("cannot write " + name);
}

std::string crcOf(const std::string& name)
{
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08x", static_cast<std::uint32_t>(eaac((g_dir / name).c_str(), 0)));
    return buf;
}

void row(const std::string& caseName, const std::string& file, const Bytes& key, int result,
         const std::string& expect)
{
    std::string hex;
    char line[512];
    for (const std::uint8_t c : key) {
        std::snprintf(line, sizeof line, "%02x", c);
        hex += line;
    }
    const std::string plainCrc = result == 1 ? crcOf(expect) : "-";
    std::snprintf(line, sizeof line, "%-38s %-40s %-32s %2d %s %-8s %s\n", caseName.c_str(), file.c_str(),
                  hex.c_str(), result, crcOf(file).c_str(), plainCrc.c_str(), expect.c_str());
    g_manifest += line;
}

Bytes pseudoRandom(std::size_t n, std::uint32_t seed)
{
    std::mt19937 gen(seed);
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(gen());
    return out;
}

// Writes <name>.plain, encrypts it to <name>.mv$ with the key and adds the row.
void good(const std::string& name, const Bytes& plain, const Bytes& key)
{
    writeFile(name + ".plain", plain);
    const std::string src = (g_dir / (name + ".plain")).string();
    const std::string dst = (g_dir / (name + ".mv$")).string();
    if (mv_encrypt_file_n(src.c_str(), dst.c_str(), key.data(), key.size(), nullptr, nullptr) != 1)
        throw std::runtime_error(name + ": " + mv_engine_last_error());
    row(name, name + ".mv$", key, 1, name + ".plain");
}

void putLe(Bytes& b, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// A variant of onebyte.mv$, opened with its own key; its file name less ".mv$" is the case.
struct Variant {
    const char* file;
    void (*change)(Bytes&);
    bool fixCrc; // changed on purpose, as a writer of another version would: its CRC is right
    int result;
    const char* why;
};

const Variant kVariants[] = {
    {"forged-salt.wrong-key.mv$", [](Bytes& b) { b[kSaltAt] ^= 0x01; }, true, 0, kWrongKey},
    {"bad-version.unsupported.mv$", [](Bytes& b) { b[kVersionAt] = 2; }, true, -1,
     "unsupported format version"},
    {"bad-algorithm.unsupported.mv$",
     [](Bytes& b) {
         b[kAlgorithmAt] = 1; /* Argon2i */
     },
     true, -1, "unsupported key derivation algorithm"},
    {"opslimit-out-of-bounds.unsupported.mv$", [](Bytes& b) { putLe(b, kOpslimitAt, 11, 4); }, true, -1,
     kBounds},
    {"memlimit-out-of-bounds.unsupported.mv$", [](Bytes& b) { putLe(b, kMemlimitAt, 512ull << 20, 8); }, true,
     -1, kBounds},
    {"signature-only.damaged.mv$", [](Bytes& b) { b.resize(71); }, false, -1, kDamaged},
    {"header-only.damaged.mv$", [](Bytes& b) { b.resize(kHeaderLen); }, false, -1, kDamaged},
    {"truncated-after-header.damaged.mv$", [](Bytes& b) { b.resize(kHeaderLen + 10); }, false, -1, kDamaged},
    {"last-byte-dropped.damaged.mv$", [](Bytes& b) { b.pop_back(); }, false, -1, kDamaged},
    {"flipped-header-byte.damaged.mv$", [](Bytes& b) { b[kSaltAt + 3] ^= 0x10; }, false, -1, kDamaged},
    {"header-crc.damaged.mv$", [](Bytes& b) { b[kCrcAt] ^= 0x01; }, false, -1, kDamaged},
    // The one plain byte, encrypted.
    {"flipped-chunk-byte.damaged.mv$", [](Bytes& b) { b[kHeaderLen] ^= 0x01; }, false, -1, kDamaged},
    {"appended-data.damaged.mv$", [](Bytes& b) { b.push_back(0); }, false, -1, kDamaged},
    // Not ours: plain text, an empty file, and the signature with its last character wrong.
    {"plain.not-encrypted",
     [](Bytes& b) {
         b = bytesOf("A plain text file, never encrypted. No line end, so no checkout can change it.");
     },
     false, -1, kNotOurs},
    {"empty.not-encrypted", [](Bytes& b) { b.clear(); }, false, -1, kNotOurs},
    {"near-signature.not-encrypted", [](Bytes& b) { b[70] = '!'; }, false, -1, kNotOurs},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    g_dir = argv[1];
    if (fs::exists(g_dir / "MANIFEST")) {
        std::fprintf(stderr, "%s already holds vectors; they are never re-made\n", argv[1]);
        return 2;
    }
    try {
        // Different keys: one byte; UTF-8 beyond ASCII (composed u-umlaut, a CJK character);
        // plain ASCII; any bytes, a NUL and a byte that is no UTF-8 among them.
        const Bytes utf8Key = bytesOf("Schl\xc3\xbcssel \xe9\x8d\xb5");
        const Bytes binaryKey = {'p', 'a', 's', 's', 0x00, 'w', 'o', 'r', 'd', 0xff};
        good("empty", {}, bytesOf("e")); // one empty FINAL chunk
        good("onebyte", bytesOf("M"), utf8Key);
        good("onechunk", pseudoRandom(65536, 1), bytesOf("mirravelnock")); // full chunk + empty FINAL
        good("multichunk", pseudoRandom(200000, 2), binaryKey);            // 3 full chunks + 3392

        // Keys that are nearly right: nothing is trimmed, folded, normalised or cut at a NUL.
        row("onechunk.wrong-key", "onechunk.mv$", bytesOf("Mirravelnock"), 0, kWrongKey);
        row("onechunk.trailing-space.wrong-key", "onechunk.mv$", bytesOf("mirravelnock "), 0, kWrongKey);
        row("onebyte.decomposed.wrong-key", "onebyte.mv$", bytesOf("Schlu\xcc\x88ssel \xe9\x8d\xb5"), 0,
            kWrongKey);
        row("multichunk.cut-at-nul.wrong-key", "multichunk.mv$", bytesOf("pass"), 0, kWrongKey);

        std::ifstream in(g_dir / "onebyte.mv$", std::ios::binary);
        const Bytes base {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (const Variant& v : kVariants) {
            Bytes b = base;
            v.change(b);
            if (v.fixCrc)
                putLe(b, kCrcAt, crc32(crc32(0L, Z_NULL, 0), b.data(), static_cast<uInt>(kCrcAt)), 4);
            const std::string file = v.file;
            writeFile(file, b);
            const bool mv = file.size() > 4 && file.compare(file.size() - 4, 4, ".mv$") == 0;
            row(mv ? file.substr(0, file.size() - 4) : file, file, utf8Key, v.result, v.why);
        }
        std::ofstream(g_dir / "MANIFEST")
            << "# Format-stability vectors, made once by make_vectors.cpp; never re-made.\n"
               "# case  file  key(hex)  result  crc32(file)  crc32(plain)|-  "
               "plain file (result 1) or reason (rest of line)\n"
            << g_manifest;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
