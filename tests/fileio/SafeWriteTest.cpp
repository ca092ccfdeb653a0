// The safe-write layer under the faults of a failing disk (FaultyCalls.h). Each durable-output
// case runs with an unnamed output and with a named temporary one, as on a file system without
// unnamed files.
#include "fileio/DurableOutput.h"

#include "fileio/FaultyCalls.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileio/ZeroFill.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <csignal>
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
// every byte is in the file: at a given offset, and zeros alike (at the descriptor's offset the
// durable output's writes below are cut short and interrupted too).
TEST_F(FdIoTest, ShortAndInterruptedWritesAreCompletedAndAFullDiskOrAFailingFlushIsReported)
{
    FaultyCalls cutShort;
    cutShort.shortWrite = 777;
    cutShort.interrupt = true;
    const std::size_t half = std::size_t(data.size() / 2);
    UniqueFd placed = create("placed");
    ASSERT_TRUE(pwriteFull(placed.get(), data.constData() + half, data.size() - half, half, cutShort));
    ASSERT_TRUE(pwriteFull(placed.get(), data.constData(), half, 0, cutShort));
    EXPECT_EQ(readAll(at("placed")), data);
    ASSERT_TRUE(zeroWholeFile(placed.get(), cutShort).ok);
    EXPECT_EQ(readAll(at("placed")), QByteArray(data.size(), '\0'));
    EXPECT_GE(cutShort.interrupted, cutShort.writes);
    EXPECT_GE(cutShort.writes, int(2 * data.size() / 777));

    // A full disk or a failing flush while zeroing is reported with the system's error and
    // the step, never as success with fewer bytes.
    const struct {
        std::int64_t fullAt;
        int failFlush, error;
    } failures[] = {{10000, 0, ENOSPC}, {-1, 1, EIO}};
    for (const auto& c : failures) {
        SCOPED_TRACE(c.error);
        UniqueFd file = create("zeroed");
        ASSERT_TRUE(writeFull(file.get(), data.constData(), std::size_t(data.size())));
        FaultyCalls calls;
        calls.fullAt = c.fullAt;
        calls.failFlush = c.failFlush;
        const Status r = zeroWholeFile(file.get(), calls);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.step, "write zeros");
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.reason, errorText(c.error));
    }
}

class DurableOutputTest : public ::testing::Test {
protected:
    static FaultyCalls calls(bool named)
    {
        FaultyCalls c;
        c.unnamedRefused = named;
        c.shortWrite = 4096; // and the writes are cut short and interrupted all along
        c.interrupt = true;
        return c;
    }
    std::string folder() const { return QFile::encodeName(dir.path()).toStdString(); }

    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/photo_jpg.mv$");
    const QByteArray old = patterned(40000, 1);
    const QByteArray fresh = patterned(50123, 9);
};

