#include "fileutil/Wipe.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace mv;
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
    const QString file = path("secret.jpg");
    ASSERT_TRUE(writeAll(file, patterned(2 * 32000 + 6000)));
    std::vector<int> chunks;
    WipeOptions options;
    options.onChunk = [&](int length) { chunks.push_back(length); };

    const FileResult r = WipeFile(file, options);

    EXPECT_TRUE(r.ok) << r.message().toStdString();
    EXPECT_TRUE(r.message().isEmpty());
    EXPECT_EQ(chunks, (std::vector<int>{32000, 32000, 6000}));
    EXPECT_TRUE(entries(dir.path()).isEmpty()) << entries(dir.path()).join(' ').toStdString();
}

TEST_F(WipeTest, ZerosReachTheFileUnderAMeaninglessNameBeforeItIsCut)
{
    // Stopping the wipe just before the cut shows what it left on disk.
    const QString file = path("diary.txt");
    ASSERT_TRUE(writeAll(file, patterned(70001)));
    WipeOptions options;
    options.fault = [](WipeStep s) { return s == WipeStep::Truncate ? EIO : 0; };

    const FileResult r = WipeFile(file, options);

    ASSERT_FALSE(r.ok);
    const QStringList left = entries(dir.path());
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(kWipeName.match(left[0]).hasMatch()) << left[0].toStdString();
    EXPECT_EQ(readAll(folder() + left[0]), QByteArray(70001, '\0'));
}

TEST_F(WipeTest, EmptyAndReadOnlyFilesAreWiped)
{
    const QString empty = path("empty");
    const QString readOnly = path("locked.txt");
    ASSERT_TRUE(writeAll(empty, {}));
    ASSERT_TRUE(writeAll(readOnly, patterned(100)));
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    std::vector<int> chunks;
    std::vector<WipeStep> steps;
    WipeOptions options;
    options.onChunk = [&](int length) { chunks.push_back(length); };
    options.fault = [&](WipeStep s) { steps.push_back(s); return 0; };

    EXPECT_TRUE(WipeFile(empty, options).ok);
    EXPECT_TRUE(chunks.empty());
    EXPECT_TRUE(WipeFile(readOnly, options).ok);
    EXPECT_EQ(chunks, std::vector<int>{100});
    EXPECT_EQ(std::count(steps.begin(), steps.end(), WipeStep::MakeWritable), 1);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST_F(WipeTest, SymbolicLinkIsRemovedAndItsTargetLeftWhole)
{
    const QString target = path("real.txt");
    const QString link = path("link.txt");
    ASSERT_TRUE(writeAll(target, patterned(5000)));
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);

    WipeOptions failing;
    failing.fault = [](WipeStep s) { return s == WipeStep::RemoveLink ? EROFS : 0; };
    EXPECT_EQ(WipeFile(link, failing).message(), QStringLiteral("remove link: Read-only file system"));
    EXPECT_TRUE(exists(link));

    EXPECT_TRUE(WipeFile(link).ok);

    EXPECT_FALSE(exists(link));
    EXPECT_EQ(readAll(target), patterned(5000));
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("real.txt")});
}

TEST_F(WipeTest, RefusesFoldersFifosAndHardLinkedFilesAndLeavesThem)
{
    const QString sub = path("sub");
    const QString fifo = path("pipe");
    const QString linked = path("a.txt");
    const QString other = path("b.txt");
    ASSERT_TRUE(QDir().mkdir(sub));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(writeAll(linked, patterned(300)));
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(), QFile::encodeName(other).constData()), 0);

    const FileResult onFolder = WipeFile(sub);
    const FileResult onFifo = WipeFile(fifo);
    const FileResult onLinked = WipeFile(linked);

    EXPECT_EQ(onFolder.message(), QStringLiteral("check file: is a folder, not a file"));
    EXPECT_EQ(onFifo.message(), QStringLiteral("check file: is not a regular file"));
    EXPECT_EQ(onLinked.message(), QStringLiteral("check file: has other hard links"));
    EXPECT_EQ(entries(dir.path()).size(), 4);
    EXPECT_EQ(readAll(other), patterned(300));
}

