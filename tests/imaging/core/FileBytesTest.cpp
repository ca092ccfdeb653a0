// Reading picture files whole: small and large (huge-page) buffers hold exactly the file.
#include "imaging/core/FileBytes.h"
#include "imaging/core/PictureDecoder.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(bytes), bytes.size());
    return path;
}

TEST(FileBytes, ReadsEveryByteOfSmallAndLargeFilesWithinTheLimit)
{
    QTemporaryDir dir;
    for (const qsizetype size : {qsizetype(1), qsizetype(4096), qsizetype(5) << 20}) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char(QRandomGenerator::global()->bounded(256));
        const QString path = writeBytes(dir, QStringLiteral("f%1").arg(size), bytes);
        QString error;
        const FileBytes read = FileBytes::read(path, qint64(8) << 20, &error);
        EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
        EXPECT_TRUE(read.view() == QByteArrayView(bytes)) << size;

        const FileBytes refused = FileBytes::read(path, size - 1, &error);
        EXPECT_EQ(error, QStringLiteral("the file is too large to be a picture we can show"));
        EXPECT_TRUE(refused.view().isEmpty());
    }
    QString error;
    EXPECT_TRUE(FileBytes::read(dir.filePath("none"), 100, &error).view().isEmpty());
    EXPECT_EQ(error, QStringLiteral("the file does not exist"));
    EXPECT_TRUE(FileBytes::read(dir.path(), 100, &error).view().isEmpty());
    EXPECT_EQ(error, QStringLiteral("this is not a file"));
}

TEST(FileBytes, ALargePictureFileDecodesPixelForPixel)
{
    QTemporaryDir dir;
    QImage image(1500, 1000, QImage::Format_RGB32); // 4.5 MB as a 24-bit BMP
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QString path = dir.filePath(QStringLiteral("large.bmp"));
    ASSERT_TRUE(image.save(path, "BMP"));
    const Picture p = decodePictureFile(path);
    ASSERT_TRUE(p.ok()) << qPrintable(p.error);
    EXPECT_EQ(p.image.convertToFormat(QImage::Format_RGB32), image);
}

} // namespace
} // namespace mv::imaging::test
