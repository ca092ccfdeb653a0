// Old Windows metafiles written here, decoded and drawn: sizes, shapes, pens, objects, bitmaps,
// text, regions, palettes, raster operations, fixed-scale map modes and damage.
#include "../common/Checks.h"
#include "../common/Render.h"
#include "EmfWriter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr int kNullPen = 5;

// Objects 0 (hollow pen) and 1 (brush of colour) selected.
WmfWriter filledShapes(std::uint32_t colour)
{
    return std::move(WmfWriter().pen(kNullPen, 0, 0).brush(0, colour).select(0).select(1));
}
QByteArray placeable100(const WmfWriter& w)
{
    return w.file(true, QRect(0, 0, 100, 100), 96);
}
QImage draw(const WmfWriter& w)
{
    return renderVector(decodeWmfData, placeable100(w), {100, 100});
}

// A region of two scans: the top half left, the bottom half right; or with the second scan
// cut short.
QByteArray diagonalRegion(bool damagedScans = false)
{
    QByteArray r = u16s(
        {0, 6, 0, 0, 0, 2, 2, 0, 0, 100, 100, 2, 0, 50, 0, 50, 2, 2, 50, 100, 50, 100, damagedScans ? 3 : 2});
    return damagedScans ? r.chopped(14) : r;
}

TEST(Wmf, NaturalSizeFromPlaceableHeaderWindowOrShapes)
{
    EXPECT_EQ(
        summary(decodeWmfData(WmfWriter().rectangle(0, 0, 10, 10).file(true, QRect(0, 0, 1440, 720), 1440))),
        "96x48 24-bit vector");
    EXPECT_EQ(summary(decodeWmfData(
                  WmfWriter().windowOrg(10, 20).windowExt(200, 100).rectangle(10, 20, 50, 50).file(false))),
              "200x100 24-bit vector");
    EXPECT_EQ(summary(decodeWmfData(WmfWriter().rectangle(-10, 0, 30, 25).lineTo(50, 5).file(false))),
              "60x25 24-bit vector");
    // Through the entry point: a vector picture, and its size without decoding.
    const WmfWriter red = std::move(filledShapes(kRed).rectangle(0, 0, 100, 100));
    EXPECT_EQ(summary(decodePictureData(red.file(true, QRect(0, 0, 200, 100), 96), QStringLiteral("a.wmf"))),
              "WMF 200x100 24-bit vector");
    EXPECT_EQ(summary(probePictureData(red.file(false), QStringLiteral("plain.wmf"))), "WMF 100x100 24-bit");
}

TEST(Wmf, FilledShapesLandWhereTheRecordsSay)
{
    const Picture p = decodeWmfData(placeable100(filledShapes(kRed).rectangle(20, 20, 80, 80)));
    ASSERT_TRUE(p.ok()) << p.status.reason;
    EXPECT_TRUE(pixelsAre(render(p, {100, 100}),
                          {{50, 50, Qt::red}, {25, 75, Qt::red}, {10, 10, Qt::white}, {90, 50, Qt::white}}));
    // Drawn sharp at any size.
    EXPECT_TRUE(
        pixelsAre(render(p, {300, 300}), {{150, 150, Qt::red}, {62, 62, Qt::red}, {55, 55, Qt::white}}));
    EXPECT_TRUE(pixelsAre(draw(filledShapes(kBlue).ellipse(0, 0, 100, 100)),
                          {{50, 50, Qt::blue}, {50, 3, Qt::blue}, {4, 4, Qt::white}, {96, 96, Qt::white}}));
    // A pie from 3 o'clock counter-clockwise to 12 o'clock: the top right quarter.
    EXPECT_TRUE(pixelsAre(draw(filledShapes(kBlue).record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0})),
                          {{70, 30, Qt::blue}, {30, 30, Qt::white}, {70, 70, Qt::white}}));

    // A hatched brush in opaque mode fills its gaps with the background colour.
    for (const bool opaque : {true, false}) {
        WmfWriter hatch;
        hatch.pen(kNullPen, 0, 0).brush(2, kBlue, 0).select(0).select(1).record(0x0201, {0xFF00, 0});
        const QImage h = draw(hatch.record(0x0102, {opaque ? 2 : 1}).rectangle(0, 0, 100, 100));
        const auto column = [&](QColor c) {
            return countPixels(h, QRect(50, 10, 1, 80), [&](QRgb px) { return near(px, c); });
        };
        const int blue = column(Qt::blue), green = column(Qt::green), white = column(Qt::white);
        EXPECT_GT(blue, 0);
        EXPECT_EQ(green > 0, opaque);
        EXPECT_EQ(white > 0, !opaque);
        EXPECT_EQ(blue + green + white, 80);
    }

    // The caller's clip holds: only the left half is painted.
    QImage clipped(100, 100, QImage::Format_RGB32);
    clipped.fill(Qt::white);
    {
        QPainter painter(&clipped);
        painter.setClipRect(0, 0, 50, 100);
        p.drawing->draw(painter, QRectF(0, 0, 100, 100));
    }
    EXPECT_TRUE(pixelsAre(clipped, {{40, 50, Qt::red}, {60, 50, Qt::white}}));

    // A window of 0..1000 maps onto the 100-unit box: the rectangle shrinks tenfold.
    EXPECT_TRUE(pixelsAre(
        draw(filledShapes(kGreen).windowOrg(0, 0).windowExt(1000, 1000).rectangle(500, 0, 1000, 500)),
        {{75, 25, Qt::green}, {25, 25, Qt::white}, {75, 75, Qt::white}}));
}

