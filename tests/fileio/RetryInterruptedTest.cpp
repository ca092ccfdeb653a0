// A call a signal interrupts is made again, and only then.
#include "fileio/RetryInterrupted.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <pthread.h>

using namespace mv::fileio;
using namespace mvtest;

namespace {

// Whether thread `tid` of this process sleeps in the kernel (state S), as a read on an empty
// pipe does; waits up to five seconds for it.
bool sleepsSoon(pid_t tid)
{
    const QString stat = QStringLiteral("/proc/self/task/%1/stat").arg(tid);
    for (int i = 0; i < 500; ++i) {
        const QByteArray text = readAll(stat);
        const qsizetype close = text.lastIndexOf(')');
        if (close > 0 && text.mid(close + 2, 1) == "S")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A signal caught while a call waits (by a handler installed without SA_RESTART, as a program's
// own handlers may be) is ridden out: the call is made again and its result comes back, for a
// bare call and for a whole read alike. A call that fails for another reason fails at once.
TEST(RetryInterruptedTest, ASignalDuringAWaitingCallIsRiddenOutAndOtherFailuresAreNot)
{
    static std::atomic<int> caught {0};
    struct sigaction quiet {};
    struct sigaction before {};
    quiet.sa_handler = [](int) { ++caught; };
    sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0; // no SA_RESTART: a waiting read ends with EINTR
    ASSERT_EQ(::sigaction(SIGUSR1, &quiet, &before), 0);

    struct Case {
        const char* name;
        std::function<ssize_t(int fd, char* into)> read;
    };
    const Case cases[] = {
        {"a bare read",
         [](int fd, char* into) { return retryInterrupted([&] { return ::read(fd, into, 4); }); }},
        {"a whole read", [](int fd, char* into) { return readFull(fd, into, 4); }},
    };
    for (const Case& c : cases) {
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        UniqueFd readEnd(ends[0]);
        UniqueFd writeEnd(ends[1]);
        caught = 0;
        const pthread_t reader = ::pthread_self();
        const pid_t readerId = ::gettid();
        // The signal comes while the read waits on the empty pipe; the data only once the read
        // waits again.
        std::thread other([&] {
            EXPECT_TRUE(sleepsSoon(readerId));
            ::pthread_kill(reader, SIGUSR1);
            while (caught == 0)
                std::this_thread::yield();
            EXPECT_TRUE(sleepsSoon(readerId));
            EXPECT_TRUE(writeFull(writeEnd.get(), "data", 4));
        });
        char got[4] = {};
        const ssize_t n = c.read(readEnd.get(), got);
        other.join();
        EXPECT_EQ(n, 4) << c.name;
        EXPECT_EQ(QByteArray(got, 4), "data") << c.name;
        EXPECT_EQ(caught.load(), 1) << c.name;
    }
    ASSERT_EQ(::sigaction(SIGUSR1, &before, nullptr), 0);

    int calls = 0;
    char c = 0;
    errno = 0;
    EXPECT_EQ(retryInterrupted([&] {
                  ++calls;
                  return ::read(-1, &c, 1);
              }),
              -1);
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(calls, 1);
}

} // namespace
