// Enhanced metafiles written here, decoded and drawn: sizes, shapes, transforms, clipping, paths,
// bitmaps, text, arcs, regions, raster operations, blends, masks, palettes and damage.
#include "../common/Checks.h"
#include "../common/Render.h"
#include "EmfWriter.h"

#include "imaging/PictureDecoder.h"
#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr std::uint32_t kNullPen = 0x80000008, kBlackPen = 0x80000007, kBlackBrush = 0x80000004;
constexpr std::uint32_t kSrcCopy = 0xCC0020, kSrcAnd = 0x8800C6, kSrcPaint = 0xEE0086, kDstInvert = 0x550009;
// Bounds of 100 device pixels on a 96-dpi reference device; the frame the same in 0.01 mm.
const QRect kBounds(0, 0, 100, 100);
const QRect kFrame(0, 0, 2646, 2646);

QImage draw(const EmfWriter& w, QSize size = {100, 100})
{
    return renderVector(decodeEmfData, w.file(kBounds, kFrame), size);
}

EmfWriter filled(std::uint32_t colour)
{
    return std::move(EmfWriter().brush(1, 0, colour).select(1).select(kNullPen));
}
EmfWriter thickBlackPen()
{
    return std::move(EmfWriter().pen(1, 0, 4, 0).select(1));
}
EmfWriter blueBackground()
{
    return std::move(filled(kBlue).rectangle(0, 0, 101, 101));
}
// Region records: the bounds (16 bytes), the size of the region data, `before`, the data.
QByteArray regionRecord(const QByteArray& region, std::initializer_list<std::int64_t> before)
{
    return QByteArray(16, '\0') + u32s({region.size()}) + u32s(before) + region;
}
const QByteArray kDiagonal = EmfWriter::regionData({QRect(0, 0, 50, 50), QRect(50, 50, 50, 50)});

TEST(Emf, NaturalSizeFromFrameOrBounds)
{
    EXPECT_EQ(summary(decodeEmfData(EmfWriter().file(kBounds, QRect(0, 0, 2540, 1270)))),
              "96x48 24-bit vector");
    EXPECT_EQ(summary(decodeEmfData(EmfWriter().file(QRect(0, 0, 300, 200), QRect()))),
              "301x201 24-bit vector");
    EXPECT_FALSE(decodeEmfData(EmfWriter().file(QRect(10, 10, -20, 5), QRect())).ok());
    EXPECT_EQ(summary(decodePictureData(filled(kRed).file(kBounds, kFrame), QStringLiteral("x.emf"))),
              "EMF 100x100 24-bit vector");
}

TEST(Emf, ShapesTransformsAndStockObjects)
{
    EXPECT_TRUE(pixelsAre(draw(filled(kRed).rectangle(20, 20, 80, 80), {200, 200}),
                          {{100, 100, Qt::red}, {20, 20, Qt::white}}));
    EXPECT_TRUE(pixelsAre(draw(filled(kBlue).polygon({{0, 0}, {100, 0}, {0, 100}})),
                          {{20, 20, Qt::blue}, {80, 80, Qt::white}}));
    EXPECT_TRUE(
        pixelsAre(draw(filled(kRed).ellipse(0, 0, 100, 100)), {{50, 50, Qt::red}, {4, 4, Qt::white}}));
    // The world transform moves the square 50 units right; the stock black brush fills it; then
    // back to identity.
    EmfWriter moved;
    moved.select(kBlackBrush).select(kNullPen).worldTransform(1, 0, 0, 1, 50, 0).rectangle(0, 0, 20, 20);
    moved.worldTransform(1, 0, 0, 1, 0, 0, 1).rectangle(0, 60, 20, 80);
    EXPECT_TRUE(pixelsAre(draw(moved), {{60, 10, Qt::black}, {10, 10, Qt::white}, {10, 70, Qt::black}}));
    // SaveDC / RestoreDC bring back the red pen.
    EmfWriter s;
    s.pen(1, 0, 6, kRed).pen(2, 0, 6, kBlue).select(1).saveDc().select(2).moveTo(0, 20).lineTo(100, 20);
    s.restoreDc(-1).moveTo(0, 70).lineTo(100, 70);
    EXPECT_TRUE(pixelsAre(draw(s), {{50, 20, Qt::blue}, {50, 70, Qt::red}}));
    // An anisotropic window of 0..1000 onto a viewport of 100 pixels.
    EmfWriter mapped = filled(kRed);
    mapped.record(17, {8}).record(9, {1000, 1000}).record(11, {100, 100}).rectangle(500, 500, 1000, 1000);
    EXPECT_TRUE(pixelsAre(draw(mapped), {{75, 75, Qt::red}, {25, 25, Qt::white}}));
    // Clipping, and the clip RestoreDC brings back.
    EmfWriter w = filled(kRed);
    w.saveDc().record(30, {0, 0, 50, 100}).rectangle(0, 0, 100, 50).restoreDc(-1);    // intersect, top
    w.saveDc().record(29, {0, 50, 50, 100}).rectangle(0, 50, 100, 100).restoreDc(-1); // exclude, bottom
    w.rectangle(90, 0, 100, 10); // after RestoreDC the clip is gone
    EXPECT_TRUE(pixelsAre(
        draw(w),
        {{25, 25, Qt::red}, {75, 25, Qt::white}, {25, 75, Qt::white}, {75, 75, Qt::red}, {95, 5, Qt::red}}));
}

