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

#include <fcntl.h>

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

} // namespace
