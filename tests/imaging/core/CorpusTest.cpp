// The seed files of the fuzz targets (tests/imaging/corpus/<target>/, small valid pictures the
// test writers once made): each decodes as its target feeds it, stays small and, when it is a
// vector picture, draws some ink but not only ink. Every folder is a target this test knows.
#include "../common/Checks.h"
#include "../common/Render.h"

#include "imaging/PictureDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"
#include "imaging/pc/CutDecoder.h"
#include "imaging/pc/DibDecoder.h"
#include "imaging/pc/GemImgDecoder.h"
#include "imaging/pc/MspDecoder.h"
#include "imaging/pc/PcxDecoder.h"
#include "imaging/pc/SunRasterDecoder.h"
#include "imaging/pc/TargaDecoder.h"
#include "imaging/retro/ArtDecoder.h"
#include "imaging/retro/HrzDecoder.h"
#include "imaging/retro/IffDecoder.h"
#include "imaging/retro/MacPaintDecoder.h"
#include "imaging/retro/PicDecoder.h"
#include "imaging/wpg/WpgDecoder.h"

#include <QDirIterator>

#include <map>

namespace mv::imaging::test {
namespace {

// Raster: pixels; Vector: a drawing; Drawing: a drawing with some ink but not only ink.
enum class Kind {
    Raster,
    Vector,
    Drawing
};
struct Target {
    std::function<DecodeResult(const QByteArray&, const QString&)> decode;
    qsizetype maxBytes = 8192;
    Kind kind = Kind::Raster;
};

template <typename Decode>
Target raster(Decode decode)
{
    return {[decode](const QByteArray& b, const QString&) { return DecodeResult(decode(b)); }};
}

const std::map<QString, Target>& targets()
{
    static const std::map<QString, Target> t = {
        {"art", raster(decodeArt)},
        {"dib", raster(decodeDib)},
        {"gemimg", raster(decodeGemImg)},
        {"iff", raster(decodeIff)},
        {"macpaint", raster(decodeMacPaint)},
        {"msp", raster(decodeMsp)},
        {"pcx", raster(decodePcx)},
        {"pic", raster(decodePic)},
        {"sunraster", raster(decodeSunRaster)},
        {"targa", raster(decodeTarga)},
        {"wpg", raster(decodeWpg)},
        // The first byte says how many 16-byte blocks at the end are the palette file.
        {"cut", raster([](const QByteArray& seed) {
             const qsizetype palette = qsizetype(std::uint8_t(seed[0])) * 16;
             return decodeCut(QByteArrayView(seed).sliced(1, seed.size() - 1 - palette),
                              QByteArrayView(seed).last(palette));
         })},
        // Padded to the one valid size, so a short seed reaches the pixels.
        {"hrz",
         raster([](const QByteArray& seed) { return decodeHrz(seed.leftJustified(184320, '\0', true)); })},
        {"jpeg",
         {[](const QByteArray& b, const QString&) { return decodePictureData(b, QStringLiteral("a.jpg")); }}},
        {"picture",
         {[](const QByteArray& b, const QString& name) { return decodePictureData(b, name); }, 4097}},
        {"wmf",
         {[](const QByteArray& b, const QString&) { return decodeWmfData(b); }, 1 << 20, Kind::Drawing}},
        {"emf",
         {[](const QByteArray& b, const QString&) { return decodeEmfData(b); }, 1 << 20, Kind::Drawing}},
        {"wpgvector",
         {[](const QByteArray& b, const QString&) { return DecodeResult(decodeWpgPicture(b)); }, 4096,
          Kind::Vector}},
    };
    return t;
}

TEST(Corpus, EverySeedDecodesAsItsTargetFeedsIt)
{
    const QDir corpus(QStringLiteral(MV_CORPUS));
    const QStringList folders = corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(folders.size(), qsizetype(targets().size()));
    for (const QString& folder : folders) {
        ASSERT_TRUE(targets().contains(folder)) << "no decoder for the seeds in " << folder.toStdString();
        const Target& target = targets().at(folder);
        const QStringList seeds = QDir(corpus.filePath(folder)).entryList(QDir::Files);
        EXPECT_FALSE(seeds.isEmpty()) << folder.toStdString();
        for (const QString& name : seeds) {
            SCOPED_TRACE((folder + QLatin1Char('/') + name).toStdString());
            QFile file(corpus.filePath(folder + QLatin1Char('/') + name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_LT(bytes.size(), target.maxBytes);
            const DecodeResult r = target.decode(bytes, name);
            ASSERT_TRUE(r.ok()) << r.status.reason;
            EXPECT_EQ(r.isVector(), target.kind != Kind::Raster);
            if (target.kind == Kind::Drawing) {
                const int dark = darkPixels(render(r, QSize(200, 200)), QRect(0, 0, 200, 200));
                EXPECT_GT(dark, 10);
                EXPECT_LT(dark, 200 * 200);
            }
        }
    }
}

} // namespace
} // namespace mv::imaging::test
