// Enhanced metafiles written here, decoded and drawn.
#include "EmfRender.h"
#include "EmfWriter.h"
#include "RenderSupport.h"

#include "imaging/core/PictureDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr std::uint32_t kNullPen = 0x80000008, kBlackBrush = 0x80000004;
const QRect& kBounds = kEmfBounds;
const QRect& kFrame = kEmfFrame;

EmfWriter filled(std::uint32_t colour)
{
    EmfWriter w;
    w.brush(1, 0, colour).select(1).select(kNullPen);
    return w;
}

QImage draw(const EmfWriter& w, QSize size = {100, 100}) { return renderEmf(w, size); }

TEST(Emf, NaturalSizeFromFrameOrBounds)
{
    const Picture p = decodeEmfData(EmfWriter().file(kBounds, QRect(0, 0, 2540, 1270)));
    ASSERT_TRUE(p.ok()) << qPrintable(p.error);
    EXPECT_EQ(QSize(p.width, p.height), QSize(96, 48));
    EXPECT_EQ(p.colorDepth, 24);
    const Picture byBounds = decodeEmfData(EmfWriter().file(QRect(0, 0, 300, 200), QRect()));
    ASSERT_TRUE(byBounds.ok()) << qPrintable(byBounds.error);
    EXPECT_EQ(QSize(byBounds.width, byBounds.height), QSize(301, 201));
    EXPECT_FALSE(decodeEmfData(EmfWriter().file(QRect(10, 10, -20, 5), QRect())).ok());
}

TEST(Emf, ShapesTransformsAndStockObjects)
{
    EmfWriter rect = filled(kRed);
    rect.rectangle(20, 20, 80, 80);
    const QImage r = draw(rect, {200, 200});
    EXPECT_PIXEL(r, 100, 100, Qt::red);
    EXPECT_PIXEL(r, 20, 20, Qt::white);

    EmfWriter poly = filled(kBlue);
    poly.polygon({{0, 0}, {100, 0}, {0, 100}});
    const QImage t = draw(poly);
    EXPECT_PIXEL(t, 20, 20, Qt::blue);
    EXPECT_PIXEL(t, 80, 80, Qt::white);

    // The world transform moves the square 50 units right; the stock black brush fills it.
    EmfWriter moved;
    moved.select(kBlackBrush).select(kNullPen).worldTransform(1, 0, 0, 1, 50, 0).rectangle(0, 0, 20, 20);
    moved.worldTransform(1, 0, 0, 1, 0, 0, 1).rectangle(0, 60, 20, 80); // back to identity
    const QImage m = draw(moved);
    EXPECT_PIXEL(m, 60, 10, Qt::black);
    EXPECT_PIXEL(m, 10, 10, Qt::white);
    EXPECT_PIXEL(m, 10, 70, Qt::black);

    EmfWriter e = filled(kRed);
    e.ellipse(0, 0, 100, 100);
    const QImage ell = draw(e);
    EXPECT_PIXEL(ell, 50, 50, Qt::red);
    EXPECT_PIXEL(ell, 4, 4, Qt::white);

    // SaveDC / RestoreDC bring back the red pen.
    EmfWriter s;
    s.pen(1, 0, 6, kRed).pen(2, 0, 6, kBlue).select(1).saveDc().select(2).moveTo(0, 20).lineTo(100, 20);
    s.restoreDc(-1).moveTo(0, 70).lineTo(100, 70);
    const QImage saved = draw(s);
    EXPECT_PIXEL(saved, 50, 20, Qt::blue);
    EXPECT_PIXEL(saved, 50, 70, Qt::red);

    // An anisotropic window of 0..1000 onto a viewport of 100 pixels.
    EmfWriter mapped = filled(kRed);
    mapped.record(17, {8}).record(9, {1000, 1000}).record(11, {100, 100}).rectangle(500, 500, 1000, 1000);
    const QImage mp = draw(mapped);
    EXPECT_PIXEL(mp, 75, 75, Qt::red);
    EXPECT_PIXEL(mp, 25, 25, Qt::white);
}

TEST(Emf, ClippingAndItsSavedState)
{
    EmfWriter w = filled(kRed);
    w.saveDc().record(30, {0, 0, 50, 100}).rectangle(0, 0, 100, 50).restoreDc(-1); // intersect, top
    w.saveDc().record(29, {0, 50, 50, 100}).rectangle(0, 50, 100, 100).restoreDc(-1); // exclude, bottom
    w.rectangle(90, 0, 100, 10); // after RestoreDC the clip is gone
    const QImage img = draw(w);
    EXPECT_PIXEL(img, 25, 25, Qt::red);
    EXPECT_PIXEL(img, 75, 25, Qt::white);
    EXPECT_PIXEL(img, 25, 75, Qt::white);
    EXPECT_PIXEL(img, 75, 75, Qt::red);
    EXPECT_PIXEL(img, 95, 5, Qt::red);
}

