// EXIF: the orientation of a JPEG (its APP1 block, written here byte by byte) or a TIFF (a file
// ImageMagick wrote, its tag's value patched), and a JPEG's embedded thumbnail standing in for
// the picture.
#include "../common/Bytes.h"
#include "../common/Checks.h"
#include "JpegEncoder.h"
#include "TestPictures.h"
#include "support/ExifPhoto.h"

#include "imaging/PictureDecoder.h"
#include "imaging/jpeg/ExifOrientation.h"

#include <QPainter>

#include <array>

namespace mv::imaging::test {
namespace {

using mv::test::exifWithCopy;
using mv::test::withApp1;

// Six flat colours in a 3 x 2 grid, named A B C over D E F.
const std::array<QRgb, 6> kGrid = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                   qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(0, 255, 255)};

// How the grid shows upright for each orientation 1..8, row by row: as stored; mirrored left to
// right; upside down; mirrored top to bottom; then on its side (two columns): stored row 0 as
// the left column top down, the right column top down, the right bottom up, the left bottom up.
constexpr std::array<const char*, 9> kUpright = {"",       "ABCDEF", "CBAFED", "FEDCBA", "DEFABC",
                                                 "ADBECF", "DAEBFC", "FCEBDA", "CFBEAD"};

// Every cell of `image`, cut into cells of `cell` pixels, against the upright grid.
void expectUpright(const QImage& image, int orientation, int cell, int tolerance)
{
    const int columns = orientation >= 5 ? 2 : 3;
    ASSERT_EQ(image.size(), QSize(columns * cell, 6 / columns * cell)) << orientation;
    for (int i = 0; i < 6; ++i) {
        const QPoint centre((i % columns) * cell + cell / 2, (i / columns) * cell + cell / 2);
        EXPECT_LE(maxChannelDifference(image.pixel(centre), kGrid[size_t(kUpright[orientation][i] - 'A')]),
                  tolerance)
            << "orientation " << orientation << ", cell " << kUpright[orientation][i];
    }
}

QByteArray gridJpeg(int cell)
{
    QImage image(3 * cell, 2 * cell, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, kGrid[size_t((y / cell) * 3 + x / cell)]);
    return encodeJpeg(image, {.quality = 100, .subsample = false});
}

// An APP1 payload: "Exif\0\0", a TIFF header and one directory with a Make tag (ASCII, held
// in the entry) before the Orientation tag.
QByteArray exifPayload(int orientation, bool big = false, int type = 3)
{
    ByteWriter w;
    w.bytes("Exif").u16le(0).bytes(big ? "MM" : "II").u16(42, big).u32(8, big).u16(2, big);
    w.u16(0x010F, big).u16(2, big).u32(4, big).bytes(QByteArray("Cam\0", 4));
    w.u16(0x0112, big).u16(type, big).u32(1, big).u16(orientation, big).u16(0, big);
    return w.u32(0, big).data();
}

// The grid's file (cells of `cell` pixels) for each orientation 1..8 decodes and probes upright.
template <typename FileFor>
void expectEveryOrientation(FileFor fileFor, const QString& name, int cell, int tolerance)
{
    for (int o = 1; o <= 8; ++o) {
        const QByteArray file = fileFor(o);
        const Picture p = decodePictureData(file, name);
        ASSERT_TRUE(p.ok()) << p.status.reason;
        const QSize upright = o >= 5 ? QSize(2 * cell, 3 * cell) : QSize(3 * cell, 2 * cell);
        EXPECT_EQ(QSize(p.width, p.height), upright) << o;
        expectUpright(p.image, o, cell, tolerance);
        const PictureInfo info = probePictureData(file, name);
        EXPECT_EQ(QSize(info.width, info.height), upright) << o;
    }
}

TEST(Orientation, JpegAndTiffAreTurnedUprightForEachValueAlsoDecodedSmallOrQuantized)
{
    const QByteArray plain = gridJpeg(16);
    for (const bool big : {false, true})
        expectEveryOrientation([&](int o) { return withApp1(plain, exifPayload(o, big)); },
                               QStringLiteral("a.jpg"), 16, 6);
    // An XMP block in the first APP1 does not hide the EXIF block in a later one.
    const QByteArray xmp = QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 34);
    expectUpright(
        decodePictureData(withApp1(withApp1(plain, exifPayload(6)), xmp), QStringLiteral("a.jpg")).image, 6,
        16, 6);
    // Stored 96 x 64, upright 64 x 96: a box of 16 x 24 takes the 1/4 scale, and the picture
    // comes out 16 x 24, not the 8 x 12 that fitting the stored size would give.
    const Picture p = decodePictureData(withApp1(gridJpeg(32), exifPayload(6)), QStringLiteral("a.jpg"),
                                        {.targetSize = QSize(16, 24)});
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(QSize(p.width, p.height), QSize(64, 96));
    expectUpright(p.image, 6, 8, 10);
    // Quantized to a palette, the picture turns too.
    const Picture q = decodePictureData(withApp1(plain, exifPayload(8)), QStringLiteral("a.jpg"),
                                        {.jpegTwoPassQuantize = true, .targetSize = {}});
    EXPECT_EQ(q.image.format(), QImage::Format_Indexed8);
    expectUpright(q.image, 8, 16, 40);

