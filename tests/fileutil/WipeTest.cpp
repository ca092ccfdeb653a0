#include "fileutil/Wipe.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>

using namespace mv;
using namespace mv::fileutil;
using namespace mvtest;

namespace {

class WipeTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString path(const char* name) const { return folder() + QLatin1String(name); }
};

const QRegularExpression kWipeName(QStringLiteral("^\\$MV[A-Z0-9]{6}\\.TMP$"));

TEST_F(WipeTest, WritesZerosInChunksOfExactly32000ThenRemovesTheFile)
{
    const std::pair<int, std::vector<int>> cases[] = {{2 * 32000 + 6000, {32000, 32000, 6000}}, {0, {}}};
    for (const auto& [size, expected] : cases) {
        ASSERT_TRUE(writeAll(path("secret.jpg"), patterned(size)));
        std::vector<int> chunks;
        WipeOptions options;
        options.onChunk = [&](int length) { chunks.push_back(length); };
        const FileResult r = WipeFile(path("secret.jpg"), options);
        EXPECT_TRUE(r.ok) << r.message();
        EXPECT_TRUE(r.message().empty());
        EXPECT_EQ(chunks, expected);
        EXPECT_TRUE(entries(dir.path()).isEmpty()) << entries(dir.path()).join(' ').toStdString();
    }
}

TEST_F(WipeTest, SymbolicLinkIsRemovedAndItsTargetLeftWhole)
{
    const QString target = path("real.txt");
    const QString link = path("link.txt");
    ASSERT_TRUE(writeAll(target, patterned(5000)));
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);

    WipeOptions readOnly;
    readOnly.fault = [](WipeStep s) { return s == WipeStep::RemoveLink ? EROFS : 0; };
    EXPECT_EQ(WipeFile(link, readOnly).message(), "remove link: Read-only file system");
    EXPECT_TRUE(exists(link));

    EXPECT_TRUE(WipeFile(link).ok);
    EXPECT_EQ(readAll(target), patterned(5000));
    EXPECT_EQ(entries(dir.path()), QStringList {QStringLiteral("real.txt")});
}

TEST_F(WipeTest, RefusesWhatIsNoFileOfItsOwnAndLeavesIt)
{
    ASSERT_TRUE(QDir().mkdir(path("sub")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(writeAll(path("a.txt"), patterned(300)));
    ASSERT_EQ(
        ::link(QFile::encodeName(path("a.txt")).constData(), QFile::encodeName(path("b.txt")).constData()),
        0);
    EXPECT_EQ(WipeFile(path("sub")).message(), "check file: is a folder, not a file");
    EXPECT_EQ(WipeFile(path("pipe")).message(), "check file: is not a regular file");
    EXPECT_EQ(WipeFile(path("a.txt")).message(), "check file: has other hard links");
    EXPECT_EQ(entries(dir.path()).size(), 4);
    EXPECT_EQ(readAll(path("b.txt")), patterned(300));

    const FileResult missing = WipeFile(path("nothing-here"));
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.message(), "read file information: No such file or directory");
    int fileNumber = 123;
    EXPECT_FALSE(WipeFileIn(folder(), QStringLiteral(".."), fileNumber).ok);
    EXPECT_EQ(fileNumber, -1);

    // A bare name is refused, whatever the current folder holds.
    ASSERT_TRUE(writeAll(path("bare.txt"), patterned(10)));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const FileResult bare = WipeFile(QStringLiteral("bare.txt"));
    ASSERT_TRUE(QDir::setCurrent(before));
    EXPECT_EQ(bare.reason, "not a full path");
    EXPECT_EQ(readAll(path("bare.txt")), patterned(10));
}

TEST_F(WipeTest, RetriesTheRenameWhenTheRandomNameIsTaken)
{
    ASSERT_TRUE(writeAll(path("x.bin"), patterned(10)));
    int renames = 0;
    WipeOptions taken;
    taken.fault = [&](WipeStep s) { return s == WipeStep::Rename && ++renames < 3 ? EEXIST : 0; };
    EXPECT_TRUE(WipeFile(path("x.bin"), taken).ok);
    EXPECT_EQ(renames, 3);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

// What a failing step must leave behind.
enum class Left {
    Original,
    OriginalWipeName,
    ZerosWipeName,
    EmptyWipeName,
    Nothing
};

struct FaultCase {
    WipeStep step;
    Left left;
};

class WipeFaultTest : public WipeTest, public ::testing::WithParamInterface<FaultCase> {};

// An interrupted wipe never leaves a damaged file under the user's name, where a later run
// would take the zeros for data; once renamed, the result names what is left.
TEST_P(WipeFaultTest, StopsAtTheFailingStepSaysWhyAndNeverLeavesDamageUnderTheName)
{
    const auto [step, left] = GetParam();
    const QString file = path("photo.jpg");
    const QByteArray original = patterned(40000);
    ASSERT_TRUE(writeAll(file, original));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0644), 0); // readable by others
    WipeOptions failing;
    failing.fault = [step = step](WipeStep s) { return s == step ? EIO : 0; };
    const int descriptors = openDescriptors();
    int fileNumber = 99;

    const FileResult r = WipeFileIn(folder(), QStringLiteral("photo.jpg"), fileNumber, failing);

    EXPECT_EQ(fileNumber, -1);
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EIO);
    const std::string why = wipeStepText(step).toStdString() + ": Input/output error";
    const QStringList names = entries(dir.path());
    if (left == Left::Nothing || left == Left::Original) {
        EXPECT_EQ(r.message(), why + (left == Left::Nothing ? " (the contents are already gone)" : ""));
        EXPECT_EQ(names, left == Left::Original ? QStringList {QStringLiteral("photo.jpg")} : QStringList {});
        EXPECT_TRUE(left == Left::Nothing || readAll(file) == original);
        return;
    }
    ASSERT_EQ(names.size(), 1);
    EXPECT_TRUE(kWipeName.match(names[0]).hasMatch()) << names[0].toStdString();
    EXPECT_EQ(r.leftover, nativePath(folder() + names[0]));
    const bool zeroed = left != Left::OriginalWipeName;
    EXPECT_EQ(r.message(), why + (zeroed ? " (the contents are already gone; " : " (") +
                               "left behind: " + r.leftover + ")");
    const QByteArray expected = !zeroed                       ? original
                                : left == Left::ZerosWipeName ? QByteArray(40000, '\0')
                                                              : QByteArray();
    EXPECT_EQ(readAll(folder() + names[0]), expected);
    // Whatever is left under the wipe's name is the owner's alone, its data included.
    struct stat leftover {};
    ASSERT_EQ(::stat(QFile::encodeName(folder() + names[0]).constData(), &leftover), 0);
    EXPECT_EQ(leftover.st_mode & 07777, step == WipeStep::MakeWritable ? 0644u : 0600u);
}

