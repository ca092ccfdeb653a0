// The seed files of the fuzz targets. Every run checks that each seed decodes and draws; with
// MV_WRITE_CORPUS=<tests/imaging/corpus> it also writes them there.
#include "RenderSupport.h"
#include "SampleMetafiles.h"

#include "imaging/metafile/MetafileDecoder.h"

#include <QDir>
#include <QFile>

namespace mv::imaging::test {
namespace {

TEST(MetafileCorpus, SeedsDecodeAndDraw)
{
    WmfWriter plain;
    plain.windowExt(50, 40).pen(0, 1, 0).select(0).moveTo(0, 0).lineTo(50, 40).eof();
    const struct {
        const char* dir;
        const char* name;
        QByteArray bytes;
        Picture (*decode)(QByteArrayView);
    } seeds[] = {
        {"wmf", "mixed.wmf", mixedWmf(200), decodeWmfData},
        {"wmf", "plain.wmf", plain.file(false), decodeWmfData},
        {"wmf", "rare.wmf", rareRecordsWmf(), decodeWmfData},
        {"emf", "mixed.emf", mixedEmf(200), decodeEmfData},
        {"emf", "rare.emf", rareRecordsEmf(), decodeEmfData},
    };
    const QByteArray out = qgetenv("MV_WRITE_CORPUS");
    for (const auto& s : seeds) {
        const Picture p = s.decode(s.bytes);
        ASSERT_TRUE(p.ok()) << s.name << ": " << qPrintable(p.error);
        const QImage img = render(p, QSize(200, 200));
        EXPECT_LT(darkPixels(img, img.rect()), 200 * 200) << s.name;
        EXPECT_GT(darkPixels(img, img.rect()), 10) << s.name;
        if (out.isEmpty())
            continue;
        const QDir dir(QString::fromLocal8Bit(out) + QLatin1Char('/') + QLatin1String(s.dir));
        ASSERT_TRUE(dir.mkpath(QStringLiteral(".")));
        QFile f(dir.filePath(QLatin1String(s.name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(s.bytes), s.bytes.size());
    }
}

} // namespace
} // namespace mv::imaging::test
