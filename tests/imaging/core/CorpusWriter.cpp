// Writes the fuzzers' seed files when MV_WRITE_CORPUS names the corpus folder
// (tests/imaging/corpus); otherwise checks that the seeds it would write decode.
#include "HandWritten.h"
#include "JpegEncoder.h"
#include "TestPictures.h"

#include "imaging/core/PictureDecoder.h"

#include <QBuffer>
#include <QImageWriter>

namespace mv::imaging::test {
namespace {

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

std::vector<std::pair<QString, QByteArray>> seeds()
{
    JpegSpec progressive;
    progressive.progressive = true;
    progressive.quality = 60;
    JpegSpec plain;
    plain.quality = 60;
    JpegSpec grey;
    grey.components = 1;
    std::vector<unsigned char> greySamples(24 * 16, 99);
    JpegSpec cmyk;
    cmyk.components = 4;
    std::vector<unsigned char> cmykSamples(16 * 16 * 4, 60);
    const QByteArray jpeg = encodeJpeg(gradient(24, 16), plain);
    return {
        {QStringLiteral("jpeg/baseline.jpg"), jpeg},
        {QStringLiteral("jpeg/progressive.jpg"), encodeJpeg(gradient(24, 16), progressive)},
        {QStringLiteral("jpeg/grey.jpg"), encodeJpegSamples(greySamples.data(), 24, 16, grey)},
        {QStringLiteral("jpeg/cmyk.jpg"), encodeJpegSamples(cmykSamples.data(), 16, 16, cmyk)},
        {QStringLiteral("picture/a.png"), png(pattern(12, 8))},
        {QStringLiteral("picture/a.gif"), writeGif(indexedPattern(12, 8))},
        {QStringLiteral("picture/a.tif"), writeTiff(pattern(12, 8), TiffCompression::PackBits)},
        {QStringLiteral("picture/a.bmp"), writeRle8Bmp(indexedPattern(12, 8))},
        {QStringLiteral("picture/a.jpg"), jpeg},
    };
}

TEST(Corpus, SeedsDecodeAndAreWrittenOnRequest)
{
    const QByteArray target = qgetenv("MV_WRITE_CORPUS");
    for (const auto& [name, bytes] : seeds()) {
        EXPECT_LE(bytes.size(), 4096) << qPrintable(name);
        EXPECT_TRUE(decodePictureData(bytes, name).ok()) << qPrintable(name);
        if (target.isEmpty())
            continue;
        const QDir dir(QString::fromLocal8Bit(target));
        ASSERT_TRUE(dir.mkpath(QFileInfo(name).path()));
        writeFile(dir, name, bytes);
    }
}

} // namespace
} // namespace mv::imaging::test