TEST(Emf, PathsBitmapsTextAndGlyphNumbers)
{
    EmfWriter path = filled(kBlue);
    path.record(59, {}).moveTo(10, 10).lineTo(90, 10).lineTo(90, 90).record(61, {}).record(60, {});
    EXPECT_TRUE(
        pixelsAre(draw(path.record(62, {0, 0, 100, 100})), {{80, 30, Qt::blue}, {20, 80, Qt::white}}));

    // StretchDIBits at 50,50 40x40; SetDIBitsToDevice 1:1 at 10,10.
    const QByteArray dib = solidDib(4, 4, 0xFF0000);
    EmfWriter bmp;
    bmp.stretchDib(QRect(50, 50, 40, 40), solidDib(4, 4, 0x00FF00), 4, 4);
    bmp.raw(80,
            QByteArray(16, '\0') + u32s({10, 10, 0, 0, 4, 4, 76, 40, 116, dib.size() - 40, 0, 0, 4}) + dib);
    EXPECT_TRUE(pixelsAre(
        draw(bmp), {{70, 70, Qt::green}, {20, 20, Qt::white}, {12, 12, Qt::red}, {16, 16, Qt::white}}));

    for (const std::uint32_t type : {84u, 83u}) { // ExtTextOutW and ExtTextOutA
        const QImage text = draw(
            EmfWriter().font(1, 40).select(1).record(18, {1}).textOut(10, 10, QStringLiteral("HHHH"), type));
        EXPECT_GT(darkPixels(text, QRect(10, 10, 90, 45)), 100) << type;
        EXPECT_EQ(darkPixels(text, QRect(0, 60, 100, 40)), 0) << type;
    }
    // Glyph numbers: the opaque box in the background colour, no letters.
    EmfWriter glyphs;
    glyphs.font(1, 40).select(1).record(25, {0x00FFFF});
    const QImage g = draw(glyphs.textOut(10, 10, QStringLiteral("HHHH"), 84, 0x12, QRect(0, 0, 100, 60)));
    EXPECT_TRUE(pixelsAre(g, {{50, 30, Qt::yellow}}));
    EXPECT_EQ(darkPixels(g, QRect(0, 0, 100, 100)), 0);
}

