// Enhanced metafile text, which a probe of a few pixels cannot judge: "HHHH" drawn by ExtTextOutW
// and ExtTextOutA lands in its box, and glyph numbers draw only their opaque box. Sizes, shapes,
// transforms, clipping, paths, bitmaps, arcs, regions, raster operations, blends, masks, palettes
// and damage are rows of the fixtures' MANIFEST.
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

QImage draw(const QString& file)
{
    return renderVector(decodeEmfData, fixture(file), {100, 100});
}

TEST(Emf, TextLandsInItsBoxAndGlyphNumbersDrawNoLetters)
{
    for (const char* file : {"text-w.emf", "text-a.emf"}) {
        const QImage text = draw(QLatin1String(file));
        EXPECT_GT(darkPixels(text, QRect(10, 10, 90, 45)), 100) << file;
        EXPECT_EQ(darkPixels(text, QRect(0, 60, 100, 40)), 0) << file;
    }
    // The opaque box in the yellow background colour (a MANIFEST row probes it), no letters.
    EXPECT_EQ(darkPixels(draw(QStringLiteral("glyphs.emf")), QRect(0, 0, 100, 100)), 0);
}

} // namespace
} // namespace mv::imaging::test
