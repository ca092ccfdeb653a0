// Raster operations, blends, masks and palettes of enhanced metafile blits.
#include "BlitDibs.h"
#include "EmfRender.h"
#include "EmfWriter.h"
#include "RenderSupport.h"

#include "imaging/metafile/GdiRasterOps.h"
#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

using metafile::RopInput;
constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr std::uint32_t kNullPen = 0x80000008;
constexpr std::uint32_t kSrcCopy = 0xCC0020, kSrcAnd = 0x8800C6, kSrcPaint = 0xEE0086, kDstInvert = 0x550009;

QImage draw(const EmfWriter& w) { return renderEmf(w); }

EmfWriter blueBackground()
{
    EmfWriter w;
    w.brush(1, 0, kBlue).select(1).select(kNullPen).rectangle(0, 0, 101, 101);
    return w;
}

TEST(EmfBlit, RasterOperationsByTruthTable)
{
    using Mode = QPainter::CompositionMode;
    const auto expect = [](metafile::RasterOp op, RopInput input, bool bitwise, Mode mode) {
        EXPECT_EQ(op.input, input);
        EXPECT_EQ(op.bitwise, bitwise);
        if (bitwise) {
            EXPECT_EQ(op.mode, mode);
        }
    };
    expect(metafile::ternaryRop(kSrcCopy), RopInput::Source, false, Mode{});
    expect(metafile::ternaryRop(kSrcAnd), RopInput::Source, true, QPainter::RasterOp_SourceAndDestination);
    expect(metafile::ternaryRop(kSrcPaint), RopInput::Source, true, QPainter::RasterOp_SourceOrDestination);
    expect(metafile::ternaryRop(0x660046), RopInput::Source, true, QPainter::RasterOp_SourceXorDestination);
    expect(metafile::ternaryRop(0x330008), RopInput::Source, true, QPainter::RasterOp_NotSource);
    expect(metafile::ternaryRop(0x440328), RopInput::Source, true, QPainter::RasterOp_SourceAndNotDestination);
    expect(metafile::ternaryRop(0xF00021), RopInput::Pattern, false, Mode{});
    expect(metafile::ternaryRop(0x5A0049), RopInput::Pattern, true, QPainter::RasterOp_SourceXorDestination);
    expect(metafile::ternaryRop(kDstInvert), RopInput::None, true, QPainter::RasterOp_NotDestination);
    expect(metafile::ternaryRop(0x000042), RopInput::None, true, QPainter::RasterOp_ClearDestination);
    expect(metafile::ternaryRop(0xFF0062), RopInput::None, true, QPainter::RasterOp_SetDestination);
    EXPECT_TRUE(metafile::ternaryRop(0xAA0029).leavesDestination);
    // Needs pattern and source together: drawn as a copy of the source.
    expect(metafile::ternaryRop(0xC000CA), RopInput::Source, false, Mode{});
    expect(metafile::binaryRop(7), RopInput::Pattern, true, QPainter::RasterOp_SourceXorDestination);
    expect(metafile::binaryRop(6), RopInput::None, true, QPainter::RasterOp_NotDestination);
    expect(metafile::binaryRop(13), RopInput::Pattern, false, Mode{});
    expect(metafile::binaryRop(0), RopInput::Pattern, false, Mode{});
    EXPECT_TRUE(metafile::binaryRop(11).leavesDestination);
}

TEST(EmfBlit, PenModesAndBlitOperationsCombineWithThePicture)
{
    // XOR pen: red over white gives cyan; a second time gives white back. R2_NOP draws nothing.
    EmfWriter x;
    x.brush(1, 0, kRed).select(1).select(kNullPen).record(20, {7}).rectangle(0, 0, 60, 100).rectangle(0, 0, 30, 100);
    x.record(20, {11}).rectangle(60, 0, 100, 100);
    const QImage xi = draw(x);
    EXPECT_PIXEL(xi, 45, 50, Qt::cyan);
    EXPECT_PIXEL(xi, 15, 50, Qt::white);
    EXPECT_PIXEL(xi, 80, 50, Qt::white);

    const DibParts red = argbDib(4, 4, [](int, int) { return 0xFFFF0000u; });
    EmfWriter ops = blueBackground();
    ops.blit(77, QRect(0, 0, 50, 50), kSrcAnd, QRect(0, 0, 4, 4), red.header, red.bits);
    ops.blit(77, QRect(50, 0, 50, 50), kSrcPaint, QRect(0, 0, 4, 4), red.header, red.bits);
    ops.blit(76, QRect(0, 50, 50, 50), kDstInvert, {}, {}, {}); // no source: blue becomes yellow
    ops.blit(76, QRect(50, 50, 50, 50), 0xAA0029, {}, {}, {});  // leaves the picture alone
    const QImage oi = draw(ops);
    EXPECT_PIXEL(oi, 25, 25, Qt::black);
    EXPECT_PIXEL(oi, 75, 25, Qt::magenta);
    EXPECT_PIXEL(oi, 25, 75, Qt::yellow);
    EXPECT_PIXEL(oi, 75, 75, Qt::blue);
}

