#include "engine_fixture.h"

#include <atomic>
#include <thread>

#include <mvengine/engine.h>

TEST_F(EngineTest, ManyThreadsEncryptAndDecryptAtOnce)
{
    // Two keys across six threads: the cache, the salts and the per-thread reasons are
    // all shared or contended at once.
    constexpr int kThreads = 6;
    std::vector<Bytes> plains;
    for (int i = 0; i < kThreads; ++i)
        plains.push_back(randomBytes(200000 + static_cast<std::size_t>(i) * 1000,
                                     static_cast<std::uint32_t>(i)));
    for (int i = 0; i < kThreads; ++i)
        writeFile(path("t" + std::to_string(i)), plains[static_cast<std::size_t>(i)]);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            const std::string n = path("t" + std::to_string(i));
            const char* key = i % 2 ? "odd" : "even";
            const char* wrong = i % 2 ? "even" : "odd";
            for (int round = 0; round < 3; ++round) {
                if (dbac(n.c_str(), (n + ".mve").c_str(), key) != 1
                    || eabb((n + ".mve").c_str(), (n + ".x").c_str(), wrong) != 0
                    || std::string(mv_engine_last_error()) != "the key does not open this file"
                    || eabb((n + ".mve").c_str(), (n + ".out").c_str(), key) != 1)
                    ++failures;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kThreads; ++i)
        EXPECT_EQ(readFile(path("t" + std::to_string(i) + ".out")), plains[static_cast<std::size_t>(i)]);
}
