// Old Windows metafiles written here, decoded and drawn.
#include "EmfWriter.h"
#include "RenderSupport.h"
#include "WmfWriter.h"

#include "imaging/core/PictureDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr int kNullPen = 5;

// Objects 0 (hollow pen) and 1 (brush of colour) selected.
WmfWriter filledShapes(std::uint32_t colour)
{
    WmfWriter w;
    w.pen(kNullPen, 0, 0).brush(0, colour).select(0).select(1);
    return w;
}

QByteArray placeable100(const WmfWriter& w) { return w.file(true, QRect(0, 0, 100, 100), 96); }

TEST(Wmf, NaturalSizeFromPlaceableHeaderWindowOrShapes)
{
    WmfWriter w;
    w.rectangle(0, 0, 10, 10);
    const Picture inches = decodeWmfData(w.file(true, QRect(0, 0, 1440, 720), 1440));
    ASSERT_TRUE(inches.ok()) << qPrintable(inches.error);
    EXPECT_EQ(inches.width, 96);
    EXPECT_EQ(inches.height, 48);
    EXPECT_EQ(inches.colorDepth, 24);
    EXPECT_TRUE(inches.isVector());
    EXPECT_TRUE(inches.image.isNull());

    WmfWriter win;
    win.windowOrg(10, 20).windowExt(200, 100).rectangle(10, 20, 50, 50);
    const Picture byWindow = decodeWmfData(win.file(false));
    ASSERT_TRUE(byWindow.ok()) << qPrintable(byWindow.error);
    EXPECT_EQ(QSize(byWindow.width, byWindow.height), QSize(200, 100));

    WmfWriter shapes;
    shapes.rectangle(-10, 0, 30, 25).lineTo(50, 5);
    const Picture byShapes = decodeWmfData(shapes.file(false));
    ASSERT_TRUE(byShapes.ok()) << qPrintable(byShapes.error);
    EXPECT_EQ(QSize(byShapes.width, byShapes.height), QSize(60, 25));
}

TEST(Wmf, FilledShapesLandWhereTheRecordsSay)
{
    WmfWriter rect = filledShapes(kRed);
    rect.rectangle(20, 20, 80, 80);
    const Picture p = decodeWmfData(placeable100(rect));
    ASSERT_TRUE(p.ok()) << qPrintable(p.error);
    const QImage small = render(p, QSize(100, 100));
    EXPECT_PIXEL(small, 50, 50, Qt::red);
    EXPECT_PIXEL(small, 25, 75, Qt::red);
    EXPECT_PIXEL(small, 10, 10, Qt::white);
    EXPECT_PIXEL(small, 90, 50, Qt::white);
    const QImage large = render(p, QSize(300, 300)); // drawn sharp at any size
    EXPECT_PIXEL(large, 150, 150, Qt::red);
    EXPECT_PIXEL(large, 62, 62, Qt::red);
    EXPECT_PIXEL(large, 55, 55, Qt::white);

    WmfWriter ellipse = filledShapes(kBlue);
    ellipse.ellipse(0, 0, 100, 100);
    const QImage e = render(decodeWmfData(placeable100(ellipse)), QSize(100, 100));
    EXPECT_PIXEL(e, 50, 50, Qt::blue);
    EXPECT_PIXEL(e, 50, 3, Qt::blue);
    EXPECT_PIXEL(e, 4, 4, Qt::white);
    EXPECT_PIXEL(e, 96, 96, Qt::white);

    // A pie from 3 o'clock counter-clockwise to 12 o'clock: the top right quarter.
    WmfWriter pie = filledShapes(kBlue);
    pie.record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});
    const QImage pq = render(decodeWmfData(placeable100(pie)), QSize(100, 100));
    EXPECT_PIXEL(pq, 70, 30, Qt::blue);
    EXPECT_PIXEL(pq, 30, 30, Qt::white);
    EXPECT_PIXEL(pq, 70, 70, Qt::white);

    // A hatched brush in opaque mode fills its gaps with the background colour.
    for (const bool opaque : {true, false}) {
        WmfWriter hatch;
        hatch.pen(kNullPen, 0, 0).brush(2, kBlue, 0).select(0).select(1).record(0x0201, {0xFF00, 0});
        hatch.record(0x0102, {opaque ? 2 : 1}).rectangle(0, 0, 100, 100);
        const QImage h = render(decodeWmfData(placeable100(hatch)), QSize(100, 100));
        int blue = 0, green = 0, white = 0;
        for (int y = 10; y < 90; ++y) {
            blue += near(h.pixel(50, y), Qt::blue);
            green += near(h.pixel(50, y), Qt::green);
            white += near(h.pixel(50, y), Qt::white);
        }
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
    EXPECT_PIXEL(clipped, 40, 50, Qt::red);
    EXPECT_PIXEL(clipped, 60, 50, Qt::white);

    // A window of 0..1000 maps onto the 100-unit box: the rectangle shrinks tenfold.
    WmfWriter mapped = filledShapes(kGreen);
    mapped.windowOrg(0, 0).windowExt(1000, 1000).rectangle(500, 0, 1000, 500);
    const QImage m = render(decodeWmfData(placeable100(mapped)), QSize(100, 100));
    EXPECT_PIXEL(m, 75, 25, Qt::green);
    EXPECT_PIXEL(m, 25, 25, Qt::white);
    EXPECT_PIXEL(m, 75, 75, Qt::white);
}