TEST(Emf, DamagedFilesGiveErrorsOrPartialPictures)
{
    EmfWriter good = filled(kRed);
    good.rectangle(0, 0, 50, 100);
    for (const QByteArray& tail : {QByteArray("\x2b\0\0\0\0\0\0\0", 8), QByteArray("\x2b\0\0\0\x06\0\0\0", 8),
                                   QByteArray("\x2b\0\0\0\xff\xff\0\0", 8)})
        EXPECT_TRUE(pixelsAre(draw(EmfWriter(good).bytes(tail).rectangle(50, 0, 100, 100)),
                              {{25, 50, Qt::red}, {75, 50, Qt::white}}));
    // Indexes out of range, deep nesting, absurd counts, huge coordinates: no crash.
    EmfWriter hostile = good;
    hostile.select(70000).select(0x80000099).record(40, {0xFFFFFFFF}).pen(99999, 0, 1, 0);
    for (int i = 0; i < 500; ++i)
        hostile.saveDc();
    hostile.restoreDc(-1000).restoreDc(5).restoreDc(0);
    hostile.record(3, {0, 0, 0, 0, 0xFFFFFFF0, 1, 2}).record(8, {0, 0, 0, 0, 3, 7, 1, 1, 5, 0, 0});
    hostile.record(9, {0, 0}).record(17, {8}).rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    hostile.worldTransform(1e30f, 0, 0, 1e30f, 0, 0).worldTransform(0, 0, 0, 0, 0, 0, 3);
    hostile.ellipse(0, 0, 10, 10);
    hostile.record(84, {0, 0, 0, 0, 1, 0, 0, 0, 0, 100000, 0xFFFFFF00, 0, 0, 0, 0, 0, 0});
    hostile.record(81, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0xFFFFFF00, 40, 0, 100, 0, 0xCC0020, 10, 10});
    hostile.record(59, {}).record(61, {}).record(64, {0, 0, 0, 0}).record(67, {5});
    hostile.record(75, {32, 5, 32, 1, 0, 0, 0, 0, 10, 10});
    const Picture h = decodeEmfData(hostile.file(kBounds, kFrame));
    ASSERT_TRUE(h.ok()) << h.status.reason;
    render(h, QSize(100, 100));

    const QByteArray whole = good.file(kBounds, kFrame);
    for (const int cut : {10, 43, 87})
        EXPECT_FALSE(decodeEmfData(whole.left(cut)).ok()) << cut;
    EXPECT_FALSE(decodeEmfData(patched(whole, {{4, 0xF0}})).ok());  // header size
    EXPECT_TRUE(decodeEmfData(whole.left(whole.size() - 10)).ok()); // a cut record list: partial
}

TEST(EmfRegion, AngleArcPolyDrawAndArcDirection)
{
    // A line from the current position to the arc's start, then the upper half circle.
    const QImage arc =
        draw(thickBlackPen().moveTo(10, 50).record(41, {50, 50, 30, floatBits(0), floatBits(180)}));
    EXPECT_TRUE(pixelsAre(arc, {{50, 50, Qt::black}, {50, 20, Qt::black}, {50, 80, Qt::white}}));
    // Move, line, line with the closing flag: the figure closes back to its start.
    const QImage poly = draw(
        thickBlackPen().raw(56, QByteArray(16, '\0') + u32s({3, 10, 10, 90, 10, 90, 90}) + "\x06\x02\x03"));
    EXPECT_TRUE(pixelsAre(
        poly, {{50, 10, Qt::black}, {90, 50, Qt::black}, {50, 50, Qt::black}, {10, 50, Qt::white}}));
    // From the right end to the left end: over the top by default, under it clockwise.
    const QImage ccw = draw(thickBlackPen().record(45, {10, 10, 90, 90, 90, 50, 10, 50}));
    const QImage cw = draw(thickBlackPen().record(57, {2}).record(45, {10, 10, 90, 90, 90, 50, 10, 50}));
    EXPECT_TRUE(pixelsAre(ccw, {{50, 11, Qt::black}, {50, 89, Qt::white}}));
    EXPECT_TRUE(pixelsAre(cw, {{50, 11, Qt::white}, {50, 89, Qt::black}}));
}

TEST(EmfRegion, ClipRegionsAreTheirRectanglesNotTheirBounds)
{
    EmfWriter w = filled(kRed);
    w.raw(75, u32s({kDiagonal.size(), 5}) + kDiagonal).rectangle(0, 0, 101, 101); // 5: copy
    EXPECT_TRUE(
        pixelsAre(draw(w), {{25, 25, Qt::red}, {75, 75, Qt::red}, {75, 25, Qt::white}, {25, 75, Qt::white}}));
    // An empty copy brings the whole picture back.
    EXPECT_TRUE(pixelsAre(draw(w.raw(75, u32s({0, 5})).rectangle(0, 0, 101, 101)), {{75, 25, Qt::red}}));

    // Or, xor and diff combine the region with the clip there is: here the left half.
    const QByteArray topHalf = EmfWriter::regionData({QRect(0, 0, 100, 50)});
    const struct {
        std::uint32_t mode;
        QColor topLeft, topRight, bottomLeft, bottomRight;
    } combos[] = {{2, Qt::red, Qt::red, Qt::red, Qt::white},
                  {3, Qt::white, Qt::red, Qt::red, Qt::white},
                  {4, Qt::white, Qt::white, Qt::red, Qt::white}};
    for (const auto& c : combos) {
        EmfWriter cw = filled(kRed);
        cw.record(30, {0, 0, 50, 100}).raw(75, u32s({topHalf.size(), c.mode}) + topHalf);
        cw.rectangle(0, 0, 101, 101);
        EXPECT_TRUE(pixelsAre(
            draw(cw),
            {{25, 25, c.topLeft}, {75, 25, c.topRight}, {25, 75, c.bottomLeft}, {75, 75, c.bottomRight}}))
            << "mode " << c.mode;
    }
    // A clip wholly outside the picture hides everything.
    const QByteArray away = EmfWriter::regionData({QRect(200, 200, 50, 50)});
    EmfWriter hidden;
    hidden.brush(1, 0, kRed).select(1).raw(75, u32s({away.size(), 5}) + away).rectangle(0, 0, 101, 101);
    EXPECT_TRUE(pixelsAre(draw(hidden), {{50, 50, Qt::white}}));
}

