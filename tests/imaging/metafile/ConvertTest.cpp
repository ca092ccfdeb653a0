// mvconvert with metafiles, run as a user would run it.
#include "WmfWriter.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mv::imaging::test {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
};

ToolRun mvconvert(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(MV_CONVERT_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

TEST(MetafileConvert, RendersAtNaturalSizeOrAGivenWidth)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    WmfWriter w;
    w.record(0x02FA, {5, 0, 0, 0, 0}).brush(0, 0x0000FF).select(0).select(1).rectangle(0, 0, 100, 50);
    const QString in = d.filePath(QStringLiteral("red.wmf"));
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(w.file(true, QRect(0, 0, 200, 100), 96));
    f.close();

    const ToolRun info = mvconvert({QStringLiteral("--info"), in});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_EQ(info.out, QStringLiteral("WMF 200 100 24\n"));

    const QString natural = d.filePath(QStringLiteral("natural.png"));
    ASSERT_EQ(mvconvert({in, natural}).exitCode, 0);
    EXPECT_EQ(QImageReader(natural).size(), QSize(200, 100));

    const QString wide = d.filePath(QStringLiteral("wide.png"));
    ASSERT_EQ(mvconvert({QStringLiteral("--width"), QStringLiteral("500"), in, wide}).exitCode, 0);
    const QImage img = QImageReader(wide).read();
    ASSERT_EQ(img.size(), QSize(500, 250));
    EXPECT_EQ(QColor(img.pixel(100, 50)), QColor(Qt::red));
    EXPECT_EQ(qAlpha(img.pixel(400, 200)), 0); // outside the rectangle: nothing drawn

    // A raster picture is scaled to the width too.
    QImage raster(40, 20, QImage::Format_RGB32);
    raster.fill(Qt::red);
    const QString png = d.filePath(QStringLiteral("raster.png"));
    ASSERT_TRUE(raster.save(png, "png"));
    const QString scaled = d.filePath(QStringLiteral("scaled.png"));
    ASSERT_EQ(mvconvert({QStringLiteral("--width"), QStringLiteral("80"), png, scaled}).exitCode, 0);
    EXPECT_EQ(QImageReader(scaled).size(), QSize(80, 40));

    EXPECT_EQ(mvconvert({QStringLiteral("--width"), QStringLiteral("0"), in, wide}).exitCode, 2);
    EXPECT_EQ(mvconvert({QStringLiteral("--width"), QStringLiteral("x"), in, wide}).exitCode, 2);
}

} // namespace
} // namespace mv::imaging::test
