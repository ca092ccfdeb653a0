// Getting rid of files: to the trash, checked through the trash's own "files/" and "info/"
// entries, the way a desktop's trash lists and restores them; safe delete of the selected files,
// each wiped in list order; and the desktop's thumbnails of a file, found, read with care (the
// cache is shared with every program of the user) and wiped.
#include "desktop/DeleteRun.h"
#include "desktop/PlainTraces.h"
#include "desktop/ThumbnailCache.h"
#include "desktop/Trash.h"
#include "desktop/TrashInfo.h"

#include "desktop/ThumbnailTraces.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace mv::desktop;
using namespace mv::fileutil;
using namespace mvtest;

namespace {

// What the desktop does to restore a trashed file: read its info, move it back, drop the info.
QString restore(const QString& trash, const QString& trashedName)
{
    const QString infoFile = trash + "/info/" + trashedName + ".trashinfo";
    const auto info = parseTrashInfo(readAll(infoFile));
    if (!info)
        return {};
    const QString back = QFile::decodeName(info->path);
    if (!QFile::rename(trash + "/files/" + trashedName, back) || !QFile::remove(infoFile))
        return {};
    return back;
}

void touch(const QString& path, const QByteArray& bytes = "plain words")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(writeAll(path, bytes)) << path.toStdString();
}

class DeleteTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
};

// A name with a space, a "%", a line break and a letter outside ASCII goes to the trash, its
// info says where it came from in percent-encoded form, and it comes back from there whole.
// Trashing the same name again keeps the first copy. A name over 245 bytes can't take
// ".trashinfo": Qt's trash retried with new numbers for ever at full speed and the files after
// it were never handled. It gets a shorter name in the trash, cut at a character, and the
// information keeps the whole path; a dangling link goes as the link, and the file after both
// is trashed too.
TEST_F(DeleteTest, TrashedFilesWithOddOrLongNamesComeBackFromTheTrashEntriesAndTheNextFileGoesToo)
{
    const QString odd = QStringLiteral("a b%c\n\u00e9.jpg");
    const QString longName = QString(123, QChar(0xe9)) + QStringLiteral("abcd.jpeg"); // 255 bytes
    ASSERT_EQ(QFile::encodeName(longName).size(), 255);
    ASSERT_TRUE(writeAll(folder() + odd, patterned(3000, 1)));
    ASSERT_TRUE(writeAll(folder() + "plain.jpg", patterned(100, 2)));
    ASSERT_TRUE(writeAll(folder() + longName, patterned(500, 4)));
    ASSERT_EQ(::symlink("/nowhere/at/all", QFile::encodeName(folder() + "dangling").constData()), 0);
    ASSERT_TRUE(writeAll(folder() + "next.jpg", patterned(50, 5)));
    // A trashed file can come back: the desktop's thumbnails of it stay.
    const QStringList ofTrashed = plantThumbnails(folder() + "next.jpg");
    const QStringList names {odd, longName, "dangling", "next.jpg", "plain.jpg"};
    const DeleteReport report = trashFiles(folder(), names, {});
    EXPECT_TRUE(report.failed.isEmpty()) << report.failed.value(0).result.message();
    QStringList inOrder;
    for (const QString& name : names)
        inOrder << folder() + name;
    EXPECT_EQ(report.done, inOrder);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
    EXPECT_EQ(stillThere(ofTrashed), ofTrashed);

    const QString trash = homeTrash();
    const QStringList trashed = entries(trash + "/files");
    EXPECT_TRUE(trashed.contains(odd) && trashed.contains("plain.jpg") && trashed.contains("next.jpg"));
    const QByteArray text = readAll(trash + "/info/" + odd + ".trashinfo");
    EXPECT_TRUE(text.startsWith("[Trash Info]\nPath=" + QFile::encodeName(dir.path()).toPercentEncoding("/") +
                                "/a%20b%25c%0A%C3%A9.jpg\nDeletionDate="))
        << text.toStdString();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$"))
            .match(QString::fromUtf8(text))
            .hasMatch());
    EXPECT_EQ(restore(trash, odd), folder() + odd);
    EXPECT_EQ(readAll(folder() + odd), patterned(3000, 1));

    const QStringList infos = entries(trash + "/info");
    QString longInfo;
    for (const QString& name : infos)
        if (name.startsWith(QChar(0xe9)))
            longInfo = name;
    ASSERT_FALSE(longInfo.isEmpty()) << infos.join(", ").toStdString();
    EXPECT_LE(QFile::encodeName(longInfo).size(), 255);
    EXPECT_TRUE(longInfo.endsWith(".jpeg.trashinfo")) << longInfo.toStdString();
    const QString trashedName = longInfo.chopped(10);
    EXPECT_EQ(readAll(trash + "/files/" + trashedName), patterned(500, 4));
    EXPECT_EQ(parseTrashInfo(readAll(trash + "/info/" + longInfo))->path,
              QFile::encodeName(folder() + longName));
    EXPECT_EQ(restore(trash, trashedName), folder() + longName);
    EXPECT_EQ(QFileInfo(trash + "/files/dangling").symLinkTarget(), QStringLiteral("/nowhere/at/all"));

    ASSERT_TRUE(writeAll(folder() + "plain.jpg", patterned(100, 3)));
    const TrashOutcome again = moveToTrash(folder() + "plain.jpg");
    ASSERT_TRUE(again.status.ok) << again.status.message();
    EXPECT_NE(again.trashedAs, trash + "/files/plain.jpg");
    EXPECT_EQ(readAll(trash + "/files/plain.jpg"), patterned(100, 2));
    EXPECT_EQ(readAll(again.trashedAs), patterned(100, 3));
    EXPECT_EQ(parseTrashInfo(readAll(again.infoFile))->path, QFile::encodeName(folder() + "plain.jpg"));
}