TEST(Emf, PathsBitmapsAndText)
{
    EmfWriter path = filled(kBlue);
    path.record(59, {}).moveTo(10, 10).lineTo(90, 10).lineTo(90, 90).record(61, {}).record(60, {});
    path.record(62, {0, 0, 100, 100});
    const QImage p = draw(path);
    EXPECT_PIXEL(p, 80, 30, Qt::blue);
    EXPECT_PIXEL(p, 20, 80, Qt::white);

    EmfWriter bmp;
    bmp.stretchDib(QRect(50, 50, 40, 40), solidDib(4, 4, 0x00FF00), 4, 4);
    // SetDIBitsToDevice: 1:1 at 10,10.
    QByteArray toDevice(16, '\0');
    const QByteArray dib = solidDib(4, 4, 0xFF0000);
    for (const std::uint32_t v : {10u, 10u, 0u, 0u, 4u, 4u, 76u, 40u, 116u, std::uint32_t(dib.size() - 40), 0u, 0u, 4u})
        WmfWriter::appendU32(toDevice, v);
    bmp.raw(80, toDevice + dib);
    const QImage b = draw(bmp);
    EXPECT_PIXEL(b, 70, 70, Qt::green);
    EXPECT_PIXEL(b, 20, 20, Qt::white);
    EXPECT_PIXEL(b, 12, 12, Qt::red);
    EXPECT_PIXEL(b, 16, 16, Qt::white);

    EmfWriter text;
    text.font(1, 40).select(1).record(18, {1}).textOut(10, 10, QStringLiteral("HHHH"));
    const QImage tx = draw(text, {100, 100});
    EXPECT_GT(darkPixels(tx, QRect(10, 10, 90, 45)), 100);
    EXPECT_EQ(darkPixels(tx, QRect(0, 60, 100, 40)), 0);
}

TEST(Emf, AnsiTextAndGlyphNumbers)
{
    EmfWriter ansi;
    ansi.font(1, 40).select(1).record(18, {1}).textOut(10, 10, QStringLiteral("HHHH"), 83);
    EXPECT_GT(darkPixels(draw(ansi), QRect(10, 10, 90, 45)), 100);

    // Glyph numbers: the opaque box in the background colour, no letters.
    EmfWriter glyphs;
    glyphs.font(1, 40).select(1).record(25, {0x00FFFF}).textOut(10, 10, QStringLiteral("HHHH"), 84, 0x12, QRect(0, 0, 100, 60));
    const QImage g = draw(glyphs);
    EXPECT_PIXEL(g, 50, 30, Qt::yellow);
    EXPECT_EQ(darkPixels(g, QRect(0, 0, 100, 100)), 0);
}

TEST(Emf, DamagedFilesGiveErrorsOrPartialPictures)
{
    EmfWriter good = filled(kRed);
    good.rectangle(0, 0, 50, 100);
    for (const QByteArray& tail : {QByteArray("\x2b\0\0\0\0\0\0\0", 8), QByteArray("\x2b\0\0\0\x06\0\0\0", 8),
                                   QByteArray("\x2b\0\0\0\xff\xff\0\0", 8)}) {
        EmfWriter w = good;
        w.bytes(tail).rectangle(50, 0, 100, 100);
        const QImage img = draw(w);
        EXPECT_PIXEL(img, 25, 50, Qt::red);
        EXPECT_PIXEL(img, 75, 50, Qt::white);
    }
    EmfWriter hostile = good;
    hostile.select(70000).select(0x80000099).record(40, {0xFFFFFFFF}).pen(99999, 0, 1, 0);
    for (int i = 0; i < 500; ++i)
        hostile.saveDc();
    hostile.restoreDc(-1000).restoreDc(5).restoreDc(0);
    hostile.record(3, {0, 0, 0, 0, 0xFFFFFFF0, 1, 2}).record(8, {0, 0, 0, 0, 3, 7, 1, 1, 5, 0, 0});
    hostile.record(9, {0, 0}).record(17, {8}).rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    hostile.worldTransform(1e30f, 0, 0, 1e30f, 0, 0).worldTransform(0, 0, 0, 0, 0, 0, 3).ellipse(0, 0, 10, 10);
    hostile.record(84, {0, 0, 0, 0, 1, 0, 0, 0, 0, 100000, 0xFFFFFF00, 0, 0, 0, 0, 0, 0});
    hostile.record(81, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0xFFFFFF00, 40, 0, 100, 0, 0xCC0020, 10, 10});
    hostile.record(59, {}).record(61, {}).record(64, {0, 0, 0, 0}).record(67, {5});
    hostile.record(75, {32, 5, 32, 1, 0, 0, 0, 0, 10, 10});
    const Picture h = decodeEmfData(hostile.file(kBounds, kFrame));
    ASSERT_TRUE(h.ok()) << qPrintable(h.error);
    render(h, QSize(100, 100));

    const QByteArray whole = good.file(kBounds, kFrame);
    for (const int cut : {10, 43, 87})
        EXPECT_FALSE(decodeEmfData(whole.left(cut)).ok()) << cut;
    QByteArray badHeaderSize = whole;
    badHeaderSize[4] = char(0xF0);
    EXPECT_FALSE(decodeEmfData(badHeaderSize).ok());
    EXPECT_TRUE(decodeEmfData(whole.left(whole.size() - 10)).ok()); // a cut record list: partial
}

TEST(Emf, EntryPointGivesAVectorPicture)
{
    const Picture p = decodePictureData(filled(kRed).file(kBounds, kFrame), QStringLiteral("x.emf"));
    ASSERT_TRUE(p.ok()) << qPrintable(p.error);
    EXPECT_TRUE(p.isVector());
    EXPECT_EQ(p.typeName, QStringLiteral("EMF"));
    EXPECT_EQ(QSize(p.width, p.height), QSize(100, 100));
}

} // namespace
} // namespace mv::imaging::test
