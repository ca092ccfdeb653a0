#include "fileutil/SafeReplace.h"

#include "fileutil/TempFile.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mv;
using namespace mvtest;

namespace {

class SafeReplaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeAll(source, original)); }

    QString at(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }

    // Writes `fresh` into the temporary file, as the engine would.
    Producer writer()
    {
        return [this](const QString& temp) {
            ++produced;
            seenTemp = temp;
            return writeAll(temp, fresh) ? ProduceResult::written()
                                         : ProduceResult::failed(-1, QStringLiteral("write"));
        };
    }

    ReplaceOutcome replace(const FaultInjector* faults = nullptr)
    {
        return replaceFile(source, target, writer(), faults);
    }

    QTemporaryDir dir;
    QString source = at("photo.jpg");
    QString target = at("photo_jpg.mv$");
    QByteArray original = patterned(50000, 3);
    QByteArray fresh = patterned(50123, 9);
    QString seenTemp;
    int produced = 0;
};

int holdOpen(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
}

off_t sizeThrough(int fd)
{
    struct stat st {};
    ::fstat(fd, &st);
    return st.st_size;
}

TEST_F(SafeReplaceTest, PutsTheNewFileInPlaceWithTheSourcesAttributesAndWipesTheSource)
{
    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0640), 0);
    const struct timespec times[2] = {{1000000000, 5}, {1111111111, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);

    const ReplaceOutcome out = replace();

    ASSERT_TRUE(out.replaced()) << out.error.message().toStdString();
    EXPECT_TRUE(out.targetInPlace);
    EXPECT_TRUE(out.leftover.isEmpty());
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo_jpg.mv$")});
    const struct stat st = lstatOf(target);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1111111111);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(folderOf(seenTemp), dir.path() + QLatin1Char('/'));
    EXPECT_TRUE(seenTemp.mid(seenTemp.lastIndexOf('/') + 1).startsWith(QStringLiteral(".mv-")));
}

TEST_F(SafeReplaceTest, ReadOnlySourceGivesAReadOnlyNewFile)
{
    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0444), 0);
    const ReplaceOutcome out = replace();
    ASSERT_TRUE(out.replaced()) << out.error.message().toStdString();
    EXPECT_EQ(lstatOf(target).st_mode & 07777, 0444u);
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_FALSE(exists(source));
}

TEST_F(SafeReplaceTest, DeclineLeavesTheSourceAndNoTemporaryFile)
{
    const Producer leavesTemp = [](const QString& temp) {
        writeAll(temp, "half");
        return ProduceResult::declined(0, QStringLiteral("already encrypted"));
    };
    const Producer removesTemp = [](const QString& temp) {
        QFile::remove(temp);
        return ProduceResult::declined(0, QStringLiteral("already encrypted"));
    };
    for (const Producer& produce : {leavesTemp, removesTemp}) {
        const ReplaceOutcome out = replaceFile(source, target, produce);
        EXPECT_EQ(out.kind, ReplaceOutcome::Declined);
        EXPECT_EQ(out.step, ReplaceStep::Produce);
        EXPECT_EQ(out.producerCode, 0);
        EXPECT_EQ(out.error.reason, QStringLiteral("already encrypted"));
        EXPECT_TRUE(out.leftover.isEmpty());
        EXPECT_EQ(readAll(source), original);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
    }
}

TEST_F(SafeReplaceTest, ProducerFailureIsReportedInItsOwnWords)
{
    const ReplaceOutcome out = replaceFile(source, target, [](const QString& temp) {
        writeAll(temp, "partial plaintext");
        return ProduceResult::failed(-1, QStringLiteral("damaged or truncated"));
    });
    EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
    EXPECT_EQ(out.step, ReplaceStep::Produce);
    EXPECT_EQ(out.producerCode, -1);
    EXPECT_EQ(out.error.message(), QStringLiteral("write new file: damaged or truncated"));
    EXPECT_FALSE(out.targetInPlace);
    EXPECT_EQ(readAll(source), original);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
}

