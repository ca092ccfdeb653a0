// Engine throughput: encryption, decryption and checksum of a large file, and the cost of
// one key derivation. Files live in a scratch folder under TMPDIR; the size in MiB can be
// set with MV_BENCH_MIB (256 by default).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <mvengine/engine.h>

namespace {

constexpr const char* kKey = "benchmark key";

std::string g_dir;
std::string g_plain;
std::string g_sealed;
std::string g_tiny;
std::int64_t g_bytes = 0;

std::string scratch(const std::string& name)
{
    return g_dir + "/" + name;
}

// Random data written a block at a time, so making it costs no memory.
void writeRandomFile(const std::string& path, std::int64_t bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::mt19937_64 gen(42);
    std::vector<std::uint64_t> block(1 << 17);
    for (std::int64_t done = 0; done < bytes;) {
        for (auto& w : block)
            w = gen();
        const auto n = std::min<std::int64_t>(bytes - done, static_cast<std::int64_t>(block.size() * 8));
        out.write(reinterpret_cast<const char*>(block.data()), n);
        done += n;
    }
}

void reportPeakMemory(benchmark::State& state)
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void setUp()
{
    const char* mib = std::getenv("MV_BENCH_MIB");
    g_bytes = (mib ? std::atoll(mib) : 256) << 20;
    std::string pattern = (std::filesystem::temp_directory_path() / "mvbench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    g_dir = pattern;
    g_plain = scratch("plain");
    g_sealed = scratch("sealed");
    g_tiny = scratch("tiny");
    writeRandomFile(g_plain, g_bytes);
    writeRandomFile(g_tiny, 1);
    // The key is derived here once, so the throughput runs measure streaming only.
    if (dbac(g_plain.c_str(), g_sealed.c_str(), kKey) != 1) {
        std::fprintf(stderr, "set-up encryption failed: %s\n", mv_engine_last_error());
        std::exit(2);
    }
}

void BM_Encrypt(benchmark::State& state)
{
    const std::string out = scratch("encrypt.out");
    for (auto _ : state)
        if (dbac(g_plain.c_str(), out.c_str(), kKey) != 1)
            state.SkipWithError(mv_engine_last_error());
    state.SetBytesProcessed(state.iterations() * g_bytes);
    reportPeakMemory(state);
}

void BM_Decrypt(benchmark::State& state)
{
    const std::string out = scratch("decrypt.out");
    for (auto _ : state)
        if (eabb(g_sealed.c_str(), out.c_str(), kKey) != 1)
            state.SkipWithError(mv_engine_last_error());
    state.SetBytesProcessed(state.iterations() * g_bytes);
    reportPeakMemory(state);
}

void BM_Checksum(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(eaac(g_plain.c_str(), 0));
    state.SetBytesProcessed(state.iterations() * g_bytes);
    reportPeakMemory(state);
}

// A one-byte file with the key forgotten each time: one Argon2id run plus a tiny file.
void BM_KeyDerivation(benchmark::State& state)
{
    const std::string out = scratch("tiny.out");
    for (auto _ : state) {
        mv_engine_clear_keys();
        if (dbac(g_tiny.c_str(), out.c_str(), kKey) != 1)
            state.SkipWithError(mv_engine_last_error());
    }
    reportPeakMemory(state);
}

// The same tiny file with the key cached: what BM_KeyDerivation spends besides Argon2id.
void BM_TinyFileCachedKey(benchmark::State& state)
{
    const std::string out = scratch("tiny.out");
    for (auto _ : state)
        if (dbac(g_tiny.c_str(), out.c_str(), kKey) != 1)
            state.SkipWithError(mv_engine_last_error());
}

BENCHMARK(BM_Encrypt)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Decrypt)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Checksum)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KeyDerivation)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TinyFileCachedKey)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    return 0;
}
