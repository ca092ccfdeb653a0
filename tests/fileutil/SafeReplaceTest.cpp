#include "fileutil/SafeReplace.h"

#include "fileio/FaultyCalls.h"
#include "fileio/FdIo.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mv;
using namespace mv::fileutil;
using namespace mvtest;

namespace {

class SafeReplaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeAll(source, original)); }

    QString at(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }

    // Writes `fresh` into the new file, as the engine would, after running `meanwhile`.
    Producer writer(std::function<void()> meanwhile = {})
    {
        return [this, meanwhile](int, int out) {
            ++produced;
            if (meanwhile)
                meanwhile();
            return fileio::writeFull(out, fresh.constData(), size_t(fresh.size()))
                       ? ProduceResult::written()
                       : ProduceResult::failed(-1, FileResult::failure("write", errno));
        };
    }

    ReplaceOutcome replace(const ReplaceOptions& options = {}, std::function<void()> meanwhile = {})
    {
        return replaceFile(source, target, writer(std::move(meanwhile)), options);
    }

    QStringList names() const { return entries(dir.path()); }

    QTemporaryDir dir;
    QString source = at("photo.jpg");
    QString target = at("photo_jpg.mv$");
    QByteArray original = patterned(50000, 3);
    QByteArray fresh = patterned(50123, 9);
    int produced = 0;
};

const QStringList kJustSource {QStringLiteral("photo.jpg")};
const QStringList kJustTarget {QStringLiteral("photo_jpg.mv$")};

int holdOpen(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
}

QByteArray readThrough(int fd)
{
    struct stat st {};
    ::fstat(fd, &st);
    QByteArray bytes(st.st_size, '\0');
    (void)fileio::preadFull(fd, bytes.data(), size_t(bytes.size()), 0);
    return bytes;
}

TEST_F(SafeReplaceTest, PutsTheNewFileInPlaceWithTheSourcesAttributesAndWipesTheSourceOrClearsItInPlace)
{
    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0440), 0);
    const struct timespec times[2] = {{1000000000, 5}, {1111111111, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);

    const ReplaceOutcome out = replace();

    ASSERT_TRUE(out.replaced()) << out.status.message();
    EXPECT_TRUE(out.targetInPlace);
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(names(), kJustTarget);
    const struct stat st = lstatOf(target);
    EXPECT_EQ(st.st_mode & 07777, 0440u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1111111111);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);

    // Decrypting a file whose name has no encrypted suffix: the plain name is its own, and the
    // file is replaced in place, its old contents cleared.
    ASSERT_TRUE(QFile::remove(target));
    for (const QString& spelledSource : {source, dir.path() + QStringLiteral("/./photo.jpg")}) {
        ASSERT_TRUE(writeAll(source, original));
        ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0604), 0);
        const int old = holdOpen(source);

        const ReplaceOutcome inPlace = replaceFile(spelledSource, source, writer());

        ASSERT_TRUE(inPlace.replaced()) << inPlace.status.message();
        EXPECT_EQ(readAll(source), fresh);
        EXPECT_EQ(lstatOf(source).st_mode & 07777, 0604u);
        EXPECT_EQ(readThrough(old), QByteArray());
        EXPECT_EQ(names(), kJustSource);
        ::close(old);
    }
}

TEST_F(SafeReplaceTest, DeclineOrFailureOfTheProducerLeavesTheSourceAndNoNewFile)
{
    for (const ProduceResult& made : {ProduceResult::declined(0, QStringLiteral("already encrypted")),
                                      ProduceResult::failed(-1, QStringLiteral("damaged or truncated"))}) {
        const ReplaceOutcome out =
            replaceFile(source, target, [&](int, int fd) { return (void)!::write(fd, "partial", 7), made; });
        EXPECT_EQ(out.kind,
                  made.kind == ProduceResult::Declined ? ReplaceOutcome::Declined : ReplaceOutcome::Failed);
        EXPECT_EQ(out.step, ReplaceStep::Produce);
        EXPECT_EQ(out.producerCode, made.code);
        EXPECT_EQ(out.status.message(), "write new file: " + made.status.reason);
        EXPECT_EQ(readAll(source), original);
        EXPECT_EQ(names(), kJustSource);
    }
}

