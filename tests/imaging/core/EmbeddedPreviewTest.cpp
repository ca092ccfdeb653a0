// A JPEG's EXIF thumbnail stands in for the picture when it covers the size asked for: turned
// as the picture is, from the start of the file alone when that is all there is, and never
// when it is too small, padded to other proportions, or lies outside its block.
#include "JpegEncoder.h"
#include "support/ExifPhoto.h"

#include "imaging/PictureDecoder.h"
#include "imaging/jpeg/ExifOrientation.h"

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

using mv::test::exifWithCopy;
using mv::test::withApp1;

// Left half red, right half blue: which way it is turned shows.
QImage halves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    return image;
}

// The file up to its first scan after the EXIF block: no pixels of the picture itself.
QByteArray headOf(const QByteArray& file)
{
    const int app1End = 4 + ((uchar(file[4]) << 8) | uchar(file[5]));
    return file.left(file.indexOf(QByteArray("\xFF\xDA", 2), app1End));
}

Picture decode(const QByteArray& data, QSize box, EmbeddedPreview mode)
{
    DecodeOptions options;
    options.targetSize = box;
    options.embeddedPreview = mode;
    return decodePictureData(data, QStringLiteral("photo.jpg"), options);
}

TEST(EmbeddedPreview, TheCopyStandsInWhenLargeEnoughAndTurnsAsThePicture)
{
    // Stored 320 x 240 on its side (6): upright 240 x 320. The copy is 40 x 30, stored the same way.
    const QByteArray copy = encodeJpeg(halves(40, 30));
    const QByteArray file = withApp1(encodeJpeg(halves(320, 240)), exifWithCopy(6, copy));
    ASSERT_EQ(exifThumbnail(exifWithCopy(6, copy)), QByteArrayView(copy));

    // Only the start of the file: the copy alone can give this picture.
    const Picture small = decode(headOf(file), QSize(30, 40), EmbeddedPreview::Only);
    ASSERT_TRUE(small.ok()) << small.status.reason;
    EXPECT_EQ(QSize(small.width, small.height), QSize(240, 320));
    EXPECT_EQ(small.image.size(), QSize(30, 40));
    // Turned clockwise: the stored left half (red) is on top.
    EXPECT_GT(qRed(small.image.pixel(15, 5)), 200);
    EXPECT_GT(qBlue(small.image.pixel(15, 35)), 200);

    // A larger box than the copy covers: the picture itself, or nothing when only the copy may do.
    const Picture large = decode(file, QSize(120, 160), EmbeddedPreview::Use);
    ASSERT_TRUE(large.ok());
    EXPECT_EQ(large.image.size(), QSize(120, 160));
    const Picture none = decode(headOf(file), QSize(120, 160), EmbeddedPreview::Only);
    EXPECT_FALSE(none.ok());
    // Ignored unless asked for: the start of the file alone is then a truncated picture.
    EXPECT_FALSE(decode(headOf(file), QSize(30, 40), EmbeddedPreview::Ignore).ok());
}

TEST(EmbeddedPreview, PaddedMisplacedOrDamagedCopiesAreNotTaken)
{
    const QByteArray picture = encodeJpeg(halves(320, 240));
    // A square copy of a 4:3 picture carries bars.
    const QByteArray square = encodeJpeg(halves(40, 40));
    EXPECT_FALSE(
        decode(headOf(withApp1(picture, exifWithCopy(1, square))), QSize(40, 30), EmbeddedPreview::Only)
            .ok());
    // An offset past the block.
    const QByteArray copy = encodeJpeg(halves(40, 30));
    EXPECT_TRUE(exifThumbnail(exifWithCopy(1, copy, 69)).isEmpty());
    EXPECT_TRUE(exifThumbnail(exifWithCopy(1, copy, 0xFFFFFFF0)).isEmpty());
    // Cut anywhere: no read past the end (the sanitizers watch), and a whole file still decodes.
    const QByteArray exif = exifWithCopy(1, copy);
    for (qsizetype n = 0; n < exif.size(); ++n) {
        const QByteArray cut(exif.constData(), n);
        EXPECT_TRUE(exifThumbnail(cut).isEmpty()) << n;
        const Picture p = decode(withApp1(picture, cut), QSize(40, 30), EmbeddedPreview::Use);
        ASSERT_TRUE(p.ok()) << n;
        EXPECT_EQ(p.image.size(), QSize(40, 30)) << n;
    }
}

} // namespace
} // namespace mv::imaging::test