    QFile tiff(QStringLiteral(MV_TEST_DATA "/tiff-orientation-im.tif"));
    ASSERT_TRUE(tiff.open(QIODevice::ReadOnly));
    const QByteArray bytes = tiff.readAll();
    // The Orientation entry, little-endian: tag 274, SHORT, count 1, then its value.
    const qsizetype entry = bytes.indexOf(QByteArray("\x12\x01\x03\x00\x01\x00\x00\x00", 8));
    ASSERT_GT(entry, 0);
    expectEveryOrientation([&](int o) { return patched16(bytes, entry + 8, o); }, QStringLiteral("a.tif"), 1,
                           0);
}

TEST(Orientation, DamagedOrLyingExifReadsAsUpright)
{
    const QByteArray good = exifPayload(6);
    ASSERT_EQ(exifOrientation(good), 6);
    EXPECT_EQ(exifOrientation(exifPayload(3, true)), 3);
    // Cut anywhere before the end of the Orientation entry: upright, never a read past the end
    // (the sanitizers watch).
    const qsizetype valueEnd = 6 + 8 + 2 + 12 + 12;
    for (qsizetype n = 0; n < good.size(); ++n) {
        const QByteArray cut(good.constData(), n); // a copy of its own, so a read past n shows
        EXPECT_EQ(exifOrientation(cut), n >= valueEnd ? 6 : 1) << n;
    }
    const std::pair<const char*, QByteArray> lies[] = {
        {"not EXIF", QByteArray("Exif\0X", 6) + good.mid(6)},
        {"unknown byte order", patched(good, {{6, 'I'}, {7, 'M'}})},
        {"not 42", patched(good, {{8, 43}})},
        {"directory past the end", patched32(good, 10, 0x7FFFFFF0)},
        {"directory at the very end", patched32(good, 10, std::uint32_t(good.size() - 6))},
        {"65535 entries, none of them Orientation", patched16(patched16(good, 14, 0xFFFF), 28, 0x0113)},
        {"orientation 0", exifPayload(0)},
        {"orientation 9", exifPayload(9)},
        {"orientation as a LONG", exifPayload(6, false, 4)},
        {"count 0", patched32(good, 6 + 10 + 12 + 4, 0)},
    };
    for (const auto& [what, payload] : lies)
        EXPECT_EQ(exifOrientation(payload), 1) << what;
}

// Left half red, right half blue: which way it is turned shows.
QImage halves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
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
    return decodePictureData(data, QStringLiteral("photo.jpg"), {.targetSize = box, .embeddedPreview = mode});
}

// The copy stands in when it covers the box, turned as the picture is, and from the start of
// the file alone; never when it is padded to other proportions or lies outside its block.
TEST(EmbeddedPreview, TheCopyStandsInWhenLargeEnoughAndTurnsAsThePictureAndOnlyThen)
{
    // Stored 320 x 240 on its side (6): upright 240 x 320. The copy is 40 x 30, stored the same way.
    const QByteArray copy = encodeJpeg(halves(40, 30)), picture = encodeJpeg(halves(320, 240));
    const QByteArray file = withApp1(picture, exifWithCopy(6, copy));

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
    EXPECT_FALSE(decode(headOf(file), QSize(120, 160), EmbeddedPreview::Only).ok());
    // Ignored unless asked for: the start of the file alone is then a truncated picture.
    EXPECT_FALSE(decode(headOf(file), QSize(30, 40), EmbeddedPreview::Ignore).ok());

    // A square copy of a 4:3 picture carries bars.
    const QByteArray square = encodeJpeg(halves(40, 40));
    EXPECT_FALSE(
        decode(headOf(withApp1(picture, exifWithCopy(1, square))), QSize(40, 30), EmbeddedPreview::Only)
            .ok());
    // An offset past the block.
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
