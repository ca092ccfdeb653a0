// Old Windows metafiles drawn where the fixtures' MANIFEST cannot tell: hatches with and without
// their background, and the caller's clip. Shapes, pens, objects, bitmaps, text, regions,
// palettes, raster operations, map modes and damage are rows of the MANIFEST; enhanced
// metafiles are rows only.
#include "../common/Fixtures.h"
#include "../common/Render.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

QImage draw(const QString& file)
{
    return renderVector(decodeWmfData, fixture(file), {100, 100});
}

TEST(Wmf, HatchesAndClipDrawWhereTheRecordsSay)
{
    // A blue hatched brush over the whole picture, in opaque mode (its gaps in the green background
    // colour) or transparent (the white beneath shows).
    for (const bool opaque : {true, false}) {
        const QImage h =
            draw(opaque ? QStringLiteral("hatch-opaque.wmf") : QStringLiteral("hatch-opaque.wmf set=102:01"));
        const auto column = [&](QColor c) {
            return countPixels(h, QRect(50, 10, 1, 80), [&](QRgb px) { return near(px, c); });
        };
        const int blue = column(Qt::blue), green = column(Qt::green), white = column(Qt::white);
        EXPECT_GT(blue, 0);
        EXPECT_EQ(green > 0, opaque);
        EXPECT_EQ(white > 0, !opaque);
        EXPECT_EQ(blue + green + white, 80);
    }

    // The caller's clip holds: of the red square (20..80), only the left half is painted.
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
