// The entry point: the types Qt reads for us (every pixel, the stored depth, the type found by
// content whatever the name says), damaged and missing files, files read whole, the .PAL of a
// .CUT.
#include "../common/Bytes.h"
#include "../common/Seeds.h"
#include "HandWritten.h"
#include "JpegEncoder.h"
#include "TestPictures.h"

#include "imaging/FileBytes.h"
#include "imaging/PictureDecoder.h"
#include "imaging/SiblingPalette.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace mv::imaging::test {
namespace {

QByteArray writeWithQt(const QImage& image, const char* format, int compression = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (compression >= 0)
        writer.setCompression(compression);
    EXPECT_TRUE(writer.write(image)) << qPrintable(writer.errorString());
    return bytes;
}

struct Case {
    const char* label;
    const char* fileName;
    QByteArray bytes;
    QImage expected;
    const char* type;
    int depth;
};

std::vector<Case> cases()
{
    const QImage rgb = pattern(23, 17);
    const QImage indexed = indexedPattern(23, 17);
    QImage argb = pattern(9, 7, QImage::Format_ARGB32);
    argb.setPixel(3, 3, qRgba(10, 200, 30, 255));
    const QImage grey = pattern(13, 5).convertToFormat(QImage::Format_Grayscale8);
    return {
        {"PNG RGB", "a.png", writeWithQt(rgb, "png"), rgb, "PNG", 24},
        {"PNG RGBA", "a.png", writeWithQt(argb, "png"), argb, "PNG", 32},
        {"PNG grey", "a.png", writeWithQt(grey, "png"), grey, "PNG", 8},
        {"PNG named .bmp", "photo.bmp", writeWithQt(rgb, "png"), rgb, "PNG", 24},
        {"GIF 16 colours", "a.gif", writeGif(indexed), indexed, "GIF", 4},
        {"GIF named .jpg", "a.jpg", writeGif(indexed), indexed, "GIF", 4},
        {"TIFF none", "a.tif", writeTiff(rgb, TiffCompression::None), rgb, "TIFF", 24},
        {"TIFF big-endian", "a.tiff", writeTiff(rgb, TiffCompression::None, true), rgb, "TIFF", 24},
        {"TIFF PackBits", "a.tif", writeTiff(rgb, TiffCompression::PackBits), rgb, "TIFF", 24},
        {"TIFF Deflate", "a.tif", writeTiff(rgb, TiffCompression::Deflate), rgb, "TIFF", 24},
        {"TIFF LZW by Qt", "a.tif", writeWithQt(rgb, "tiff", 1), rgb, "TIFF", 24},
        {"BMP 24-bit", "a.bmp", writeWithQt(rgb, "bmp"), rgb, "BMP", 24},
        {"BMP 16-colour palette", "a.bmp", writeWithQt(indexed, "bmp"), indexed, "BMP", 4},
        {"BMP RLE8", "a.rle", writeRle8Bmp(indexed), indexed, "BMP", 8},
        {"BMP OS/2", "a.bmp", writeOs2Bmp(rgb), rgb, "BMP", 24},
        {"DIB with file header", "a.dib", writeWithQt(rgb, "bmp"), rgb, "BMP", 24},
        {"DIB without file header", "a.dib", writeWithQt(rgb, "bmp").mid(14), rgb, "DIB", 24},
    };
}

TEST(QtTypes, DecodeEveryPixelWithStoredDepth)
{
    QTemporaryDir dir;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.label);
        const QString path = writeFile(QDir(dir.path()), QString::fromLatin1(c.fileName), c.bytes);
        const std::string want = std::string(c.type) + " " + std::to_string(c.expected.width()) + "x" +
                                 std::to_string(c.expected.height()) + " " + std::to_string(c.depth) + "-bit";
        const Picture p = decodePictureFile(path);
        ASSERT_EQ(summary(p), want + " raster");
        expectSamePixels(p.image, c.expected);
        EXPECT_EQ(summary(probePictureFile(path)), want);
    }
    // JPEG is found by its content under any name.
    const QByteArray jpeg = encodeJpeg(gradient(40, 30));
    for (const char* name : {"x.jpg", "x.JPEG", "x.png", "x.tga", "noextension"}) {
        EXPECT_EQ(summary(decodePictureData(jpeg, QString::fromLatin1(name))), "JPEG 40x30 24-bit raster")
            << name;
    }
}