TEST(Wmf, LinesPensAndSavedState)
{
    WmfWriter w;
    w.pen(0, 6, 0).select(0).moveTo(0, 50).lineTo(100, 50);
    const QImage line = render(decodeWmfData(placeable100(w)), QSize(100, 100));
    EXPECT_PIXEL(line, 50, 50, Qt::black);
    EXPECT_PIXEL(line, 5, 50, Qt::black);
    EXPECT_PIXEL(line, 50, 40, Qt::white);

    // SaveDC keeps the red pen; RestoreDC(-1) brings it back after the blue one.
    WmfWriter s;
    s.pen(0, 6, kRed).pen(0, 6, kBlue).select(0).saveDc().select(1).moveTo(0, 20).lineTo(100, 20).restoreDc(-1);
    s.moveTo(0, 70).lineTo(100, 70);
    const QImage saved = render(decodeWmfData(placeable100(s)), QSize(100, 100));
    EXPECT_PIXEL(saved, 50, 20, Qt::blue);
    EXPECT_PIXEL(saved, 50, 70, Qt::red);
}

TEST(Wmf, ObjectsTakeTheLowestFreeSlot)
{
    WmfWriter w;
    w.pen(kNullPen, 0, 0).brush(0, kBlue).record(0x01F0, {0}); // delete the pen: slot 0 is free
    w.brush(0, kRed).select(0).record(0x02FA, {kNullPen, 0, 0, 0, 0}).select(2).rectangle(0, 0, 100, 100);
    const QImage img = render(decodeWmfData(placeable100(w)), QSize(100, 100));
    EXPECT_PIXEL(img, 50, 50, Qt::red);
}

TEST(Wmf, BitmapLandsOnItsDestination)
{
    QByteArray params;
    for (const int v : {0x0020, 0x00CC, 0, 4, 4, 0, 0, 40, 40, 50, 50}) // rop, usage, src, dest h w y x
        WmfWriter::appendU16(params, v);
    params.append(solidDib(4, 4, 0x00FF00));
    WmfWriter w;
    w.raw(0x0F43, params);
    // Also a 1:1 copy (DIBBitBlt) to 10,10 and a stretch (DIBStretchBlt) to 10,60 20x30.
    QByteArray blt, stretch;
    for (const int v : {0x0020, 0x00CC, 0, 0, 4, 4, 10, 10}) // rop, src y x, h w, dest y x
        WmfWriter::appendU16(blt, v);
    for (const int v : {0x0020, 0x00CC, 4, 4, 0, 0, 30, 20, 60, 10}) // rop, src h w y x, dest h w y x
        WmfWriter::appendU16(stretch, v);
    w.raw(0x0940, blt + solidDib(4, 4, 0xFF0000)).raw(0x0B41, stretch + solidDib(4, 4, 0x0000FF));
    // Without a bitmap, DIBBitBlt fills with the brush (PATCOPY).
    w.brush(0, 0x000000).select(0).record(0x0940, {0x0021, 0x00F0, 0, 0, 0, 10, 10, 85, 85});
    const QImage img = render(decodeWmfData(placeable100(w)), QSize(100, 100));
    EXPECT_PIXEL(img, 70, 70, Qt::green);
    EXPECT_PIXEL(img, 52, 88, Qt::green);
    EXPECT_PIXEL(img, 20, 20, Qt::white);
    EXPECT_PIXEL(img, 95, 70, Qt::white);
    EXPECT_PIXEL(img, 12, 12, Qt::red);
    EXPECT_PIXEL(img, 16, 16, Qt::white);
    EXPECT_PIXEL(img, 28, 88, Qt::blue);
    EXPECT_PIXEL(img, 32, 88, Qt::white);
    EXPECT_PIXEL(img, 90, 90, Qt::black);
    EXPECT_PIXEL(img, 47, 47, Qt::white);
}

