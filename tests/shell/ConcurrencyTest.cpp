// Writers in other processes and in other threads, while this thread keeps reading.
#include "ConfigFixture.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace mv::shell {
namespace {

using ConcurrencyTest = test::ConfigFixture;
using test::kSettings;

QString valueName(int writer, int i)
{
    return QStringLiteral("w%1-%2").arg(writer).arg(i);
}

bool writeMany(int writer, int count)
{
    bool ok = true;
    for (int i = 0; i < count; ++i)
        ok = SaveSetting(kSettings, valueName(writer, i), QStringLiteral("v%1").arg(i)) && ok;
    return ok;
}

// Reads a known value until the writers are done, then checks that every value written is
// there; a reader must never see the store half written.
void checkReadsAndWrites(const std::function<bool()>& writersDone, const std::vector<int>& writers,
                         int perWriter)
{
    int wrong = 0;
    while (!writersDone()) {
        if (GetSetting(kSettings, "Anchor") != "here")
            ++wrong;
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // let the writers in
    }
    EXPECT_EQ(wrong, 0) << "a reader saw the store half written";
    for (const int writer : writers)
        for (int i = 0; i < perWriter; ++i)
            EXPECT_EQ(GetSetting(kSettings, valueName(writer, i)), QStringLiteral("v%1").arg(i))
                << writer << " " << i;
}

TEST_F(ConcurrencyTest, ProcessesAndThreadsWritingLoseNothing)
{
    ASSERT_TRUE(SaveSetting(kSettings, "Anchor", "here"));
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            ::_exit(writeMany(writer, 80) ? 0 : 1); // never back into the test runner
        children.push_back(pid);
    }
    std::vector<int> statuses(children.size(), -1);
    checkReadsAndWrites(
        [&] {
            bool done = true;
            for (size_t i = 0; i < children.size(); ++i) {
                if (statuses[i] == -1 && ::waitpid(children[i], &statuses[i], WNOHANG) == 0)
                    statuses[i] = -1;
                done = done && statuses[i] != -1;
            }
            return done;
        },
        {0, 1}, 80);
    for (const int status : statuses)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::atomic<int> running = 4;
    std::atomic<bool> allOk = true;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            allOk = writeMany(10 + t, 30) && allOk;
            --running;
        });
    }
    checkReadsAndWrites([&] { return running == 0; }, {10, 11, 12, 13}, 30);
    for (std::thread& t : threads)
        t.join();
    EXPECT_TRUE(allOk);
}

} // namespace
} // namespace mv::shell