class SafeReplaceFaultTest : public SafeReplaceTest,
                             public ::testing::WithParamInterface<ReplaceStep> {};

TEST_P(SafeReplaceFaultTest, AFailingStepNeverLosesDataNorLeavesATemporaryFile)
{
    const ReplaceStep failing = GetParam();
    const FaultInjector faults = [failing](ReplaceStep s) { return s == failing ? EIO : 0; };

    const ReplaceOutcome out = replace(&faults);

    EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
    EXPECT_EQ(out.step, failing);
    EXPECT_EQ(out.error.error, EIO);
    EXPECT_EQ(out.error.message(), replaceStepText(failing) + QStringLiteral(": Input/output error"));
    EXPECT_TRUE(out.leftover.isEmpty());
    EXPECT_EQ(readAll(source), original);  // never wiped: every failure comes before that
    const bool late = failing == ReplaceStep::FlushFolder || failing == ReplaceStep::WipeSource;
    EXPECT_EQ(out.targetInPlace, late);
    EXPECT_EQ(produced, failing > ReplaceStep::Produce ? 1 : 0);
    if (late) {
        EXPECT_EQ(readAll(target), fresh);
        EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("photo.jpg"), QStringLiteral("photo_jpg.mv$")}));
    } else {
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
    }
}

INSTANTIATE_TEST_SUITE_P(EachStep, SafeReplaceFaultTest,
                         ::testing::Values(ReplaceStep::CheckPaths, ReplaceStep::CreateTemp,
                                           ReplaceStep::Produce, ReplaceStep::CopyAttributes,
                                           ReplaceStep::FlushTemp, ReplaceStep::Rename,
                                           ReplaceStep::FlushFolder, ReplaceStep::WipeSource));

TEST_F(SafeReplaceTest, ReplacesAnExistingTargetAndClearsItsOldContents)
{
    ASSERT_TRUE(writeAll(target, patterned(40000, 1)));
    const int oldTarget = holdOpen(target);
    ASSERT_GE(oldTarget, 0);

    const ReplaceOutcome out = replace();

    ASSERT_TRUE(out.replaced()) << out.error.message().toStdString();
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(sizeThrough(oldTarget), 0);  // the displaced file was cleared, not just unlinked
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo_jpg.mv$")});
    ::close(oldTarget);
}

TEST_F(SafeReplaceTest, FailingToClearTheOldTargetKeepsSourceAndNewFile)
{
    ASSERT_TRUE(writeAll(target, patterned(40000, 1)));
    const FaultInjector faults = [](ReplaceStep s) { return s == ReplaceStep::WipeOldTarget ? EIO : 0; };
    const ReplaceOutcome out = replace(&faults);
    EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
    EXPECT_EQ(out.step, ReplaceStep::WipeOldTarget);
    EXPECT_TRUE(out.targetInPlace);
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(readAll(source), original);
    EXPECT_EQ(entries(dir.path()).size(), 2);
}

TEST_F(SafeReplaceTest, OldTargetWithAnotherHardLinkKeepsThatLinksData)
{
    const QString other = at("kept.bin");
    ASSERT_TRUE(writeAll(target, patterned(1000, 1)));
    ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(other).constData()), 0);
    ASSERT_TRUE(replace().replaced());
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(readAll(other), patterned(1000, 1));
}

TEST_F(SafeReplaceTest, SameNameIsReplacedInPlaceAndTheOldContentsCleared)
{
    // Decrypting a file whose name has no encrypted suffix: the plain name is its own.
    for (const QString& spelledSource : {source, dir.path() + QStringLiteral("/./photo.jpg")}) {
        ASSERT_TRUE(writeAll(source, original));
        ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0604), 0);
        const int old = holdOpen(source);

        const ReplaceOutcome out = replaceFile(spelledSource, source, writer());

        ASSERT_TRUE(out.replaced()) << out.error.message().toStdString();
        EXPECT_EQ(readAll(source), fresh);
        EXPECT_EQ(lstatOf(source).st_mode & 07777, 0604u);
        EXPECT_EQ(sizeThrough(old), 0);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
        ::close(old);
    }
}