const FaultCase kFaults[] = {{WipeStep::OpenFolder, Left::Original},
                             {WipeStep::Inspect, Left::Original},
                             {WipeStep::Open, Left::Original},
                             {WipeStep::Check, Left::Original},
                             {WipeStep::Lock, Left::Original},
                             {WipeStep::Rename, Left::Original},
                             {WipeStep::MakeWritable, Left::OriginalWipeName},
                             {WipeStep::OpenForWriting, Left::OriginalWipeName},
                             {WipeStep::WriteZeros, Left::OriginalWipeName},
                             {WipeStep::Flush, Left::ZerosWipeName},
                             {WipeStep::Truncate, Left::ZerosWipeName},
                             {WipeStep::Close, Left::EmptyWipeName},
                             {WipeStep::Delete, Left::EmptyWipeName},
                             {WipeStep::FlushFolder, Left::Nothing}};
INSTANTIATE_TEST_SUITE_P(EachStep, WipeFaultTest, ::testing::ValuesIn(kFaults));

// A folder that refuses the rename (read-only, or sticky and not ours) fails the wipe before
// a single byte is zeroed.
TEST_F(WipeTest, ReadOnlyFolderFailsBeforeAnyByteIsZeroed)
{
    const QString file = path("keep.txt");
    ASSERT_TRUE(writeAll(file, patterned(5000)));
    const bool failedWhole = asOrdinaryUser(dir.path(), [&] {
        ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
        const FileResult r = WipeFile(file);
        return !r.ok && r.error == EACCES && r.step == "rename to a meaningless name" &&
               readAll(file) == patterned(5000);
    });
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_TRUE(failedWhole);
    EXPECT_EQ(readAll(file), patterned(5000));
}

// Only the stretches holding data are zeroed: filling the holes of a large sparse file would
// run a small disk full and leave the secret readable.
TEST_F(WipeTest, SparseFileIsZeroedWithoutFillingItsHoles)
{
    const QString file = path("sparse.img");
    const qint64 size = qint64(1) << 30;
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(patterned(4096)), 4096);
        ASSERT_TRUE(f.seek(size - 4096));
        ASSERT_EQ(f.write(patterned(4096, 5)), 4096);
    }
    qint64 written = 0;
    QByteArray seen;
    WipeOptions options;
    options.onChunk = [&](int length) { written += length; };
    options.fault = [&](WipeStep s) {
        if (s == WipeStep::Truncate) { // look at the file just before it is cut
            QFile f(folder() + entries(dir.path()).value(0));
            if (f.open(QIODevice::ReadOnly)) {
                seen = f.read(4096);
                if (f.seek(size - 4096))
                    seen += f.read(4096);
            }
        }
        return 0;
    };

    const FileResult r = WipeFile(file, options);

    ASSERT_TRUE(r.ok) << r.message();
    EXPECT_LT(written, qint64(1) << 20); // the data, not the gigabyte
    EXPECT_EQ(seen, QByteArray(8192, '\0'));
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

// A file another run holds is not wiped from under it.
TEST_F(WipeTest, FileInUseByAnotherRunIsLeftWhole)
{
    const QString file = path("busy.txt");
    ASSERT_TRUE(writeAll(file, patterned(100)));
    const int held = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const FileResult r = WipeFile(file);
    ::close(held);
    EXPECT_EQ(r.message(), "lock file: in use by another run");
    EXPECT_EQ(readAll(file), patterned(100));
}

} // namespace