TEST(Wmf, LinesPensSavedStateAndObjectSlots)
{
    EXPECT_TRUE(pixelsAre(draw(WmfWriter().pen(0, 6, 0).select(0).moveTo(0, 50).lineTo(100, 50)),
                          {{50, 50, Qt::black}, {5, 50, Qt::black}, {50, 40, Qt::white}}));
    // SaveDC keeps the red pen; RestoreDC(-1) brings it back after the blue one.
    WmfWriter s;
    s.pen(0, 6, kRed).pen(0, 6, kBlue).select(0).saveDc().select(1).moveTo(0, 20).lineTo(100, 20);
    s.restoreDc(-1);
    EXPECT_TRUE(pixelsAre(draw(s.moveTo(0, 70).lineTo(100, 70)), {{50, 20, Qt::blue}, {50, 70, Qt::red}}));
    // Objects take the lowest free slot.
    WmfWriter w;
    w.pen(kNullPen, 0, 0).brush(0, kBlue).record(0x01F0, {0}); // delete the pen: slot 0 is free
    w.brush(0, kRed).select(0).record(0x02FA, {kNullPen, 0, 0, 0, 0}).select(2).rectangle(0, 0, 100, 100);
    EXPECT_TRUE(pixelsAre(draw(w), {{50, 50, Qt::red}}));
}

TEST(Wmf, BitmapsAndTextLandWhereTheRecordsSay)
{
    WmfWriter w;
    // StretchDIB to 50,50 40x40 (rop, usage, src h w y x, dest h w y x); a 1:1 copy (DIBBitBlt)
    // to 10,10; a stretch (DIBStretchBlt) to 10,60 20x30; without a bitmap, DIBBitBlt fills with
    // the brush (PATCOPY).
    w.raw(0x0F43, u16s({0x0020, 0x00CC, 0, 4, 4, 0, 0, 40, 40, 50, 50}) + solidDib(4, 4, 0x00FF00));
    w.raw(0x0940, u16s({0x0020, 0x00CC, 0, 0, 4, 4, 10, 10}) + solidDib(4, 4, 0xFF0000));
    w.raw(0x0B41, u16s({0x0020, 0x00CC, 4, 4, 0, 0, 30, 20, 60, 10}) + solidDib(4, 4, 0x0000FF));
    w.brush(0, 0x000000).select(0).record(0x0940, {0x0021, 0x00F0, 0, 0, 0, 10, 10, 85, 85});
    const QImage bitmaps = draw(w);
    EXPECT_TRUE(pixelsAre(
        bitmaps, {{70, 70, Qt::green}, {52, 88, Qt::green}, {20, 20, Qt::white}, {95, 70, Qt::white}}));
    EXPECT_TRUE(pixelsAre(bitmaps,
                          {{12, 12, Qt::red}, {16, 16, Qt::white}, {28, 88, Qt::blue}, {32, 88, Qt::white}}));
    EXPECT_TRUE(pixelsAre(bitmaps, {{90, 90, Qt::black}, {47, 47, Qt::white}}));
    // Text draws in its box.
    WmfWriter text;
    text.font(40, 700).select(0).record(0x0102, {1}).textOut(10, 10, "HHHH");
    const QImage img = renderVector(decodeWmfData, text.file(true, QRect(0, 0, 200, 100), 96), {200, 100});
    EXPECT_GT(darkPixels(img, QRect(10, 10, 120, 45)), 100);
    EXPECT_EQ(darkPixels(img, QRect(0, 60, 200, 40)), 0);
}

TEST(Wmf, DamagedFilesGiveErrorsOrPartialPictures)
{
    const WmfWriter good = std::move(filledShapes(kRed).rectangle(0, 0, 50, 100));
    // A record of size 0, then one that runs past the end: the first rectangle still shows.
    for (const QByteArray& tail :
         {QByteArray("\0\0\0\0\x1b\x04", 6), QByteArray("\xff\x00\x00\x00\x1b\x04\1\0", 8)})
        EXPECT_TRUE(pixelsAre(draw(WmfWriter(good).bytes(tail).rectangle(50, 0, 100, 100)),
                              {{25, 50, Qt::red}, {75, 50, Qt::white}}));
    // Indices out of range, deep nesting, absurd counts, huge coordinates: no crash.
    WmfWriter hostile = good;
    hostile.select(9999).record(0x01F0, {40000});
    for (int i = 0; i < 500; ++i)
        hostile.saveDc();
    hostile.restoreDc(-400).restoreDc(-400).restoreDc(30000);
    hostile.record(0x0324, {65535, 1, 2}).record(0x0538, {3, 65535, 65535, 65535, 0});
    hostile.rectangle(-32768, -32768, 32767, 32767).windowExt(0, 0).windowExt(1, 1);
    hostile.ellipse(-32768, 0, 32767, 1);
    hostile.record(0x0A32, {0, 0, 32767, 6, 0, 0, 0, 0}).record(0x0521, {-5, 0, 0});
    hostile.record(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 10, 10, 0, 0, 40, 0});
    draw(hostile);

    EXPECT_EQ(decodeWmfData(WmfWriter().windowExt(0, 100).rectangle(0, 0, 10, 10).file(false)).reasonText(),
              QStringLiteral("the picture's window extent is zero"));
    EXPECT_EQ(decodeWmfData(WmfWriter().file(false)).reasonText(),
              QStringLiteral("the picture states no size"));
    EXPECT_EQ(decodeWmfData(good.file(true, QRect(0, 0, 0, 10))).reasonText(),
              QStringLiteral("the picture's bounding box is empty"));
    for (const int cut : {3, 10, 22, 30})
        EXPECT_FALSE(decodeWmfData(placeable100(good).left(cut)).ok()) << cut;
}

