// JPEG through libjpeg: the variants, the menu options, downscaled decoding and damage.
#include "JpegEncoder.h"
#include "TestPictures.h"

#include "imaging/PictureDecoder.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/jpeg/JpegDecoder.h"
#include "imaging/jpeg/JpegScale.h"

#include <QSet>

namespace mv::imaging::test {
namespace {

int colourCount(const QImage& image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

// Red, green, blue and white in four quarters; Adobe files store the ink inverted.
QByteArray cmykJpeg(bool adobe)
{
    const unsigned char inks[4][4] = {{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 0}};
    std::vector<unsigned char> s;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            for (int k = 0; k < 4; ++k)
                s.push_back(adobe ? 255 - inks[(y / 16) * 2 + x / 16][k] : inks[(y / 16) * 2 + x / 16][k]);
    return encodeJpegSamples(s.data(), 32, 32, {.components = 4, .adobeMarker = adobe});
}

// Baseline, progressive and grey files are compared with djpeg's readings in the reference
// tests; here a grey file keeps its depth, and CMYK ones, Adobe's inverted or not, their colours.
TEST(Jpeg, GreyKeepsItsDepthAndCmykItsColours)
{
    EXPECT_EQ(decodePictureFile(QStringLiteral(MV_TEST_DATA "/jpeg-grey-cjpeg.jpg")).colorDepth, 8);
    const QRgb quarters[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    for (bool adobe : {true, false}) {
        const Picture c = decodeJpeg(cmykJpeg(adobe), {});
        ASSERT_TRUE(c.ok()) << c.status.reason;
        EXPECT_EQ(c.colorDepth, 32);
        for (int q = 0; q < 4; ++q)
            EXPECT_LE(maxChannelDifference(c.image.pixel(8 + (q % 2) * 16, 8 + (q / 2) * 16), quarters[q]),
                      12)
                << "Adobe " << adobe << ", quarter " << q;
    }
}

TEST(Jpeg, OptionsChangeTheDecodeAsTheMenusSay)
{
    // Quantized to at most 256 colours, by every dither and pass. (The fast and the slow integer
    // DCT are checked against djpeg's readings in the reference tests.)
    const QByteArray file = encodeJpeg(gradient(256, 128));
    const Picture full = decodeJpeg(file, {});
    ASSERT_TRUE(full.ok());
    EXPECT_GT(colourCount(full.image), 256);
    for (JpegDither dither : {JpegDither::None, JpegDither::Ordered, JpegDither::FloydSteinberg})
        for (bool twoPass : {false, true}) {
            if (dither == JpegDither::None && !twoPass)
                continue;
            const Picture q =
                decodeJpeg(file, {.jpegDither = dither, .jpegTwoPassQuantize = twoPass, .targetSize = {}});
            ASSERT_TRUE(q.ok()) << q.status.reason;
            EXPECT_EQ(q.image.format(), QImage::Format_Indexed8);
            EXPECT_LE(colourCount(q.image), 256);
            EXPECT_GT(colourCount(q.image), 16);
            EXPECT_LE(maxChannelDifference(q.image.pixel(128, 64), full.image.pixel(128, 64)), 64);
        }
    EXPECT_EQ(
        decodeJpeg(cmykJpeg(true), {.jpegDither = JpegDither::Ordered, .targetSize = {}}).image.format(),
        QImage::Format_Indexed8);
    // Fancy upsampling interpolates 4:2:0 chroma: sharp colour edges come out differently.
    const QByteArray edges = encodeJpeg(pattern(64, 64));
    EXPECT_NE(decodeJpeg(edges, {.jpegFancyUpsampling = true, .targetSize = {}}).image,
              decodeJpeg(edges, {}).image);
}

TEST(Jpeg, DownscaledDecodeKeepsTheFullSize)
{
    const QByteArray file = encodeJpeg(gradient(800, 600));
    const std::pair<QSize, QSize> cases[] = {
        {QSize(100, 75), QSize(100, 75)},   {QSize(101, 76), QSize(200, 150)},
        {QSize(150, 150), QSize(200, 150)}, {QSize(799, 599), QSize(800, 600)},
        {QSize(), QSize(800, 600)},         {QSize(10, 10), QSize(100, 75)},
    };
    for (const auto& [box, decoded] : cases) {
        const Picture p = decodePictureData(file, QStringLiteral("a.jpg"), {.targetSize = box});
        ASSERT_TRUE(p.ok()) << p.status.reason;
        EXPECT_EQ(p.image.size(), decoded) << box.width() << "x" << box.height();
        EXPECT_EQ(QSize(p.width, p.height), QSize(800, 600));
    }
    EXPECT_EQ(jpegScaleNumerator(QSize(4000, 3000), QSize(1001, 1000)), 3);
    EXPECT_EQ(jpegScaleNumerator(QSize(3000, 4000), QSize(0, 100)), 8);
    EXPECT_EQ(jpegScaledSize(QSize(801, 601), 1), QSize(101, 76));
}

TEST(Jpeg, DamagedOrHugeFilesFailOrShowWhatIsThere)
{
    // Files cut anywhere, cut in their pixel data or claiming a huge or empty size are rows of the
    // fixtures' MANIFEST; random damage is the JPEG fuzz target's.
    // A progressive file whose last scan is repeated until it has far more scans than any real one.
    const QByteArray progressive = encodeJpeg(gradient(16, 16), {.progressive = true});
    const qsizetype lastScan = progressive.lastIndexOf("\xFF\xDA");
    const QByteArray bomb = progressive.left(progressive.size() - 2) +
                            progressive.mid(lastScan, progressive.size() - 2 - lastScan).repeated(1100) +
                            "\xFF\xD9";
    EXPECT_EQ(decodeJpeg(bomb, {}).reasonText(), QStringLiteral("the file has too many progressive scans"));
    // Large picture buffers keep the limits and survive copies.
    QString reason;
    QImage big = allocateImage(3000, 2000, QImage::Format_RGB32, &reason);
    ASSERT_FALSE(big.isNull()) << qPrintable(reason);
    EXPECT_EQ(big.bytesPerLine(), 12000);
    big.fill(qRgb(1, 2, 3));
    const QImage copy = big.copy(10, 10, 4, 4);
    big = QImage(); // the huge-page buffer goes; the copy stays whole
    EXPECT_EQ(copy.pixel(3, 3), qRgb(1, 2, 3));
    EXPECT_TRUE(allocateImage(40000, 20, QImage::Format_RGB32, &reason).isNull());
    EXPECT_EQ(reason, QStringLiteral("the picture is too large (40000 x 20)"));
    EXPECT_TRUE(allocateImage(20000, 20000, QImage::Format_RGB32, &reason).isNull());
}

} // namespace
} // namespace mv::imaging::test