class SafeReplaceFaultTest : public SafeReplaceTest, public ::testing::WithParamInterface<ReplaceStep> {};

TEST_P(SafeReplaceFaultTest, AFailingStepNeverLosesDataNorLeavesATemporaryFile)
{
    const ReplaceStep failing = GetParam();
    ReplaceOptions options;
    options.fault = [failing](ReplaceStep s) { return s == failing ? EIO : 0; };
    const ReplaceOutcome out = replace(options);

    EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
    EXPECT_EQ(out.step, failing);
    EXPECT_EQ(out.status.message(), replaceStepText(failing).toStdString() + ": Input/output error");
    EXPECT_TRUE(out.status.leftover.empty());
    EXPECT_EQ(readAll(source), original); // never wiped: every failure comes before that
    const bool late = failing == ReplaceStep::WipeSource;
    EXPECT_EQ(out.targetInPlace, late);
    EXPECT_EQ(produced, failing > ReplaceStep::Produce ? 1 : 0);
    EXPECT_EQ(names(), late ? kJustSource + kJustTarget : kJustSource);
}

INSTANTIATE_TEST_SUITE_P(EachStep, SafeReplaceFaultTest,
                         ::testing::Values(ReplaceStep::CheckPaths, ReplaceStep::Lock,
                                           ReplaceStep::CreateTemp, ReplaceStep::Produce,
                                           ReplaceStep::CheckSource, ReplaceStep::CopyAttributes,
                                           ReplaceStep::PutInPlace, ReplaceStep::WipeSource));

// Two files can map to one target name (file.my_ext and file_my.ext): the second must not
// destroy the first one's encrypted file, nor may a file that appears under the name while
// the new one is written be replaced. Only with the user's consent is it replaced, and
// then its old contents are cleared.
TEST_F(SafeReplaceTest, AnExistingTargetIsReplacedOnlyWithConsent)
{
    ASSERT_TRUE(writeAll(target, patterned(40000, 1)));
    const ReplaceOutcome refused = replace();
    EXPECT_EQ(refused.kind, ReplaceOutcome::TargetExists);
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(readAll(target), patterned(40000, 1));
    EXPECT_EQ(readAll(source), original);

    ASSERT_TRUE(QFile::remove(target));
    const ReplaceOutcome raced = replace({}, [this] { writeAll(target, "someone else's"); });
    EXPECT_EQ(raced.kind, ReplaceOutcome::TargetExists);
    EXPECT_EQ(readAll(target), QByteArray("someone else's"));
    EXPECT_EQ(readAll(source), original);
    EXPECT_EQ(names().size(), 2);

    const int oldTarget = holdOpen(target);
    ReplaceOptions consent;
    consent.replaceExisting = true;
    const ReplaceOutcome out = replace(consent);
    ASSERT_TRUE(out.replaced()) << out.status.message();
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(readThrough(oldTarget), QByteArray()); // cleared, not just unlinked
    EXPECT_EQ(names(), kJustTarget);
    ::close(oldTarget);

    // An old target with another hard link keeps that link's data.
    ASSERT_TRUE(hardLink(target, at("kept.bin")));
    ASSERT_TRUE(writeAll(source, original));
    fresh = patterned(1000, 5);
    ASSERT_TRUE(replace(consent).replaced());
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(readAll(at("kept.bin")), patterned(50123, 9));
}