TEST(WmfRegion, RegionsClipAndFillByTheirScans)
{
    // Objects: 0 pen (hollow), 1 brush, 2 region.
    WmfWriter clip;
    clip.pen(5, 0, 0).brush(0, kRed).raw(0x06FF, diagonalRegion()).select(0).select(1);
    clip.record(0x012C, {2}).rectangle(0, 0, 101, 101);
    EXPECT_TRUE(pixelsAre(draw(clip), {{25, 25, Qt::red}, {75, 75, Qt::red}, {75, 25, Qt::white}}));
    WmfWriter fill;
    fill.pen(5, 0, 0).brush(0, kBlue).raw(0x06FF, diagonalRegion()).record(0x0228, {2, 1});
    EXPECT_TRUE(pixelsAre(draw(fill), {{25, 25, Qt::blue}, {25, 75, Qt::white}}));
    // Frame 4 wide, then invert: the framed edge turns yellow, the inside black.
    WmfWriter frame;
    frame.pen(5, 0, 0).brush(0, kBlue).raw(0x06FF, diagonalRegion()).record(0x0429, {2, 1, 4, 4});
    frame.record(0x012A, {2});
    EXPECT_TRUE(pixelsAre(draw(frame), {{1, 25, Qt::yellow}, {25, 25, Qt::black}, {75, 25, Qt::white}}));
    // Scans that run past the record: the region falls back to its bounds.
    WmfWriter damaged;
    damaged.pen(5, 0, 0).brush(0, kRed).raw(0x06FF, diagonalRegion(true)).record(0x0228, {2, 1});
    damaged.record(0x0228, {9, 1}).record(0x0228, {2, 0}).record(0x012C, {7}).record(0x012A, {0});
    EXPECT_TRUE(pixelsAre(draw(damaged), {{75, 25, Qt::red}}));
}

TEST(WmfRegion, PaletteColoursAndRasterOperations)
{
    // CreatePalette of red and green, selected; a StretchDIB whose table points at it.
    WmfWriter w;
    w.raw(0x00F7, redGreenPalette()).record(0x0234, {0});
    w.raw(0x0F43, u16s({0x20, 0xCC, 1, 4, 4, 0, 0, 100, 100, 0, 0}) + topHalfPaletteIndexed().packed());
    EXPECT_TRUE(pixelsAre(draw(w), {{50, 25, Qt::green}, {50, 75, Qt::red}}));
    // PatBlt with PATINVERT (rop, height, width, y, x): blue brush over white gives yellow;
    // SetROP2 XOR on a pen line.
    WmfWriter ops;
    ops.pen(0, 4, kRed).brush(0, kBlue).select(0).select(1).record(0x061D, {0x0049, 0x005A, 50, 100, 0, 0});
    ops.record(0x0104, {7}).moveTo(0, 75).lineTo(100, 75);
    EXPECT_TRUE(pixelsAre(draw(ops), {{50, 25, Qt::yellow}, {50, 75, Qt::cyan}, {50, 90, Qt::white}}));
}

TEST(WmfMapping, FixedScaleUnitsCountUpwardsAndSizeThePicture)
{
    // A square of 100 mm with its upper left quarter red, drawn in tenths of a millimetre
    // (MM_LOMETRIC); bare, and with the placeable header's box in the same upward units.
    WmfWriter w;
    w.record(0x0103, {2}).pen(5, 0, 0).brush(1, 0).select(0).select(1).rectangle(0, 0, 1000, -1000);
    w.brush(0, 0x0000FF).select(2).rectangle(0, 0, 500, -500);
    for (const QByteArray& file : {w.file(false), w.file(true, QRect(0, -1000, 1000, 1000), 254)}) {
        const Picture p = decodeWmfData(file);
        EXPECT_EQ(summary(p), "378x378 24-bit vector"); // 100 mm at 96 dpi
        EXPECT_TRUE(
            pixelsAre(render(p, {100, 100}), {{25, 25, Qt::red}, {25, 75, Qt::white}, {75, 25, Qt::white}}));
    }
}

} // namespace
} // namespace mv::imaging::test
