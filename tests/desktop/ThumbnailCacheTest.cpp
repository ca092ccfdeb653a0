// The desktop's thumbnail cache is shared with every program of the user: what lies there is
// read with care.
#include "desktop/ThumbnailCache.h"
#include "desktop/ThumbnailTraces.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace mv::desktop {
namespace {

// A FIFO blocked the open for ever, and a link to /dev/zero was read without end: either held
// the thumbnail build and any quit waiting for it.
TEST(ThumbnailCache, AFifoOrALinkToADeviceInTheCacheIsPassedOverNotWaitedOn)
{
    QTemporaryDir root;
    const ThumbnailCache cache(root.path());
    const QString picture = root.filePath(QStringLiteral("photo.png"));
    const QString name = mvtest::thumbnailName(ThumbnailCache::uriOf(picture));
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
} // namespace mv::desktop
