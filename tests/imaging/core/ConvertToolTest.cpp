// The mvconvert program, run as a user would run it, on pictures and metafiles.
#include "../common/Checks.h"
#include "../common/Fixtures.h"
#include "JpegEncoder.h"
#include "TestPictures.h"

#include "imaging/PictureDecoder.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

namespace mv::imaging::test {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun mvconvert(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(MV_CONVERT_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(ConvertTool, WritesThePixelsAsPngAtTheirSizeOrAGivenWidthOrFailsWithOneLine)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QString in = writeFile(d, QStringLiteral("photo.jpg"), encodeJpeg(gradient(120, 80)));
    const QString out = d.filePath(QStringLiteral("photo.png"));
    const ToolRun r = mvconvert({in, out});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.isEmpty());
    expectSamePixels(QImageReader(out, "png").read(), decodePictureFile(in).image);
    EXPECT_EQ(mvconvert({QStringLiteral("--info"), in}).out, QStringLiteral("JPEG 120 80 24\n"));
    EXPECT_EQ(mvconvert({QStringLiteral("--decode-only"), in}).exitCode, 0);
    // Damaged or unknown files fail with one line and leave the destination alone.
    const QString bad = writeFile(d, QStringLiteral("photo.xyz"), QByteArray("not a picture"));
    const QString cut = writeFile(d, QStringLiteral("cut.jpg"), encodeJpeg(gradient(64, 64)).left(50));
    const QString none = d.filePath(QStringLiteral("out.png"));
    const QString keep = writeFile(d, QStringLiteral("keep.png"), QByteArray("old contents"));
    const QString unsupported = QStringLiteral("mvconvert: %1: unsupported picture type\n").arg(bad);
    const QString truncated = QStringLiteral("mvconvert: %1: the file is truncated\n").arg(cut);
    const std::pair<QStringList, QString> cases[] = {
        {{bad, none}, unsupported}, {{QStringLiteral("--info"), bad}, unsupported},
        {{cut, none}, truncated},   {{QStringLiteral("--decode-only"), cut}, truncated},
        {{cut, keep}, truncated},
    };
    for (const auto& [args, error] : cases) {
        const ToolRun failed = mvconvert(args);
        EXPECT_NE(failed.exitCode, 0);
        EXPECT_EQ(failed.err, error);
        EXPECT_TRUE(failed.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(none));
    QFile kept(keep);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old contents"));
    EXPECT_EQ(mvconvert({}).exitCode, 2);
    EXPECT_EQ(mvconvert({QStringLiteral("--info")}).exitCode, 2);

    // A metafile is drawn at its natural size or a given width (200 x 100, the upper left quarter
    // red); a raster picture is scaled to the width too.
    const QString wmf = writeFile(d, QStringLiteral("red.wmf"), fixture(QStringLiteral("red-200x100.wmf")));
    EXPECT_EQ(mvconvert({QStringLiteral("--info"), wmf}).out, QStringLiteral("WMF 200 100 24\n"));
    const QString wide = d.filePath(QStringLiteral("wide.png"));
    ASSERT_EQ(mvconvert({wmf, out}).exitCode, 0);
    EXPECT_EQ(QImageReader(out).size(), QSize(200, 100));
    ASSERT_EQ(mvconvert({QStringLiteral("--width"), QStringLiteral("500"), wmf, wide}).exitCode, 0);
    const QImage img = QImageReader(wide).read();
    ASSERT_EQ(img.size(), QSize(500, 250));
    EXPECT_EQ(QColor(img.pixel(100, 50)), QColor(Qt::red));
    EXPECT_EQ(qAlpha(img.pixel(400, 200)), 0); // outside the rectangle: nothing drawn
    ASSERT_EQ(mvconvert({QStringLiteral("--width"), QStringLiteral("60"), in, out}).exitCode, 0);
    EXPECT_EQ(QImageReader(out).size(), QSize(60, 40));
    for (const char* width : {"0", "x"})
        EXPECT_EQ(mvconvert({QStringLiteral("--width"), QLatin1String(width), wmf, wide}).exitCode, 2);
}

} // namespace
} // namespace mv::imaging::test