TEST(EmfBlit, BlendsTransparentColoursMasksAndParallelograms)
{
    // Source alpha: the left half of the bitmap is transparent.
    const DibParts half = argbDib(4, 4, [](int x, int) { return x < 2 ? 0u : 0xFFFF0000u; });
    EmfWriter a;
    a.blit(114, QRect(0, 0, 100, 50), 0x01FF0000, QRect(0, 0, 4, 4), half.header, half.bits);
    // A constant alpha of one half over white: pink.
    const DibParts red = argbDib(4, 4, [](int, int) { return 0xFFFF0000u; });
    a.blit(114, QRect(0, 50, 100, 50), 0x00800000, QRect(0, 0, 4, 4), red.header, red.bits);
    const QImage ai = draw(a);
    EXPECT_PIXEL(ai, 20, 25, Qt::white);
    EXPECT_PIXEL(ai, 80, 25, Qt::red);
    EXPECT_PIXEL(ai, 50, 75, QColor(255, 127, 127));

    // The green pixels of a transparent blit let the picture through.
    const DibParts keyed = argbDib(4, 4, [](int x, int) { return x < 2 ? 0x0000FF00u : 0x000000FFu; });
    EmfWriter t = blueBackground();
    t.brush(2, 0, 0xFFFFFF).select(2).rectangle(0, 0, 101, 101);
    t.blit(116, QRect(0, 0, 100, 100), 0x00FF00, QRect(0, 0, 4, 4), keyed.header, keyed.bits);
    const QImage ti = draw(t);
    EXPECT_PIXEL(ti, 20, 50, Qt::white);
    EXPECT_PIXEL(ti, 80, 50, Qt::blue);

    // MaskBlt (unscaled): the source where the mask is set, the picture elsewhere.
    const DibParts mask = monoDib(100, 100, rgbTable({0x000000, 0xFFFFFF}), [](int x, int) { return x < 50; });
    const DibParts big = argbDib(100, 100, [](int, int) { return 0xFFFF0000u; });
    QByteArray m(16, '\0');
    const std::uint32_t fixed = 128;
    for (const std::uint32_t v : {0u, 0u, 100u, 100u, 0xAACC0020u, 0u, 0u})
        WmfWriter::appendU32(m, v);
    m += QByteArray(24, '\0');
    for (const std::uint32_t v : {0xFFFFFFu, 0u, fixed, std::uint32_t(big.header.size()), fixed + std::uint32_t(big.header.size()),
                                  std::uint32_t(big.bits.size()), 0u, 0u, 0u,
                                  fixed + std::uint32_t(big.packed().size()), std::uint32_t(mask.header.size()),
                                  fixed + std::uint32_t(big.packed().size() + mask.header.size()), std::uint32_t(mask.bits.size())})
        WmfWriter::appendU32(m, v);
    EmfWriter mb;
    mb.raw(78, m + big.packed() + mask.packed());
    const QImage mi = draw(mb);
    EXPECT_PIXEL(mi, 20, 50, Qt::red);
    EXPECT_PIXEL(mi, 80, 50, Qt::white);

    // PlgBlt onto a diamond: its centre is red, the corners of the picture stay white.
    QByteArray g(16, '\0');
    const std::uint32_t plgFixed = 140;
    for (const std::uint32_t v : {50u, 10u, 90u, 50u, 10u, 50u, 0u, 0u, 4u, 4u})
        WmfWriter::appendU32(g, v);
    g += QByteArray(24, '\0');
    for (const std::uint32_t v : {0xFFFFFFu, 0u, plgFixed, std::uint32_t(red.header.size()),
                                  plgFixed + std::uint32_t(red.header.size()), std::uint32_t(red.bits.size()), 0u, 0u, 0u,
                                  0u, 0u, 0u, 0u})
        WmfWriter::appendU32(g, v);
    EmfWriter pb;
    pb.raw(79, g + red.packed());
    const QImage pi = draw(pb);
    EXPECT_PIXEL(pi, 50, 50, Qt::red);
    EXPECT_PIXEL(pi, 50, 80, Qt::red);
    EXPECT_PIXEL(pi, 15, 15, Qt::white);
    EXPECT_PIXEL(pi, 85, 85, Qt::white);
}

TEST(EmfBlit, PaletteIndexedColourTablesUseTheSelectedPalette)
{
    // A palette of red and green; the bitmap's table points at entry 1 for its set bits.
    QByteArray pal;
    WmfWriter::appendU32(pal, 3);
    pal += redGreenPalette();
    const DibParts dib = topHalfPaletteIndexed();
    EmfWriter w;
    w.raw(49, pal).record(48, {3});
    w.blit(77, QRect(0, 0, 100, 100), kSrcCopy, QRect(0, 0, 4, 4), dib.header, dib.bits, 1);
    const QImage img = draw(w);
    EXPECT_PIXEL(img, 50, 25, Qt::green);
    EXPECT_PIXEL(img, 50, 75, Qt::red);

    // A table cut short of its indexes draws nothing rather than reading past it.
    EmfWriter cut;
    cut.raw(49, pal).record(48, {3});
    cut.blit(77, QRect(0, 0, 100, 100), kSrcCopy, QRect(0, 0, 4, 4), dib.header.left(42), dib.bits, 1);
    EXPECT_PIXEL(draw(cut), 50, 50, Qt::white);
}

} // namespace
} // namespace mv::imaging::test
