// The entry point: files read whole or not at all, the .PAL of a .CUT, and animated GIFs.
#include "../common/Checks.h"

#include "fileio/MemoryFile.h"
#include "imaging/FileBytes.h"
#include "imaging/PictureDecoder.h"
#include "imaging/SiblingPalette.h"
#include "imaging/qt/QtFrames.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <unistd.h>

namespace mv::imaging::test {
namespace {

TEST(QtTypes, CutFindsThePaletteBesideIt)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QString cut = writeFile(d, QStringLiteral("Photo.cut"), QByteArray(8, '\0'));
    EXPECT_TRUE(readSiblingPalette(cut).isEmpty());
    writeFile(d, QStringLiteral("photo.pal"), QByteArray("other base name"));
    writeFile(d, QStringLiteral("Photo.cut.pal"), QByteArray("longer name"));
    EXPECT_EQ(siblingPalettePath(cut), QString());
    const QString pal = writeFile(d, QStringLiteral("Photo.PaL"), QByteArray("palette bytes"));
    EXPECT_EQ(siblingPalettePath(cut), pal);
    EXPECT_EQ(readSiblingPalette(cut), QByteArray("palette bytes"));
    EXPECT_TRUE(readSiblingPalette(cut, 4).isEmpty()); // too large to be a palette
}

// Every type Qt reads for us, by content whatever the name says, and damaged or odd files of
// them, are rows of the fixtures' MANIFEST; files that are not there, or are no files, are here.
TEST(FileBytes, ReadsEveryByteWithinTheLimitAndMissingOrEmptyFilesGiveTheirReason)
{
    QTemporaryDir dir;
    for (const qsizetype size : {qsizetype(1), qsizetype(4096), qsizetype(5) << 20}) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char(noise(int(i), 3));
        const QString path = writeFile(QDir(dir.path()), QStringLiteral("f%1").arg(size), bytes);
        mv::fileio::Status status;
        const FileBytes read = FileBytes::read(path, qint64(8) << 20, &status);
        EXPECT_TRUE(read.view() == QByteArrayView(bytes)) << size;
        EXPECT_TRUE(status.ok) << status.message();
        // Handed to a decoder helper as it is: sealed, so that no one can change the bytes the
        // helper reads, and holding the file's bytes and no more.
        EXPECT_TRUE(mv::fileio::contentsAreSealed(read.memoryFile())) << size;
        EXPECT_EQ(::lseek(read.memoryFile(), 0, SEEK_END), size);
        EXPECT_TRUE(FileBytes::read(path, size - 1, &status).view().isEmpty());
        EXPECT_EQ(status.message(), "read file: the file is too large to be a picture we can show");
    }
    EXPECT_EQ(decodePictureFile(dir.filePath("none.png")).reasonText(),
              QStringLiteral("the file does not exist"));
    EXPECT_EQ(decodePictureFile(dir.path()).reasonText(), QStringLiteral("this is not a file"));
    const QString empty = writeFile(QDir(dir.path()), QStringLiteral("empty.jpg"), {});
    EXPECT_EQ(decodePictureFile(empty).reasonText(), QStringLiteral("the file is empty"));
    EXPECT_FALSE(probePictureFile(empty).ok());
}

const QString kGif = QStringLiteral(MV_TEST_DATA "/gif-3frames-loop2-im.gif");

QRgb colourOf(const QImage& image)
{
    return image.pixel(image.width() / 2, image.height() / 2) | 0xFF000000u;
}

// The image control's test plays the frames, each with its colour and delay.
TEST(Animation, EveryFrameCountsOnceThumbnailsTakeTheFirstAndFramesPastTheLimitAreLeftOut)
{
    const Picture p = decodePictureFile(kGif);
    ASSERT_TRUE(p.isAnimated()) << p.status.reason;
    EXPECT_EQ(p.animation->frames[0].image.cacheKey(), p.image.cacheKey()); // the first is the picture
    EXPECT_FALSE(p.animation->cutShort);
    EXPECT_EQ(p.pixelBytes(), 3 * p.image.sizeInBytes()); // a cache's budget counts every frame once
    const Picture t = decodePictureFile(kGif, {.targetSize = {}, .firstFrameOnly = true});
    ASSERT_TRUE(t.ok());
    EXPECT_FALSE(t.animation);
    EXPECT_EQ(colourOf(t.image), qRgb(255, 0, 0));

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
