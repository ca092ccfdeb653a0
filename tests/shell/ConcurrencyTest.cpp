#include "ConfigFixture.h"

#include "shell/Registry.h"

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

const QString kSettings = QStringLiteral("Settings");

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

// Counts the reads of a known value that came back wrong while writers were busy.
int readWhileWriting(const std::function<bool()>& writersDone)
{
    int wrong = 0;
    while (!writersDone()) {
        if (GetSetting(kSettings, QStringLiteral("Anchor")) != QStringLiteral("here"))
            ++wrong;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // let the writers in
    }
    return wrong;
}

TEST_F(ConcurrencyTest, TwoProcessesWritingLoseNothing)
{
    constexpr int kPerWriter = 80;
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Anchor"), QStringLiteral("here")));
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            ::_exit(writeMany(writer, kPerWriter) ? 0 : 1);  // never back into the test runner
        children.push_back(pid);
    }
    std::vector<int> statuses(children.size(), -1);
    const int wrong = readWhileWriting([&] {
        bool done = true;
        for (size_t i = 0; i < children.size(); ++i) {
            if (statuses[i] == -1 && ::waitpid(children[i], &statuses[i], WNOHANG) == 0)
                statuses[i] = -1;
            done = done && statuses[i] != -1;
        }
        return done;
    });
    for (const int status : statuses) {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(wrong, 0) << "a reader saw the store half written";
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kPerWriter; ++i)
            EXPECT_EQ(GetSetting(kSettings, valueName(writer, i)), QStringLiteral("v%1").arg(i)) << writer << " " << i;
    }
}

TEST_F(ConcurrencyTest, ThreadsWritingLoseNothing)
{
    constexpr int kThreads = 4;
    constexpr int kPerWriter = 30;
    ASSERT_TRUE(SaveSetting(kSettings, QStringLiteral("Anchor"), QStringLiteral("here")));
    std::atomic<int> running = kThreads;
    std::atomic<bool> allOk = true;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            if (!writeMany(10 + t, kPerWriter))
                allOk = false;
            --running;
        });
    }
    const int wrong = readWhileWriting([&] { return running == 0; });
    for (std::thread& t : threads)
        t.join();
    EXPECT_TRUE(allOk);
    EXPECT_EQ(wrong, 0);
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kPerWriter; ++i)
            EXPECT_EQ(GetSetting(kSettings, valueName(10 + t, i)), QStringLiteral("v%1").arg(i));
    }
}

} // namespace
} // namespace mv::shell