TEST_F(SafeReplaceTest, RefusesLinksFoldersAndHardLinkedSourcesBeforeWritingAnything)
{
    const QString link = at("link.jpg");
    const QString sub = at("sub");
    const QString twin = at("twin.jpg");
    ASSERT_EQ(::symlink("photo.jpg", QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(QDir().mkdir(sub));
    const QStringList before = names();

    struct Case {
        QString source, target;
        std::string reason;
    };
    const Case cases[] = {
        {link, at("link_jpg.mv$"), "the source is a symbolic link"},
        {sub, at("sub.mv%"), "the source is not a regular file"},
        {source, sub, "the target is a folder"},
        {source, link, "the target is a symbolic link"},
    };
    for (const Case& c : cases) {
        const ReplaceOutcome out = replaceFile(c.source, c.target, writer());
        EXPECT_EQ(out.kind, ReplaceOutcome::Failed);
        EXPECT_EQ(out.status.reason, c.reason);
        EXPECT_EQ(names(), before);
    }
    EXPECT_EQ(replaceFile(source, at("gone/photo_jpg.mv$"), writer()).status.message(),
              "create temporary file: No such file or directory");
    ASSERT_TRUE(hardLink(source, twin));
    EXPECT_EQ(replace().status.reason, "the source has other hard links");
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(readAll(source), original);
}

// A source changed meanwhile is never committed from a mix of old and new bytes, nor wiped: an
// editor saving by renaming a new version over it keeps that version, and the old contents,
// which no name shows any more, are zeroed. A source another run holds is left to it.
TEST_F(SafeReplaceTest, SourceChangedOrHeldDuringTheRunIsNeitherCommittedNorWipedNorLeftReadable)
{
    const ReplaceOutcome appended = replace({}, [this] {
        QFile f(source);
        f.open(QIODevice::Append);
        f.write("more");
    });
    EXPECT_EQ(appended.kind, ReplaceOutcome::SourceChanged);
    EXPECT_EQ(appended.step, ReplaceStep::CheckSource);
    EXPECT_FALSE(appended.targetInPlace);
    EXPECT_EQ(readAll(source), original + "more");
    EXPECT_EQ(names(), kJustSource);

    ASSERT_TRUE(writeAll(source, original));
    const int old = holdOpen(source);
    const QString newer = at("photo.jpg.new");
    const ReplaceOutcome renamed = replace({}, [&] {
        writeAll(newer, "the user's newer version");
        ::rename(QFile::encodeName(newer).constData(), QFile::encodeName(source).constData());
    });
    EXPECT_EQ(renamed.kind, ReplaceOutcome::SourceChanged);
    EXPECT_EQ(renamed.step, ReplaceStep::WipeSource);
    EXPECT_TRUE(renamed.targetInPlace);
    EXPECT_EQ(readAll(source), QByteArray("the user's newer version"));
    EXPECT_EQ(readAll(target), fresh);
    EXPECT_EQ(readThrough(old), QByteArray(original.size(), '\0'));
    ::close(old);

    ASSERT_TRUE(QFile::remove(target));
    produced = 0;
    const int other = holdOpen(source);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const ReplaceOutcome held = replace();
    ::close(other);
    EXPECT_EQ(held.kind, ReplaceOutcome::InUse);
    EXPECT_EQ(held.status.reason, "in use by another run");
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(names(), kJustSource);
}

// Where the new file needs a temporary name and the folder turns read-only meanwhile, the
// file that cannot be removed is named, not left unsaid.
TEST_F(SafeReplaceTest, TemporaryFileThatCannotBeRemovedIsNamed)
{
    FaultyCalls noUnnamedFiles;
    noUnnamedFiles.unnamedRefused = true;
    ReplaceOptions options;
    options.calls = &noUnnamedFiles;
    const QString folder = dir.path();
    const bool named = asOrdinaryUser(folder, [&] {
        const ReplaceOutcome out =
            replace(options, [&] { ::chmod(QFile::encodeName(folder).constData(), 0555); });
        return out.kind == ReplaceOutcome::Failed && out.step == ReplaceStep::PutInPlace &&
               out.status.leftover.rfind(nativePath(folder) + "/.mv-", 0) == 0 &&
               out.status.message().find("left behind: " + out.status.leftover) != std::string::npos &&
               readAll(source) == original;
    });
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_TRUE(named);
    EXPECT_EQ(readAll(source), original);
}

} // namespace
