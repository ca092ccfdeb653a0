// Replacing a file with a new one made beside it: attributes kept, the source wiped, and under
// every fault no data lost and no temporary file left. Wiping a file, step by step and under
// faults; and what the safe-delete question says about the storage, from a made-up mount table,
// statfs magic number and /sys tree.
#include "fileutil/SafeReplace.h"
#include "fileutil/Wipe.h"
#include "fileutil/WipeReach.h"

#include "fileio/FaultyCalls.h"
#include "fileio/FdIo.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <vector>

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

// Links, folders and a source with other hard links are refused before anything is written; a
// producer that declines or fails leaves the source as it was and no new file.
TEST_F(SafeReplaceTest, RefusalsAndAProducerThatDeclinesOrFailsLeaveTheSourceAndNoNewFile)
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
}

class WipeTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString path(const char* name) const { return folder() + QLatin1String(name); }
};

const QRegularExpression kWipeName(QStringLiteral("^\\$MV[A-Z0-9]{6}\\.TMP$"));

// The rename to a meaningless name is made again while the random name is taken.
TEST_F(WipeTest, WritesZerosInChunksOfExactly32000ThenRemovesTheFile)
{
    const std::pair<int, std::vector<int>> cases[] = {{2 * 32000 + 6000, {32000, 32000, 6000}}, {0, {}}};
    for (const auto& [size, expected] : cases) {
        ASSERT_TRUE(writeAll(path("secret.jpg"), patterned(size)));
        std::vector<int> chunks;
        int renames = 0;
        WipeOptions options;
        options.onChunk = [&](int length) { chunks.push_back(length); };
        options.fault = [&](WipeStep s) { return s == WipeStep::Rename && ++renames < 3 ? EEXIST : 0; };
        const FileResult r = WipeFile(path("secret.jpg"), options);
        EXPECT_TRUE(r.ok) << r.message();
        EXPECT_TRUE(r.message().empty());
        EXPECT_EQ(chunks, expected);
        EXPECT_EQ(renames, 3);
        EXPECT_TRUE(entries(dir.path()).isEmpty()) << entries(dir.path()).join(' ').toStdString();
    }
}