TEST(EmfRegion, FillFramePaintAndInvert)
{
    EXPECT_TRUE(pixelsAre(draw(EmfWriter().brush(1, 0, kBlue).raw(71, regionRecord(kDiagonal, {1}))),
                          {{25, 25, Qt::blue}, {75, 75, Qt::blue}, {75, 25, Qt::white}}));
    EXPECT_TRUE(pixelsAre(draw(EmfWriter().brush(1, 0, kBlue).raw(72, regionRecord(kDiagonal, {1, 5, 5}))),
                          {{2, 25, Qt::blue}, {25, 2, Qt::blue}, {25, 25, Qt::white}}));
    // Paint uses the selected brush; invert turns the blue square yellow and white black.
    EmfWriter pi;
    pi.brush(1, 0, kBlue).select(1).raw(74, regionRecord(kDiagonal, {})).select(kBlackPen);
    pi.raw(73, regionRecord(kDiagonal, {}));
    EXPECT_TRUE(pixelsAre(draw(pi), {{25, 25, Qt::yellow}, {75, 25, Qt::white}}));

    // Damaged region data: counts past the record, a brush that is not there.
    EmfWriter bad;
    bad.brush(1, 0, kBlue).raw(71, patched(regionRecord(kDiagonal, {1}), {{16 + 4 + 4 + 8, 0x7F}}));
    bad.raw(71, regionRecord(kDiagonal, {77})).raw(72, regionRecord(kDiagonal, {0x80000005, 0, 0}));
    EXPECT_TRUE(pixelsAre(draw(bad), {{25, 25, Qt::white}}));

    // Rectangles at the limits of the integers are cut far outside the picture, not overflowed.
    const QByteArray huge = u32s({32, 1, 1, 16, 0, 0, 0, 0, 0x80000000, 0x80000000, 0x7FFFFFFF, 0x7FFFFFFF});
    EmfWriter edge;
    edge.brush(1, 0, kBlue).raw(71, regionRecord(huge, {1})).raw(72, regionRecord(huge, {1, 10000, 10000}));
    EXPECT_TRUE(pixelsAre(draw(edge), {{50, 50, Qt::blue}}));
}

TEST(EmfBlit, PenModesAndBlitOperationsCombineWithThePicture)
{
    // XOR pen: red over white gives cyan; a second time gives white back. R2_NOP draws nothing;
    // a mode that is none draws as the pen is.
    EmfWriter x = filled(kRed);
    x.record(20, {7}).rectangle(0, 0, 60, 100).rectangle(0, 0, 30, 100).record(20, {11});
    x.rectangle(60, 0, 80, 100).record(20, {0}).rectangle(80, 0, 100, 100);
    EXPECT_TRUE(pixelsAre(draw(x),
                          {{45, 50, Qt::cyan}, {15, 50, Qt::white}, {70, 50, Qt::white}, {90, 50, Qt::red}}));

    const DibParts red = dib(4, 4, 32, [](int, int) { return 0xFFFF0000u; });
    EmfWriter ops = blueBackground();
    ops.blit(77, QRect(0, 0, 50, 50), kSrcAnd, QRect(0, 0, 4, 4), red.header, red.bits);
    ops.blit(77, QRect(50, 0, 50, 50), kSrcPaint, QRect(0, 0, 4, 4), red.header, red.bits);
    ops.blit(76, QRect(0, 50, 50, 50), kDstInvert, {}, {}, {}); // no source: blue becomes yellow
    ops.blit(76, QRect(50, 50, 50, 50), 0xAA0029, {}, {}, {});  // leaves the picture alone
    // Pattern and source together (MERGECOPY): drawn as a copy of the source.
    ops.blit(77, QRect(45, 45, 10, 10), 0xC000CA, QRect(0, 0, 4, 4), red.header, red.bits);
    EXPECT_TRUE(pixelsAre(draw(ops), {{25, 25, Qt::black},
                                      {75, 25, Qt::magenta},
                                      {25, 75, Qt::yellow},
                                      {75, 75, Qt::blue},
                                      {50, 50, Qt::red}}));
}

