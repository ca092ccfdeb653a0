// The desktop's thumbnails of a file, found and wiped.
#include "desktop/PlainTraces.h"
#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>

using namespace mv;

namespace {

void touch(const QString& path, const QByteArray& bytes = "plain words")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(mvtest::writeAll(path, bytes)) << path.toStdString();
}

QString md5Png(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

} // namespace

// GNOME names a thumbnail after the URI as GLib escapes it, KDE as Qt does; they differ for
// some characters (";" here), so both are looked for.
TEST(PlainTraces, ThumbnailsOfTheFilesAreFoundInEverySizeAndFailFolderAndWiped)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("my photo;1.png"));
    touch(file);
    const QByteArray escaped = "file://" + QFile::encodeName(dir.path());
    const QString gnome = md5Png(escaped + "/my%20photo%3B1.png");
    const QString kde = md5Png(escaped + "/my%20photo;1.png");
    ASSERT_NE(gnome, kde);
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/thumbnails/");
    const QStringList thumbnails {cache + QStringLiteral("fail/gnome-thumbnail-factory/") + gnome,
                                  cache + QStringLiteral("large/") + gnome,
                                  cache + QStringLiteral("normal/") + kde,
                                  cache + QStringLiteral("x-large/") + gnome};
    for (const QString& path : thumbnails)
        touch(path, "\x89PNG");
    const QString unrelated = cache + QStringLiteral("normal/") + md5Png("file:///elsewhere.png");
    touch(unrelated, "\x89PNG");

    EXPECT_EQ(desktop::thumbnailsOf({file}), thumbnails);
    const fileutil::WipeReport forgotten = desktop::forgetPlainTraces({file});
    EXPECT_TRUE(forgotten.failures.isEmpty());
    EXPECT_EQ(forgotten.wiped, thumbnails);
    EXPECT_TRUE(desktop::thumbnailsOf({file}).isEmpty());
    EXPECT_TRUE(QFile::exists(unrelated));
}