// A symbolic link is removed and its target left whole; what is no file of its own is refused.
TEST_F(WipeTest, SymbolicLinkIsRemovedAndWhatIsNoFileOfItsOwnIsRefusedAndLeft)
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

    ASSERT_TRUE(QDir().mkdir(path("sub")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(writeAll(path("a.txt"), patterned(300)));
    ASSERT_TRUE(hardLink(path("a.txt"), path("b.txt")));
    EXPECT_EQ(WipeFile(path("sub")).message(), "check file: is a folder, not a file");
    EXPECT_EQ(WipeFile(path("pipe")).message(), "check file: is not a regular file");
    EXPECT_EQ(WipeFile(path("a.txt")).message(), "check file: has other hard links");
    EXPECT_EQ(entries(dir.path()).size(), 5);
    EXPECT_EQ(readAll(path("b.txt")), patterned(300));
    // A file another run holds is not wiped from under it.
    ASSERT_TRUE(writeAll(path("busy.txt"), patterned(100)));
    const int held = ::open(QFile::encodeName(path("busy.txt")).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(WipeFile(path("busy.txt")).message(), "lock file: in use by another run");
    ::close(held);
    EXPECT_EQ(readAll(path("busy.txt")), patterned(100));

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

// Only the stretches holding data are zeroed: filling the holes of a large sparse file would
// run a small disk full and leave the secret readable.
TEST_F(WipeTest, SparseFileIsZeroedWithoutFillingItsHoles)
{
    const QString file = path("sparse.img");
    const qint64 size = qint64(1) << 30;
    QFile sparse(file);
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.write(patterned(4096)) == 4096 &&
                sparse.seek(size - 4096) && sparse.write(patterned(4096, 5)) == 4096);
    sparse.close();
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

const QByteArray kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 0:45 / /home rw,relatime shared:2 - btrfs /dev/sda2 rw,ssd,subvol=/\n"
    "31 22 259:3 / /mnt/f2 rw - f2fs /dev/nvme0n1p3 rw\n"
    "33 22 0:50 / /tank rw - zfs tank rw,xattr\n"
    "34 22 0:51 / /net/share rw - nfs4 server:/export rw,vers=4.2\n"
    "36 30 0:53 / /home/u/remote rw,nosuid shared:9 - fuse.sshfs u@host:/ rw,user_id=1000\n"
    "37 22 8:6 / /mnt/journal rw - ext4 /dev/sda6 rw,data=journal\n"
    "38 22 8:7 / /mnt/my\\040disk rw - ext4 /dev/sda7 rw\n"
    "39 22 8:8 / /mnt/stack rw - ext4 /dev/sda8 rw\n"
    "40 39 0:60 / /mnt/stack rw - btrfs /dev/sdb1 rw\n"
    "a line that is not one\n";

StorageFacts facts(const char* path, quint64 magic, unsigned major, unsigned minor,
                   const QString& sysRoot = QStringLiteral("/nonexistent"))
{
    return {QString::fromUtf8(path), magic, major, minor, kMountInfo, sysRoot};
}

const QString kStronger = QStringLiteral("The stronger delete is an encrypted file whose key is forgotten");

// Each kind of file system that does not overwrite in place is found and named once, the
// warning ending with the stronger delete; ext4 on a disk of unknown kind says nothing.
TEST(WipeReachTest, EachKindOfFileSystemIsNamedFromTheMountTableAndMagic)
{
    struct Case {
        StorageFacts facts;
        WipeLimit limit;
        const char* fileSystem;
        const char* mountPoint;
        const char* words;
    };
    const Case cases[] = {
        {facts("/home/u/Pictures", 0x9123683E, 0, 45), WipeLimit::CopyOnWrite, "Btrfs", "/home", "snapshots"},
        {facts("/tank/x", 0, 0, 50), WipeLimit::CopyOnWrite, "ZFS", "/tank", "new places"},
        {facts("/mnt/f2/a", 0xF2F52010, 259, 3), WipeLimit::LogStructured, "F2FS", "/mnt/f2", "every change"},
        {facts("/net/share/p", 0x6969, 0, 51), WipeLimit::Network, "NFS (nfs4)", "/net/share", "server"},
        {facts("/home/u/remote/x", 0x65735546, 0, 53), WipeLimit::Fuse, "FUSE (fuse.sshfs)", "/home/u/remote",
         "run by a program"},
        {facts("/mnt/journal/p", 0xEF53, 8, 6), WipeLimit::DataJournal, "ext4", "/mnt/journal",
         "data=journal"},
        {facts("/mnt/stack/p", 0x9123683E, 0, 60), WipeLimit::CopyOnWrite, "Btrfs", "/mnt/stack", "Btrfs"},
        {facts("/mnt/stack/p", 0xEF53, 8, 8), WipeLimit::None, "", "/mnt/stack", ""},
        {facts("/mnt/my disk/p", 0xEF53, 8, 7), WipeLimit::None, "", "/mnt/my disk", ""},
        {facts("/mnt/my/p", 0xEF53, 8, 1), WipeLimit::None, "", "/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.facts.path.toStdString() + " " + std::to_string(c.facts.minor));
        const WipeReach reach = wipeReach(c.facts);
        EXPECT_EQ(reach.limit, c.limit);
        EXPECT_EQ(reach.fileSystem, c.fileSystem);
        EXPECT_EQ(reach.mountPoint, c.mountPoint);
        const QString warning = wipeReachWarning(reach);
        if (c.limit == WipeLimit::None) {
            EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
            continue;
        }
        EXPECT_TRUE(warning.startsWith("This folder is on " + QString::fromUtf8(c.fileSystem) + ", ") ||
                    warning.startsWith("This folder is on " + QString::fromUtf8(c.fileSystem) + " mounted"))
            << warning.toStdString();
        EXPECT_TRUE(warning.contains(QLatin1String(c.words))) << warning.toStdString();
        EXPECT_EQ(warning.count(kStronger), 1);
    }
}

// A disk whose queue/rotational says 0 is named as solid-state, as a hint, found through the
// device number or, where the file system gives files a number of its own, the mounted device.
TEST(WipeReachTest, SolidStateDiskIsNamedAsAHint)
{
    QTemporaryDir sys;
    const auto put = [&](const QString& file, const QByteArray& text) {
        return QDir(sys.path()).mkpath(QFileInfo(sys.filePath(file)).path()) &&
               writeAll(sys.filePath(file), text);
    };
    ASSERT_TRUE(put("block/sda/queue/rotational", "0\n") && put("block/sdb/queue/rotational", "1\n") &&
                QDir(sys.path()).mkpath("dev/block") && QDir(sys.path()).mkpath("class/block"));
    for (const auto& [part, link] : {std::pair {"sda/sda1", "dev/block/8:1"},
                                     {"sda/sda2", "class/block/sda2"},
                                     {"sdb/sdb1", "class/block/sdb1"}})
        ASSERT_TRUE(put(QStringLiteral("block/%1/partition").arg(part), "1\n") &&
                    QFile::link(sys.filePath(QStringLiteral("block/") + part), sys.filePath(link)));

    const WipeReach ext4 = wipeReach(facts("/srv/p", 0xEF53, 8, 1, sys.path()));
    EXPECT_EQ(ext4.limit, WipeLimit::None);
    EXPECT_EQ(ext4.solidStateDisk, "sda");
    const QString warning = wipeReachWarning(ext4);
    EXPECT_TRUE(warning.startsWith("The disk sda says it is a solid-state disk.")) << warning.toStdString();
    EXPECT_TRUE(warning.contains("This is only a hint: disks of virtual machines often say this wrongly."));
    EXPECT_EQ(warning.count(kStronger), 1);

    const WipeReach btrfs = wipeReach(facts("/home/u", 0x9123683E, 0, 45, sys.path()));
    EXPECT_EQ(btrfs.solidStateDisk, "sda");
    EXPECT_EQ(wipeReachWarning(btrfs).count(kStronger), 1);
    EXPECT_EQ(wipeReach(facts("/mnt/stack/p", 0x9123683E, 0, 60, sys.path())).solidStateDisk, "");
    EXPECT_EQ(wipeReach(facts("/net/share/p", 0x6969, 8, 1, sys.path())).solidStateDisk, "");
}

} // namespace