// Where the data folder did not exist, Qt filed the trashed file under ./files and ./info of
// the current folder and called that success.
TEST_F(DeleteTest, MissingDataFolderIsMadeInsteadOfTrashingIntoTheCurrentFolder)
{
    QTemporaryDir work;
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    const QString cwd = QDir::currentPath();
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/new/share"));
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    ASSERT_TRUE(writeAll(folder() + "photo.jpg", patterned(10)));
    const TrashOutcome out = moveToTrash(folder() + "photo.jpg");
    QDir::setCurrent(cwd);
    qputenv("XDG_DATA_HOME", data);
    ASSERT_TRUE(out.status.ok) << out.status.message();
    EXPECT_TRUE(entries(work.path()).isEmpty());
    EXPECT_EQ(out.trashedAs, dir.path() + "/new/share/Trash/files/photo.jpg");
    EXPECT_EQ(modeOf(dir.path() + "/new/share/Trash") & 077, 0u);
    EXPECT_EQ(readAll(out.trashedAs), patterned(10));
}

// A file on another disk goes to that disk's own trash, its info naming the path below the
// disk's top. Runs where /dev/shm is a disk of its own that may be written to.
TEST_F(DeleteTest, FileOnAnotherDiskGoesToThatDisksTrash)
{
    const QString shm = QStringLiteral("/dev/shm");
    const QString diskTrash = shm + "/.Trash-" + QString::number(::getuid());
    if (!QFileInfo(shm).isWritable() || QStorageInfo(shm) == QStorageInfo(QDir::homePath()) ||
        QStorageInfo(shm).rootPath() != shm || QFileInfo::exists(diskTrash))
        GTEST_SKIP() << "no other disk with a trash of our own to make";
    QTemporaryDir other(shm + "/mvtest-XXXXXX");
    ASSERT_TRUE(writeAll(other.path() + "/far.jpg", patterned(64)));
    const TrashOutcome out = moveToTrash(other.path() + "/far.jpg");
    const QByteArray info = readAll(out.infoFile);
    const QByteArray moved = readAll(out.trashedAs);
    QDir(diskTrash).removeRecursively();
    ASSERT_TRUE(out.status.ok) << out.status.message();
    EXPECT_EQ(out.trashedAs, diskTrash + "/files/far.jpg");
    EXPECT_EQ(parseTrashInfo(info)->path, QFile::encodeName(other.path().mid(shm.size() + 1)) + "/far.jpg");
    EXPECT_EQ(moved, patterned(64));
}

