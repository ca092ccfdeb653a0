// Writers in other processes and in other threads, while this thread keeps reading.
#include "ConfigFixture.h"

#include <atomic>
#include <chrono>
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

// Two processes and four threads write at once while this thread keeps reading a known value:
// a reader must never see the store half written, and no value written may be lost.
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
    std::atomic<int> running = 4;
    std::atomic<bool> allOk = true;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            allOk = writeMany(10 + t, 30) && allOk;
            --running;
        });
    }
    int wrong = 0;
    std::vector<int> statuses(children.size(), -1);
    for (size_t ended = 0; ended < children.size() || running > 0;) {
        if (GetSetting(kSettings, "Anchor") != "here")
            ++wrong;
        for (size_t i = 0; i < children.size(); ++i) {
            int status = 0;
            if (statuses[i] == -1 && ::waitpid(children[i], &status, WNOHANG) > 0) {
                statuses[i] = status;
                ++ended;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // let the writers in
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0) << "a reader saw the store half written";
    EXPECT_TRUE(allOk);
    for (const int status : statuses)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const auto& [writer, count] : {std::pair(0, 80), {1, 80}, {10, 30}, {11, 30}, {12, 30}, {13, 30}})
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(GetSetting(kSettings, valueName(writer, i)), QStringLiteral("v%1").arg(i))
                << writer << " " << i;
}

} // namespace
} // namespace mv::shell
