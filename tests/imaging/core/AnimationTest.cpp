// Animated GIFs: every frame with its delay and the loop count, read on the worker up to the
// memory limit; thumbnails take the first frame only; a cut one is a still picture.
#include "imaging/PictureDecoder.h"
#include "imaging/qt/QtFrames.h"

#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

const QString kGif = QStringLiteral(MV_TEST_DATA "/gif-3frames-loop2-im.gif");

QRgb colourOf(const QImage& image)
{
    return image.pixel(image.width() / 2, image.height() / 2) | 0xFF000000u;
}

TEST(Animation, AGifGivesEveryFrameWithItsDelayAndLoopCount)
{
    const Picture p = decodePictureFile(kGif);
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(QSize(p.width, p.height), QSize(6, 4));
    ASSERT_TRUE(p.isAnimated());
    const Animation& a = *p.animation;
    ASSERT_EQ(a.frames.size(), 3u);
    EXPECT_EQ(a.frames[0].image.cacheKey(), p.image.cacheKey()); // the first frame is the picture
    // The second is stored as 10 ms: Qt's reader gives 100 ms, as browsers show such frames.
    const std::pair<QRgb, int> frames[] = {
        {qRgb(255, 0, 0), 50}, {qRgb(0, 255, 0), 100}, {qRgb(0, 0, 255), 300}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(colourOf(a.frames[i].image), frames[i].first) << i;
        EXPECT_EQ(a.frames[i].delayMs, frames[i].second) << i;
    }
    EXPECT_EQ(a.loopCount, 1); // played twice
    EXPECT_FALSE(a.cutShort);
    EXPECT_EQ(p.pixelBytes(), 3 * p.image.sizeInBytes()); // a cache's budget counts every frame once
    // Thumbnails: the first frame, nothing more.
    const Picture t = decodePictureFile(kGif, {.targetSize = {}, .firstFrameOnly = true});
    ASSERT_TRUE(t.ok());
    EXPECT_FALSE(t.animation);
    EXPECT_EQ(colourOf(t.image), qRgb(255, 0, 0));
}

TEST(Animation, FramesPastTheMemoryLimitAreLeftOutAndACutGifIsStill)
{
    QFile file(kGif);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QImageReader reader(&file, "gif");
    const QImage first = reader.read();
    ASSERT_FALSE(first.isNull());
    // Two frames' pixels and overhead fit, the third does not.
    const auto a = readFurtherFrames(reader, first, 2 * (first.sizeInBytes() + 1024) + 10);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->frames.size(), 2u);
    EXPECT_TRUE(a->cutShort);
    EXPECT_EQ(colourOf(a->frames[1].image), qRgb(0, 255, 0));
    // Cut inside the second frame (its image descriptor follows the first frame's data): the
    // first still shows, and the damaged frame ends the animation there.
    file.seek(0);
    const QByteArray bytes = file.readAll();
    const qsizetype second = bytes.indexOf(',', bytes.indexOf(',') + 1);
    ASSERT_GT(second, 0);
    const Picture cut = decodePictureData(bytes.left(second + 5), QStringLiteral("a.gif"));
    ASSERT_TRUE(cut.ok()) << cut.status.reason;
    EXPECT_EQ(colourOf(cut.image), qRgb(255, 0, 0));
    EXPECT_FALSE(cut.isAnimated());
}

} // namespace
} // namespace mv::imaging::test