// As an ordinary user: the window tests walk the question after a failure, where root ignores a
// file's permissions.
TEST_F(DeleteTest, SafeDeleteWipesAReadOnlyFileLikeAnyOther)
{
    for (const char* name : {"locked.jpg", "open.jpg"})
        ASSERT_TRUE(writeAll(folder() + name, patterned(40000)));
    ASSERT_EQ(::chmod(QFile::encodeName(folder() + "locked.jpg").constData(), 0444), 0);
    EXPECT_TRUE(asOrdinaryUser(dir.path(), [&] {
        QStringList inHand;
        DeleteCallbacks callbacks;
        callbacks.inHand = [&](const QString& path) { inHand << path; };
        const DeleteReport r = safeDeleteFiles(folder(), {"locked.jpg", "open.jpg"}, callbacks);
        return r.failed.isEmpty() && !r.stopped && r.done.size() == 2 &&
               inHand == QStringList {folder() + "locked.jpg", folder() + "open.jpg"} &&
               entries(dir.path()).isEmpty();
    }));
}

// GNOME names a thumbnail after the URI as GLib escapes it, KDE as Qt does; they differ for
// some characters (";" here), so both are looked for. A safe-deleted file is gone beyond
// recovery, and so are its thumbnails (a trashed one keeps them: the trash test).
TEST(PlainTraces, ThumbnailsOfTheFilesAreFoundInEverySizeAndFailFolderAndWiped)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("my photo;1.png"));
    touch(file);
    const QByteArray escaped = "file://" + QFile::encodeName(dir.path());
    const QString gnome = thumbnailName(escaped + "/my%20photo%3B1.png");
    const QString kde = thumbnailName(escaped + "/my%20photo;1.png");
    ASSERT_NE(gnome, kde);
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/thumbnails/");
    const QStringList thumbnails {cache + QStringLiteral("fail/gnome-thumbnail-factory/") + gnome,
                                  cache + QStringLiteral("large/") + gnome,
                                  cache + QStringLiteral("normal/") + kde,
                                  cache + QStringLiteral("x-large/") + gnome};
    for (const QString& path : thumbnails)
        touch(path, "\x89PNG");
    const QString unrelated = cache + QStringLiteral("normal/") + thumbnailName("file:///elsewhere.png");
    touch(unrelated, "\x89PNG");

    EXPECT_EQ(thumbnailsOf({file}), thumbnails);
    const DeleteReport wiped = safeDeleteFiles(dir.path() + QLatin1Char('/'), {"my photo;1.png"}, {});
    ASSERT_EQ(wiped.done, QStringList {file});
    EXPECT_TRUE(wiped.tracesLeft.isEmpty());
    EXPECT_EQ(stillThere(thumbnails), QStringList());
    EXPECT_TRUE(QFile::exists(unrelated));
}

// A FIFO blocked the open for ever, and a link to /dev/zero was read without end: either held
// the thumbnail build and any quit waiting for it.
TEST(ThumbnailCache, AFifoOrALinkToADeviceInTheCacheIsPassedOverNotWaitedOn)
{
    QTemporaryDir root;
    const ThumbnailCache cache(root.path());
    const QString picture = root.filePath(QStringLiteral("photo.png"));
    const QString name = thumbnailName(ThumbnailCache::uriOf(picture));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("normal")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("fail/mirravelnock")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root.filePath(QStringLiteral("normal/") + name)).constData(), 0600),
              0);
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/dev/zero"), root.filePath(QStringLiteral("fail/mirravelnock/") + name)));

    EXPECT_TRUE(cache.find(picture, 1, 128).isEmpty());
    EXPECT_FALSE(cache.failed(picture, 1));

    // A real entry in the large size is still found.
    QImage thumbnail(8, 8, QImage::Format_RGB32);
    thumbnail.fill(Qt::red);
    ASSERT_TRUE(cache.store(picture, 1, 256, thumbnail));
    EXPECT_FALSE(cache.find(picture, 1, 256).isEmpty());
}

} // namespace
