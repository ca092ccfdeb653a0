// Regions, palettes and raster operations of old Windows metafiles.
#include "BlitDibs.h"
#include "RenderSupport.h"
#include "WmfWriter.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;

QImage draw(const WmfWriter& w)
{
    const Picture p = decodeWmfData(w.file(true, QRect(0, 0, 100, 100), 96));
    EXPECT_TRUE(p.ok()) << qPrintable(p.error);
    return render(p, {100, 100});
}

// A region of two scans: the top half left, the bottom half right.
QByteArray diagonalRegion(bool damagedScans = false)
{
    QByteArray r;
    for (const int v : {0, 6, 0, 0, 0, 2, 2, 0, 0, 100, 100})
        WmfWriter::appendU16(r, v);
    for (const int v : {2, 0, 50, 0, 50, 2, 2, 50, 100, 50, 100, damagedScans ? 3 : 2})
        WmfWriter::appendU16(r, v);
    if (damagedScans)
        r.chop(14); // the second scan cut short
    return r;
}

TEST(WmfRegion, RegionsClipAndFillByTheirScans)
{
    // Objects: 0 pen (hollow), 1 red brush, 2 region.
    WmfWriter clip;
    clip.pen(5, 0, 0).brush(0, kRed).raw(0x06FF, diagonalRegion()).select(0).select(1);
    clip.record(0x012C, {2}).rectangle(0, 0, 101, 101);
    const QImage ci = draw(clip);
    EXPECT_PIXEL(ci, 25, 25, Qt::red);
    EXPECT_PIXEL(ci, 75, 75, Qt::red);
    EXPECT_PIXEL(ci, 75, 25, Qt::white);

    WmfWriter fill;
    fill.pen(5, 0, 0).brush(0, kBlue).raw(0x06FF, diagonalRegion());
    fill.record(0x0228, {2, 1});
    const QImage fi = draw(fill);
    EXPECT_PIXEL(fi, 25, 25, Qt::blue);
    EXPECT_PIXEL(fi, 25, 75, Qt::white);

    // Frame 4 wide, then invert: the framed edge turns yellow, the inside black.
    WmfWriter frame;
    frame.pen(5, 0, 0).brush(0, kBlue).raw(0x06FF, diagonalRegion());
    frame.record(0x0429, {2, 1, 4, 4}).record(0x012A, {2});
    const QImage fr = draw(frame);
    EXPECT_PIXEL(fr, 1, 25, Qt::yellow);
    EXPECT_PIXEL(fr, 25, 25, Qt::black);
    EXPECT_PIXEL(fr, 75, 25, Qt::white);

    // Scans that run past the record: the region falls back to its bounds.
    WmfWriter damaged;
    damaged.pen(5, 0, 0).brush(0, kRed).raw(0x06FF, diagonalRegion(true)).record(0x0228, {2, 1});
    damaged.record(0x0228, {9, 1}).record(0x0228, {2, 0}).record(0x012C, {7}).record(0x012A, {0});
    const QImage di = draw(damaged);
    EXPECT_PIXEL(di, 75, 25, Qt::red);
}

TEST(WmfRegion, PaletteColoursAndRasterOperations)
{
    // CreatePalette of red and green, selected; a StretchDIB whose table points at it.
    const QByteArray pal = redGreenPalette();
    const DibParts dib = topHalfPaletteIndexed();
    QByteArray stretch;
    for (const int v : {0x20, 0xCC, 1, 4, 4, 0, 0, 100, 100, 0, 0})
        WmfWriter::appendU16(stretch, v);
    WmfWriter w;
    w.raw(0x00F7, pal).record(0x0234, {0}).raw(0x0F43, stretch + dib.packed());
    const QImage img = draw(w);
    EXPECT_PIXEL(img, 50, 25, Qt::green);
    EXPECT_PIXEL(img, 50, 75, Qt::red);

    // PatBlt with PATINVERT: blue brush over white gives yellow; SetROP2 XOR on a pen line.
    WmfWriter ops;
    ops.pen(0, 4, kRed).brush(0, kBlue).select(0).select(1);
    ops.record(0x061D, {0x0049, 0x005A, 50, 100, 0, 0}); // rop, height, width, y, x
    ops.record(0x0104, {7}).moveTo(0, 75).lineTo(100, 75);
    const QImage oi = draw(ops);
    EXPECT_PIXEL(oi, 50, 25, Qt::yellow);
    EXPECT_PIXEL(oi, 50, 75, Qt::cyan);
    EXPECT_PIXEL(oi, 50, 90, Qt::white);
}

} // namespace
} // namespace mv::imaging::test
