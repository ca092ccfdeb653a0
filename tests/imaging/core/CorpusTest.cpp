// The seed files of the fuzz targets (tests/imaging/corpus/<target>/, small valid pictures the
// test writers once made): each decodes as its target feeds it, stays small and, when it is a
// vector picture, draws some ink but not only ink. Every folder is a target this test knows.
#include "../common/Checks.h"
#include "../common/Decoders.h"
#include "../common/Render.h"

#include "imaging/PictureDecoder.h"

namespace mv::imaging::test {
namespace {

// A seed as its fuzz target feeds it to the decoders: the entry point's under its own name (or
// as a JPEG); a CUT seed's first byte says how many 16-byte blocks at its end are the palette
// file; a Slow Scan TV seed is padded to the one size such a file has, so it reaches the pixels.
DecodeResult decodeSeed(const QString& target, const QByteArray& seed, const QString& name)
{
    if (target == QLatin1String("picture") || target == QLatin1String("jpeg"))
        return decodePictureData(seed, target == QLatin1String("jpeg") ? QStringLiteral("a.jpg") : name);
    if (target == QLatin1String("cut")) {
        const qsizetype palette = qsizetype(std::uint8_t(seed[0])) * 16;
        return decodeCut(QByteArrayView(seed).sliced(1, seed.size() - 1 - palette),
                         QByteArrayView(seed).last(palette));
    }
    if (target == QLatin1String("hrz"))
        return decodeHrz(seed.leftJustified(184320, '\0', true));
    return decoders().at(target).decode(seed);
}

TEST(Corpus, EverySeedDecodesAsItsTargetFeedsIt)
{
    const QDir corpus(QStringLiteral(MV_CORPUS));
    const QStringList folders = corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(folders.size(), qsizetype(decoders().size()) + 2); // and the entry point's, and JPEG's
    for (const QString& folder : folders) {
        ASSERT_TRUE(decoders().contains(folder) || folder == QLatin1String("picture") ||
                    folder == QLatin1String("jpeg"))
            << "no decoder for the seeds in " << folder.toStdString();
        // The metafiles' seeds draw some ink but not only ink; the WPG drawings' need only be drawings.
        const bool metafile = folder == QLatin1String("wmf") || folder == QLatin1String("emf");
        const qsizetype maxBytes = metafile                               ? 1 << 20
                                   : folder == QLatin1String("picture")   ? 4097
                                   : folder == QLatin1String("wpgvector") ? 4096
                                                                          : 8192;
        const QStringList seeds = QDir(corpus.filePath(folder)).entryList(QDir::Files);
        EXPECT_FALSE(seeds.isEmpty()) << folder.toStdString();
        for (const QString& name : seeds) {
            SCOPED_TRACE((folder + QLatin1Char('/') + name).toStdString());
            QFile file(corpus.filePath(folder + QLatin1Char('/') + name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_LT(bytes.size(), maxBytes);
            const DecodeResult r = decodeSeed(folder, bytes, name);
            ASSERT_TRUE(r.ok()) << r.status.reason;
            EXPECT_EQ(r.isVector(), metafile || folder == QLatin1String("wpgvector"));
            if (metafile) {
                const int dark = darkPixels(render(r, QSize(200, 200)), QRect(0, 0, 200, 200));
                EXPECT_GT(dark, 10);
                EXPECT_LT(dark, 200 * 200);
            }
        }
    }
}

} // namespace
} // namespace mv::imaging::test
