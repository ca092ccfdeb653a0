// Whole writes and zeroing through writes that are cut short, interrupted or refused.
#include "fileio/FdIo.h"
#include "fileio/FaultyCalls.h"
#include "fileio/RetryInterrupted.h"
#include "fileio/UniqueFd.h"
#include "fileio/ZeroFill.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

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

class FdIoTest : public ::testing::Test {
protected:
    QString at(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    UniqueFd create(const char* name) const
    {
        return UniqueFd(
            ::open(QFile::encodeName(at(name)).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    }
    QTemporaryDir dir;
    const QByteArray data = patterned(100000);
};

// A write cut short is carried on, and one interrupted before it began is made again, until
// every byte is in the file: at the descriptor's offset, at a given one, and zeros alike.
TEST_F(FdIoTest, ShortAndInterruptedWritesAreCompleted)
{
    struct Case {
        const char* name;
        std::size_t shortWrite;
        bool interrupt;
    };
    const Case cases[] = {{"short writes", 777, false}, {"interruptions", 0, true}, {"both", 4096, true}};
    const std::size_t half = std::size_t(data.size() / 2);
    for (const Case& f : cases) {
        FaultyCalls calls;
        calls.shortWrite = f.shortWrite;
        calls.interrupt = f.interrupt;
        UniqueFd plain = create("plain");
        UniqueFd placed = create("placed");
        ASSERT_TRUE(writeFull(plain.get(), data.constData(), std::size_t(data.size()), calls)) << f.name;
        ASSERT_TRUE(pwriteFull(placed.get(), data.constData() + half, data.size() - half, half, calls));
        ASSERT_TRUE(pwriteFull(placed.get(), data.constData(), half, 0, calls));
        EXPECT_EQ(readAll(at("plain")), data) << f.name;
        EXPECT_EQ(readAll(at("placed")), data) << f.name;

        ASSERT_TRUE(zeroWholeFile(placed.get(), calls).ok) << f.name;
        EXPECT_EQ(readAll(at("placed")), QByteArray(data.size(), '\0')) << f.name;
        EXPECT_EQ(calls.interrupted > 0, f.interrupt) << f.name;
        if (f.shortWrite) {
            EXPECT_GE(calls.writes, int(3 * data.size() / qsizetype(f.shortWrite))) << f.name;
        }
    }
}

// A full disk or a failing flush is reported with the system's error, never as success with
// fewer bytes; zeroing says which step it was at.
TEST_F(FdIoTest, AFullDiskOrAFailingFlushIsReportedWithItsError)
{
    FaultyCalls full;
    full.fullAt = 30000;
    full.shortWrite = 7000;
    UniqueFd fd = create("full");
    errno = 0;
    EXPECT_FALSE(writeFull(fd.get(), data.constData(), std::size_t(data.size()), full));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(readAll(at("full")), data.left(30000)); // what fitted, as a disk would keep it

    struct Case {
        const char* name;
        std::int64_t fullAt;
        int failFlush;
        int error;
    };
    const Case cases[] = {{"full disk", 10000, 0, ENOSPC}, {"failing flush", -1, 1, EIO}};
    for (const Case& c : cases) {
        UniqueFd file = create("zeroed");
        ASSERT_TRUE(writeFull(file.get(), data.constData(), std::size_t(data.size())));
        FaultyCalls calls;
        calls.fullAt = c.fullAt;
        calls.failFlush = c.failFlush;
        const Status r = zeroWholeFile(file.get(), calls);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.step, "write zeros") << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(r.reason, errorText(c.error)) << c.name;
    }
}

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