TEST(EmfBlit, BlendsTransparentColoursMasksAndParallelograms)
{
    // Source alpha: the left half of the bitmap is transparent; a constant alpha of one half
    // over white: pink.
    const DibParts half = dib(4, 4, 32, [](int x, int) { return x < 2 ? 0u : 0xFFFF0000u; });
    const DibParts red = dib(4, 4, 32, [](int, int) { return 0xFFFF0000u; });
    EmfWriter a;
    a.blit(114, QRect(0, 0, 100, 50), 0x01FF0000, QRect(0, 0, 4, 4), half.header, half.bits);
    a.blit(114, QRect(0, 50, 100, 50), 0x00800000, QRect(0, 0, 4, 4), red.header, red.bits);
    EXPECT_TRUE(
        pixelsAre(draw(a), {{20, 25, Qt::white}, {80, 25, Qt::red}, {50, 75, QColor(255, 127, 127)}}));

    // The green pixels of a transparent blit let the picture through.
    const DibParts keyed = dib(4, 4, 32, [](int x, int) { return x < 2 ? 0x0000FF00u : 0x000000FFu; });
    EmfWriter t = blueBackground();
    t.brush(2, 0, 0xFFFFFF).select(2).rectangle(0, 0, 101, 101);
    t.blit(116, QRect(0, 0, 100, 100), 0x00FF00, QRect(0, 0, 4, 4), keyed.header, keyed.bits);
    EXPECT_TRUE(pixelsAre(draw(t), {{20, 50, Qt::white}, {80, 50, Qt::blue}}));

    // MaskBlt (unscaled): the source where the mask is set, the picture elsewhere.
    const DibParts mask = monoDib(100, 100, u32s({0x000000, 0xFFFFFF}), [](int x, int) { return x < 50; });
    const DibParts big = dib(100, 100, 32, [](int, int) { return 0xFFFF0000u; });
    const std::int64_t fixed = 128, bh = big.header.size(), bp = big.packed().size();
    const QByteArray m = QByteArray(16, '\0') + u32s({0, 0, 100, 100, 0xAACC0020, 0, 0}) +
                         QByteArray(24, '\0') +
                         u32s({0xFFFFFF, 0, fixed, bh, fixed + bh, big.bits.size(), 0, 0, 0, fixed + bp,
                               mask.header.size(), fixed + bp + mask.header.size(), mask.bits.size()});
    EXPECT_TRUE(pixelsAre(draw(EmfWriter().raw(78, m + big.packed() + mask.packed())),
                          {{20, 50, Qt::red}, {80, 50, Qt::white}}));

    // PlgBlt onto a diamond: its centre is red, the corners of the picture stay white.
    const std::int64_t rh = red.header.size();
    const QByteArray g = QByteArray(16, '\0') + u32s({50, 10, 90, 50, 10, 50, 0, 0, 4, 4}) +
                         QByteArray(24, '\0') +
                         u32s({0xFFFFFF, 0, 140, rh, 140 + rh, red.bits.size(), 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(pixelsAre(draw(EmfWriter().raw(79, g + red.packed())),
                          {{50, 50, Qt::red}, {50, 80, Qt::red}, {15, 15, Qt::white}, {85, 85, Qt::white}}));
}

TEST(EmfBlit, PaletteIndexedColourTablesUseTheSelectedPalette)
{
    // A palette of red and green; the bitmap's table points at entry 1 for its set bits.
    const QByteArray pal = u32s({3}) + redGreenPalette();
    const DibParts dib = topHalfPaletteIndexed();
    EmfWriter w;
    w.raw(49, pal).record(48, {3}).blit(77, QRect(0, 0, 100, 100), kSrcCopy, QRect(0, 0, 4, 4), dib.header,
                                        dib.bits, 1);
    EXPECT_TRUE(pixelsAre(draw(w), {{50, 25, Qt::green}, {50, 75, Qt::red}}));
    // A table cut short of its indexes draws nothing rather than reading past it.
    EmfWriter cut;
    cut.raw(49, pal).record(48, {3}).blit(77, QRect(0, 0, 100, 100), kSrcCopy, QRect(0, 0, 4, 4),
                                          dib.header.left(42), dib.bits, 1);
    EXPECT_TRUE(pixelsAre(draw(cut), {{50, 50, Qt::white}}));
}

} // namespace
} // namespace mv::imaging::test