class DurableOutputFaultTest : public DurableOutputTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DurableOutputFaultTest, NoFailureLeavesAPartialFileAndTheOldOneStaysWholeUntilReplaced)
{
    struct Case {
        const char* fault;
        std::int64_t fullAt; // the new file's own writes run out of room
        int failFlush;       // 1: the new file's, 2: the folder's, 3: the displaced file's zeros
        int placeError;
        bool oldFile;
        Existing existing;
        const char* step; // nullptr: success
        int error;
        bool placed;
    };
    const Case cases[] = {
        {"none", -1, 0, 0, true, Existing::ReplaceAndClear, nullptr, 0, true},
        {"disk full", 20000, 0, 0, true, Existing::Replace, nullptr, ENOSPC, false},
        {"new file's flush", -1, 1, 0, true, Existing::Replace, "flush new file", EIO, false},
        {"rename", -1, 0, EIO, true, Existing::ReplaceAndClear, "put in place", EIO, false},
        {"rename, no old file", -1, 0, EIO, false, Existing::Keep, "put in place", EIO, false},
        {"name taken", -1, 0, 0, true, Existing::Keep, "put in place", EEXIST, false},
        {"folder's flush", -1, 2, 0, true, Existing::Replace, "flush folder", EIO, true},
        {"old file's zeros", -1, 3, 0, true, Existing::ReplaceAndClear, "clear the replaced file", EIO, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        QFile::remove(target);
        if (c.oldFile) {
            ASSERT_TRUE(writeAll(target, old));
        }
        const int held = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC);
        FaultyCalls faulty = calls(GetParam());
        faulty.fullAt = c.fullAt;
        faulty.failFlush = c.failFlush;
        faulty.placeError = c.placeError;
        {
            DurableOutput out(faulty);
            ASSERT_TRUE(out.create(folder(), 0640, true).ok);
            if (!writeFull(out.fd(), fresh.constData(), std::size_t(fresh.size()), faulty)) {
                EXPECT_EQ(errno, c.error); // the writer gives up; the output goes with it
                continue;
            }
            const Status r = out.commit(QFile::encodeName(target).toStdString(), c.existing);
            EXPECT_EQ(r.ok, c.step == nullptr);
            EXPECT_EQ(r.step, c.step ? c.step : "");
            EXPECT_EQ(r.error, c.error);
            EXPECT_TRUE(r.leftover.empty());
            EXPECT_EQ(out.placed(), c.placed);
        }
        const QStringList left = entries(dir.path());
        EXPECT_EQ(left,
                  c.placed || c.oldFile ? QStringList {QStringLiteral("photo_jpg.mv$")} : QStringList {});
        if (c.placed) {
            EXPECT_EQ(readAll(target), fresh);
            EXPECT_EQ(modeOf(target), 0640u);
        } else if (c.oldFile) {
            EXPECT_EQ(readAll(target), old);
        }
        if (held >= 0 && c.existing == Existing::ReplaceAndClear && c.placed && !c.step) {
            struct stat st {};
            EXPECT_EQ(::fstat(held, &st), 0);
            EXPECT_EQ(st.st_size, 0); // the replaced contents were cleared, not only unlinked
        }
        if (held >= 0)
            ::close(held);
    }
}

// The disk-full case above leaves nothing once the output is dropped; this one follows a
// named temporary file itself: its private contents are zeroed before it goes, and when its
// name cannot be removed, that name is handed back to be shown.
TEST_F(DurableOutputTest, ADiscardedOutputIsZeroedAndARemainingNameIsReported)
{
    FaultyCalls faulty = calls(true);
    faulty.unlinkError = EACCES;
    DurableOutput out(faulty);
    ASSERT_TRUE(out.create(folder(), 0600, true).ok);
    ASSERT_TRUE(writeFull(out.fd(), fresh.constData(), std::size_t(fresh.size())));
    const std::string temp = out.tempPath();
    ASSERT_EQ(temp.rfind(folder() + "/" + kTempPrefix, 0), 0u);

    EXPECT_EQ(out.discard(), temp);
    EXPECT_EQ(readAll(QFile::decodeName(temp.c_str())), QByteArray(fresh.size(), '\0'));
    EXPECT_EQ(out.discard(), ""); // a second call has nothing left to do
}

INSTANTIATE_TEST_SUITE_P(Output, DurableOutputFaultTest, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Named" : "Unnamed"; });

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
// own handlers may be) is ridden out: the call is made again and its result comes back. (A call
// that fails for another reason fails at once: the full disk above would never end otherwise.)
TEST(RetryInterruptedTest, ASignalDuringAWaitingCallIsRiddenOut)
{
    static std::atomic<int> caught {0};
    struct sigaction quiet {};
    struct sigaction before {};
    quiet.sa_handler = [](int) { ++caught; };
    sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0; // no SA_RESTART: a waiting read ends with EINTR
    ASSERT_EQ(::sigaction(SIGUSR1, &quiet, &before), 0);

    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
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
    const ssize_t n = readFull(readEnd.get(), got, 4);
    other.join();
    EXPECT_EQ(n, 4);
    EXPECT_EQ(QByteArray(got, 4), "data");
    EXPECT_EQ(caught.load(), 1);
    ASSERT_EQ(::sigaction(SIGUSR1, &before, nullptr), 0);
}

} // namespace