TEST(QtTypes, DamagedFilesGiveAnError)
{
    const QImage rgb = pattern(31, 19);
    const QByteArray png = writeWithQt(rgb, "png");
    const QByteArray bmp = writeWithQt(rgb, "bmp");
    const QByteArray tif = writeTiff(rgb, TiffCompression::None);
    const QByteArray gif = writeGif(indexedPattern(31, 19));
    const QByteArray hugePng = patched32(png, 16, 65536, true), hugeBmp = patched32(bmp, 18, 40000); // widths
    const struct {
        const char* label;
        const char* name;
        QByteArray bytes;
    } damaged[] = {
        {"PNG cut in the header", "a.png", png.left(20)},
        {"PNG cut in the pixels", "a.png", png.left(png.size() / 2)},
        {"PNG absurd width", "a.png", hugePng},
        {"BMP cut in the header", "a.bmp", bmp.left(30)},
        {"BMP absurd width", "a.bmp", hugeBmp},
        {"TIFF cut in the directory", "a.tif", tif.left(40)},
        {"GIF cut after the header", "a.gif", gif.left(13)},
        {"random bytes named .png", "a.png", QByteArray(500, '\x5a')},
        {"zero bytes", "a.png", QByteArray()},
        {"text named .jpg", "a.jpg", QByteArray("hello, this is not a picture")},
        {"unknown extension", "a.xyz", QByteArray("hello")},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.label);
        EXPECT_TRUE(failsWith(decodePictureData(d.bytes, QString::fromLatin1(d.name)), ""));
    }
    EXPECT_EQ(decodePictureData(QByteArray(), QStringLiteral("a.png")).reasonText(),
              QStringLiteral("the file is empty"));
    EXPECT_EQ(decodePictureData("hello", QStringLiteral("a.xyz")).reasonText(),
              QStringLiteral("unsupported picture type"));
    EXPECT_TRUE(decodePictureData(hugeBmp, QStringLiteral("a.bmp"))
                    .reasonText()
                    .contains(QLatin1String("too large")));
}

TEST(QtTypes, DamagedMetafilesMissingAndOddFilesGiveAnError)
{
    QByteArray placeable("\xD7\xCD\xC6\x9A", 4);
    placeable.append(QByteArray(40, '\0'));
    QByteArray plainWmf("\x01\x00\x09\x00\x00\x03", 6);
    plainWmf.append(QByteArray(30, '\0'));
    QByteArray emf("\x01\x00\x00\x00", 4);
    emf.append(QByteArray(36, '\0')).append(" EMF").append(QByteArray(40, '\0'));
    const struct {
        QByteArray bytes;
        const char* name;
        const char* type;
    } files[] = {{placeable, "a.wmf", "WMF"},
                 {plainWmf, "a.wmf", "WMF"},
                 {placeable, "a.bmp", "WMF"},
                 {emf, "a.emf", "EMF"},
                 {QByteArray(64, '\0'), "a.wmf", "WMF"}};
    for (const auto& f : files) {
        const Picture p = decodePictureData(f.bytes, QString::fromLatin1(f.name));
        EXPECT_TRUE(failsWith(p, ""));
        EXPECT_EQ(p.typeName, QLatin1String(f.type));
    }
    // Missing and odd files.
    QTemporaryDir dir;
    EXPECT_EQ(decodePictureFile(dir.filePath("none.png")).reasonText(),
              QStringLiteral("the file does not exist"));
    EXPECT_EQ(decodePictureFile(dir.path()).reasonText(), QStringLiteral("this is not a file"));
    const QString empty = writeFile(QDir(dir.path()), QStringLiteral("empty.jpg"), {});
    EXPECT_EQ(decodePictureFile(empty).reasonText(), QStringLiteral("the file is empty"));
    EXPECT_FALSE(probePictureFile(empty).ok());
}