TEST_F(SafeReplaceTest, RefusesLinksFoldersAndHardLinkedSourcesBeforeWritingAnything)
{
    const QString link = at("link.jpg");
    const QString sub = at("sub");
    const QString twin = at("twin.jpg");
    ASSERT_EQ(::symlink("photo.jpg", QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(QDir().mkdir(sub));
    const QStringList before = entries(dir.path());

    struct Case {
        QString source, target, reason;
    };
    const Case cases[] = {
        {link, at("link_jpg.mv$"), QStringLiteral("the source is a symbolic link")},
        {sub, at("sub.mv%"), QStringLiteral("the source is not a regular file")},
        {source, sub, QStringLiteral("the target is a folder")},
        {source, link, QStringLiteral("the target is a symbolic link")},
    };
    for (const Case& c : cases) {
        const ReplaceOutcome out = replaceFile(c.source, c.target, writer());
        EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
        EXPECT_EQ(out.step, ReplaceStep::CheckPaths);
        EXPECT_EQ(out.error.reason, c.reason);
        EXPECT_EQ(entries(dir.path()), before);
    }
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(twin).constData()), 0);
    EXPECT_EQ(replace().error.reason, QStringLiteral("the source has other hard links"));
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(readAll(source), original);
}

TEST_F(SafeReplaceTest, ATargetThatTurnsIntoAFolderMeanwhileIsRefusedAtTheRename)
{
    const ReplaceOutcome out = replaceFile(source, target, [this](const QString& temp) {
        QDir().mkdir(target);
        return writeAll(temp, fresh) ? ProduceResult::written() : ProduceResult::failed(-1, {});
    });
    EXPECT_EQ(out.step, ReplaceStep::Rename);
    EXPECT_EQ(out.error.reason, QStringLiteral("the target is a folder"));
    EXPECT_EQ(readAll(source), original);
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("photo.jpg"), QStringLiteral("photo_jpg.mv$")}));
    EXPECT_TRUE(entries(target).isEmpty());
}

TEST_F(SafeReplaceTest, MissingTargetFolderFailsAtTheTemporaryFile)
{
    target = at("gone/photo_jpg.mv$");
    const ReplaceOutcome out = replace();
    EXPECT_EQ(out.step, ReplaceStep::CreateTemp);
    EXPECT_EQ(out.error.error, ENOENT);
    EXPECT_EQ(out.error.message(), QStringLiteral("create temporary file: No such file or directory"));
    EXPECT_EQ(readAll(source), original);
}

TEST_F(SafeReplaceTest, FullDiskWhileProducingLeavesTheSourceWhole)
{
    const Producer posixWriter = [this](const QString& temp) {
        const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CLOEXEC);
        qsizetype done = 0;
        int error = 0;
        while (done < fresh.size() && !error) {
            const ssize_t n = ::write(fd, fresh.constData() + done, size_t(fresh.size() - done));
            n < 0 ? void(error = errno) : void(done += n);
        }
        ::close(fd);
        if (!error)
            return ProduceResult::written();
        return ProduceResult::failed(-1, QString::fromUtf8(std::strerror(error)));
    };
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 10000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const ReplaceOutcome out = replaceFile(source, target, posixWriter);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

    EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
    EXPECT_EQ(out.step, ReplaceStep::Produce);
    EXPECT_EQ(out.error.message(), QStringLiteral("write new file: File too large"));
    EXPECT_TRUE(out.leftover.isEmpty());
    EXPECT_EQ(readAll(source), original);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
}

} // namespace