TEST_F(WipeTest, BareNameAndMissingFileFailClearly)
{
    const QString name = QStringLiteral("bare.txt");
    ASSERT_TRUE(writeAll(path("bare.txt"), patterned(10)));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const FileResult bare = WipeFile(name);
    ASSERT_TRUE(QDir::setCurrent(before));

    EXPECT_FALSE(bare.ok);
    EXPECT_EQ(bare.reason, QStringLiteral("not a full path"));
    EXPECT_EQ(readAll(path("bare.txt")), patterned(10));

    const FileResult missing = WipeFile(path("nothing-here"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.message(), QStringLiteral("read file information: No such file or directory"));

    int fileNumber = 123;
    EXPECT_FALSE(WipeFileIn(folder(), QStringLiteral(".."), fileNumber).ok);
    EXPECT_EQ(fileNumber, -1);
}

TEST_F(WipeTest, RetriesTheRenameWhenTheRandomNameIsTaken)
{
    const QString file = path("x.bin");
    ASSERT_TRUE(writeAll(file, patterned(10)));
    int renames = 0;
    WipeOptions options;
    options.fault = [&](WipeStep s) {
        return s == WipeStep::Rename && ++renames < 3 ? EEXIST : 0;
    };
    EXPECT_TRUE(WipeFile(file, options).ok);
    EXPECT_EQ(renames, 3);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

// What a failing step must leave behind.
enum class Left { Original, ZerosSameName, ZerosWipeName, EmptyWipeName, Nothing };

struct FaultCase {
    WipeStep step;
    Left left;
};

class WipeFaultTest : public WipeTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(WipeFaultTest, StopsAtTheFailingStepSaysWhyAndClosesItsFile)
{
    const auto [step, left] = GetParam();
    const QString file = path("photo.jpg");
    const QByteArray original = patterned(40000);
    ASSERT_TRUE(writeAll(file, original));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);  // visits MakeWritable
    WipeOptions options;
    options.fault = [step = step](WipeStep s) { return s == step ? EIO : 0; };
    const int descriptors = openDescriptors();
    int fileNumber = 99;

    const FileResult r = WipeFileIn(folder(), QStringLiteral("photo.jpg"), fileNumber, options);

    EXPECT_EQ(fileNumber, -1);
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.step, wipeStepText(step));
    EXPECT_EQ(r.error, EIO);
    EXPECT_EQ(r.reason, QStringLiteral("Input/output error"));
    const QStringList names = entries(dir.path());
    if (left == Left::Nothing) {
        EXPECT_TRUE(names.isEmpty());  // the file is gone; only the folder flush failed
        return;
    }
    ASSERT_EQ(names.size(), 1);
    const QByteArray contents = readAll(folder() + names[0]);
    switch (left) {
    case Left::Original:
        EXPECT_EQ(names[0], QStringLiteral("photo.jpg"));
        EXPECT_EQ(contents, original);
        break;
    case Left::ZerosSameName:
        EXPECT_EQ(names[0], QStringLiteral("photo.jpg"));
        EXPECT_EQ(contents, QByteArray(40000, '\0'));
        break;
    case Left::ZerosWipeName:
        EXPECT_TRUE(kWipeName.match(names[0]).hasMatch());
        EXPECT_EQ(contents, QByteArray(40000, '\0'));
        break;
    case Left::EmptyWipeName:
        EXPECT_TRUE(kWipeName.match(names[0]).hasMatch());
        EXPECT_TRUE(contents.isEmpty());
        break;
    case Left::Nothing:
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, WipeFaultTest,
    ::testing::Values(FaultCase{WipeStep::OpenFolder, Left::Original},
                      FaultCase{WipeStep::Inspect, Left::Original},
                      FaultCase{WipeStep::MakeWritable, Left::Original},
                      FaultCase{WipeStep::Open, Left::Original},
                      FaultCase{WipeStep::Check, Left::Original},
                      FaultCase{WipeStep::WriteZeros, Left::Original},
                      FaultCase{WipeStep::Flush, Left::ZerosSameName},
                      FaultCase{WipeStep::Rename, Left::ZerosSameName},
                      FaultCase{WipeStep::Truncate, Left::ZerosWipeName},
                      FaultCase{WipeStep::Close, Left::EmptyWipeName},
                      FaultCase{WipeStep::Delete, Left::EmptyWipeName},
                      FaultCase{WipeStep::FlushFolder, Left::Nothing}));

} // namespace