TEST(QtTypes, CutFindsThePaletteBesideIt)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QString cut = writeFile(d, QStringLiteral("Photo.cut"), QByteArray(8, '\0'));
    EXPECT_EQ(siblingPalettePath(cut), QString());
    EXPECT_TRUE(readSiblingPalette(cut).isEmpty());
    writeFile(d, QStringLiteral("photo.pal"), QByteArray("other base name"));
    writeFile(d, QStringLiteral("Photo.cut.pal"), QByteArray("longer name"));
    EXPECT_EQ(siblingPalettePath(cut), QString());
    const QString pal = writeFile(d, QStringLiteral("Photo.PaL"), QByteArray("palette bytes"));
    EXPECT_EQ(siblingPalettePath(cut), pal);
    EXPECT_EQ(readSiblingPalette(cut), QByteArray("palette bytes"));
    EXPECT_TRUE(readSiblingPalette(cut, 4).isEmpty()); // too large to be a palette
}

TEST(FileBytes, ReadsEveryByteWithinTheLimitAndALargePictureDecodes)
{
    QTemporaryDir dir;
    for (const qsizetype size : {qsizetype(1), qsizetype(4096), qsizetype(5) << 20}) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char(QRandomGenerator::global()->bounded(256));
        const QString path = writeFile(QDir(dir.path()), QStringLiteral("f%1").arg(size), bytes);
        mv::fileio::Status status;
        const FileBytes read = FileBytes::read(path, qint64(8) << 20, &status);
        EXPECT_TRUE(status.ok) << status.message();
        EXPECT_TRUE(read.view() == QByteArrayView(bytes)) << size;

        const FileBytes refused = FileBytes::read(path, size - 1, &status);
        EXPECT_EQ(status.message(), "read file: the file is too large to be a picture we can show");
        EXPECT_TRUE(refused.view().isEmpty());
    }
    mv::fileio::Status status;
    EXPECT_TRUE(FileBytes::read(dir.filePath("none"), 100, &status).view().isEmpty());
    EXPECT_EQ(status.reason, "the file does not exist");
    EXPECT_TRUE(FileBytes::read(dir.path(), 100, &status).view().isEmpty());
    EXPECT_EQ(status.reason, "this is not a file");
    // A large picture file decodes pixel for pixel.
    QImage image(1500, 1000, QImage::Format_RGB32); // 4.5 MB as a 24-bit BMP
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QString path = dir.filePath(QStringLiteral("large.bmp"));
    ASSERT_TRUE(image.save(path, "BMP"));
    const Picture p = decodePictureFile(path);
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_EQ(p.image.convertToFormat(QImage::Format_RGB32), image);
}

TEST(Corpus, SeedsDecodeAndAreWrittenOnRequest)
{
    const JpegSpec plain {.quality = 60}, progressive {.progressive = true, .quality = 60},
        grey {.components = 1}, cmyk {.components = 4};
    const std::vector<unsigned char> greySamples(24 * 16, 99), cmykSamples(16 * 16 * 4, 60);
    const QByteArray jpeg = encodeJpeg(gradient(24, 16), plain);
    const auto byName = [](const char* name) {
        return [name](QByteArrayView bytes) -> DecodeResult {
            return decodePictureData(bytes, QString::fromLatin1(name));
        };
    };
    checkSeeds({{"jpeg/baseline.jpg", jpeg, byName("a.jpg")},
                {"jpeg/progressive.jpg", encodeJpeg(gradient(24, 16), progressive), byName("a.jpg")},
                {"jpeg/grey.jpg", encodeJpegSamples(greySamples.data(), 24, 16, grey), byName("a.jpg")},
                {"jpeg/cmyk.jpg", encodeJpegSamples(cmykSamples.data(), 16, 16, cmyk), byName("a.jpg")},
                {"picture/a.png", writeWithQt(pattern(12, 8), "png"), byName("a.png")},
                {"picture/a.gif", writeGif(indexedPattern(12, 8)), byName("a.gif")},
                {"picture/a.tif", writeTiff(pattern(12, 8), TiffCompression::PackBits), byName("a.tif")},
                {"picture/a.bmp", writeRle8Bmp(indexedPattern(12, 8)), byName("a.bmp")},
                {"picture/a.jpg", jpeg, byName("a.jpg")}},
               4097);
}

} // namespace
} // namespace mv::imaging::test
