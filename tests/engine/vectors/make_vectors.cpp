// Made the encrypted files in this folder and their MANIFEST, once, with the engine as it was
// when version 1 of the file format shipped.
//
// RUN IT ONCE; NEVER AGAIN TO "FIX" A FAILING TEST. These files stand for files already on
// people's disks, which nobody will ever re-make. When vectors_test fails, the engine has
// stopped reading files it used to read (or reads them differently): fix the engine, not the
// vectors. A future format gets new vectors with new names beside these; these stay as they are.
//
// It refuses a folder that already holds a MANIFEST. To see what it does, from the top of the
// source tree, with the engine built in build/vec:
//
//   c++ -std=c++20 -Isrc/engine/include tests/engine/vectors/make_vectors.cpp
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
constexpr std::size_t kVersionAt = 71, kAlgorithmAt = 72, kOpslimitAt = 73, kMemlimitAt = 77,
                      kSaltAt = 85, kCrcAt = 141, kHeaderLen = 145;

const std::string kWrongKey = "the key does not open this file";
const std::string kDamaged = "the file is damaged or truncated";

fs::path g_dir;
std::string g_manifest;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

void writeFile(const std::string& name, const Bytes& b)
{
    std::ofstream out(g_dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    if (!out.good())
        throw std::runtime_error("cannot write " + name);
}

Bytes readFile(const std::string& name)
{
    std::ifstream in(g_dir / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string hex(const Bytes& b)
{
    std::string s;
    char buf[3];
    for (const std::uint8_t c : b) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        s += buf;
    }
    return s;
}

std::string crcOf(const std::string& name)
{
    char buf[9];
    const auto crc = static_cast<std::uint32_t>(eaac((g_dir / name).c_str(), 0));
    std::snprintf(buf, sizeof buf, "%08x", crc);
    return buf;
}

void row(const std::string& caseName, const std::string& file, const Bytes& key, int result,
         const std::string& expect)
{
    char line[512];
    const std::string plainCrc = result == 1 ? crcOf(expect) : "-";
    std::snprintf(line, sizeof line, "%-38s %-40s %-32s %2d %s %-8s %s\n", caseName.c_str(),
                  file.c_str(), hex(key).c_str(), result, crcOf(file).c_str(), plainCrc.c_str(),
                  expect.c_str());
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

// A header changed on purpose, as a writer of another version would: its CRC is right.
void fixCrc(Bytes& b)
{
    putLe(b, kCrcAt, crc32(crc32(0L, Z_NULL, 0), b.data(), static_cast<uInt>(kCrcAt)), 4);
}

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
        const Bytes oneByteKey = bytesOf("e");
        const Bytes utf8Key = bytesOf("Schl\xc3\xbcssel \xe9\x8d\xb5");
        const Bytes asciiKey = bytesOf("mirravelnock");
        const Bytes binaryKey = {'p', 'a', 's', 's', 0x00, 'w', 'o', 'r', 'd', 0xff};

        std::string header = "# Format-stability vectors, made once by make_vectors.cpp; never re-made.\n"
                             "# case  file  key(hex)  result  crc32(file)  crc32(plain)|-  "
                             "plain file (result 1) or reason (rest of line)\n";
        good("empty", {}, oneByteKey);                                     // one empty FINAL chunk
        good("onebyte", bytesOf("M"), utf8Key);
        good("onechunk", pseudoRandom(65536, 1), asciiKey);               // full chunk + empty FINAL
        good("multichunk", pseudoRandom(200000, 2), binaryKey);           // 3 full chunks + 3392

        // Keys that are nearly right: nothing is trimmed, folded, normalised or cut at a NUL.
        row("onechunk.wrong-key", "onechunk.mv$", bytesOf("Mirravelnock"), 0, kWrongKey);
        row("onechunk.trailing-space.wrong-key", "onechunk.mv$", bytesOf("mirravelnock "), 0, kWrongKey);
        row("onebyte.decomposed.wrong-key", "onebyte.mv$", bytesOf("Schlu\xcc\x88ssel \xe9\x8d\xb5"), 0,
            kWrongKey);
        row("multichunk.cut-at-nul.wrong-key", "multichunk.mv$", bytesOf("pass"), 0, kWrongKey);

        // Variants of onebyte.mv$, opened with its own key.
        const Bytes base = readFile("onebyte.mv$");
        auto variant = [&](const std::string& name, const Bytes& b, int result, const std::string& why) {
            writeFile(name, b);
            row(name.substr(0, name.size() - 4), name, utf8Key, result, why);
        };
        Bytes b = base;
        b[kSaltAt] ^= 0x01;
        fixCrc(b);
        variant("forged-salt.wrong-key.mv$", b, 0, kWrongKey);

        b = base;
        b[kVersionAt] = 2;
        fixCrc(b);
        variant("bad-version.unsupported.mv$", b, -1, "unsupported format version");
        b = base;
        b[kAlgorithmAt] = 1; // Argon2i
        fixCrc(b);
        variant("bad-algorithm.unsupported.mv$", b, -1, "unsupported key derivation algorithm");
        b = base;
        putLe(b, kOpslimitAt, 11, 4);
        fixCrc(b);
        variant("opslimit-out-of-bounds.unsupported.mv$", b, -1, "key derivation parameters out of bounds");
        b = base;
        putLe(b, kMemlimitAt, 512ull << 20, 8);
        fixCrc(b);
        variant("memlimit-out-of-bounds.unsupported.mv$", b, -1, "key derivation parameters out of bounds");

        variant("signature-only.damaged.mv$", Bytes(base.begin(), base.begin() + 71), -1, kDamaged);
        variant("header-only.damaged.mv$", Bytes(base.begin(), base.begin() + kHeaderLen), -1, kDamaged);
        variant("truncated-after-header.damaged.mv$", Bytes(base.begin(), base.begin() + kHeaderLen + 10),
                -1, kDamaged);
        variant("last-byte-dropped.damaged.mv$", Bytes(base.begin(), base.end() - 1), -1, kDamaged);
        b = base;
        b[kSaltAt + 3] ^= 0x10;
        variant("flipped-header-byte.damaged.mv$", b, -1, kDamaged);
        b = base;
        b[kCrcAt] ^= 0x01;
        variant("header-crc.damaged.mv$", b, -1, kDamaged);
        b = base;
        b[kHeaderLen] ^= 0x01; // the one plain byte, encrypted
        variant("flipped-chunk-byte.damaged.mv$", b, -1, kDamaged);
        b = base;
        b.push_back(0);
        variant("appended-data.damaged.mv$", b, -1, kDamaged);

        // Not ours: plain text, an empty file, and the signature with its last character wrong.
        writeFile("plain.not-encrypted",
                  bytesOf("A plain text file, never encrypted. No line end, so no checkout can change it."));
        row("plain.not-encrypted", "plain.not-encrypted", utf8Key, -1, "not an encrypted file");
        writeFile("empty.not-encrypted", {});
        row("empty.not-encrypted", "empty.not-encrypted", utf8Key, -1, "not an encrypted file");
        b = base;
        b[70] = '!';
        writeFile("near-signature.not-encrypted", b);
        row("near-signature.not-encrypted", "near-signature.not-encrypted", utf8Key, -1,
            "not an encrypted file");

        std::ofstream(g_dir / "MANIFEST") << header << g_manifest;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