TEST(Wmf, TextDrawsInItsBox)
{
    WmfWriter w;
    w.font(40, 700).select(0).record(0x0102, {1}).textOut(10, 10, "HHHH");
    const QImage img = render(decodeWmfData(w.file(true, QRect(0, 0, 200, 100), 96)), QSize(200, 100));
    EXPECT_GT(darkPixels(img, QRect(10, 10, 120, 45)), 100);
    EXPECT_EQ(darkPixels(img, QRect(0, 60, 200, 40)), 0);
}

TEST(Wmf, DamagedFilesGiveErrorsOrPartialPictures)
{
    WmfWriter good = filledShapes(kRed);
    good.rectangle(0, 0, 50, 100);
    // A record of size 0, then one that runs past the end: the first rectangle still shows.
    for (const QByteArray& tail : {QByteArray("\0\0\0\0\x1b\x04", 6), QByteArray("\xff\x00\x00\x00\x1b\x04\1\0", 8)}) {
        WmfWriter w = good;
        w.bytes(tail).rectangle(50, 0, 100, 100);
        const Picture p = decodeWmfData(placeable100(w));
        ASSERT_TRUE(p.ok()) << qPrintable(p.error);
        const QImage img = render(p, QSize(100, 100));
        EXPECT_PIXEL(img, 25, 50, Qt::red);
        EXPECT_PIXEL(img, 75, 50, Qt::white);
    }
    // Indices out of range, deep nesting, absurd counts, huge coordinates: no crash.
    WmfWriter hostile = good;
    hostile.select(9999).record(0x01F0, {40000});
    for (int i = 0; i < 500; ++i)
        hostile.saveDc();
    hostile.restoreDc(-400).restoreDc(-400).restoreDc(30000);
    hostile.record(0x0324, {65535, 1, 2}).record(0x0538, {3, 65535, 65535, 65535, 0});
    hostile.rectangle(-32768, -32768, 32767, 32767).windowExt(0, 0).windowExt(1, 1).ellipse(-32768, 0, 32767, 1);
    hostile.record(0x0A32, {0, 0, 32767, 6, 0, 0, 0, 0}).record(0x0521, {-5, 0, 0});
    hostile.record(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 10, 10, 0, 0, 40, 0});
    const Picture h = decodeWmfData(placeable100(hostile));
    ASSERT_TRUE(h.ok());
    render(h, QSize(100, 100));

    WmfWriter zero;
    zero.windowExt(0, 100).rectangle(0, 0, 10, 10);
    EXPECT_EQ(decodeWmfData(zero.file(false)).error, QStringLiteral("the picture's window extent is zero"));
    EXPECT_EQ(decodeWmfData(WmfWriter().file(false)).error, QStringLiteral("the picture states no size"));
    EXPECT_EQ(decodeWmfData(good.file(true, QRect(0, 0, 0, 10))).error, QStringLiteral("the picture's bounding box is empty"));
    const QByteArray whole = placeable100(good);
    for (const int cut : {3, 10, 22, 30})
        EXPECT_FALSE(decodeWmfData(whole.left(cut)).ok()) << cut;
}

TEST(Wmf, EntryPointGivesAVectorPicture)
{
    WmfWriter w = filledShapes(kRed);
    w.rectangle(0, 0, 100, 100);
    const Picture p = decodePictureData(w.file(true, QRect(0, 0, 200, 100), 96), QStringLiteral("drawing.wmf"));
    ASSERT_TRUE(p.ok()) << qPrintable(p.error);
    EXPECT_TRUE(p.isVector());
    EXPECT_EQ(p.typeName, QStringLiteral("WMF"));
    EXPECT_EQ(p.colorDepth, 24);
    EXPECT_EQ(QSize(p.width, p.height), QSize(200, 100));
    const PictureInfo info = probePictureData(w.file(false), QStringLiteral("plain.wmf"));
    EXPECT_TRUE(info.ok()) << qPrintable(info.error);
    EXPECT_EQ(info.typeName, QStringLiteral("WMF"));
    EXPECT_EQ(QSize(info.width, info.height), QSize(100, 100));
}

} // namespace
} // namespace mv::imaging::test
