// Old Windows metafiles drawn where the fixtures' MANIFEST cannot tell: under the caller's clip.
// Shapes, pens, objects, hatches with and without their background, bitmaps, text, regions,
// palettes, raster operations, map modes and damage are rows of the MANIFEST; enhanced
// metafiles are rows only.
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

TEST(Wmf, TheCallersClipHolds)
{
    // Of the red square (20..80), only the left half is painted.
    const DecodeResult p = decodeWmfData(fixture(QStringLiteral("red-square.wmf")));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    QImage clipped(100, 100, QImage::Format_RGB32);
    clipped.fill(Qt::white);
    {
        QPainter painter(&clipped);
        painter.setClipRect(0, 0, 50, 100);
        p.drawing->draw(painter, QRectF(0, 0, 100, 100));
    }
    EXPECT_TRUE(pixelsAre(clipped, {{40, 50, Qt::red}, {60, 50, Qt::white}}));
}

} // namespace
} // namespace mv::imaging::test
