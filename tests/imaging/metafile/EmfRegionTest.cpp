// Arcs, PolyDraw and regions of enhanced metafiles.
#include "EmfRender.h"
#include "EmfWriter.h"
#include "RenderSupport.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;
constexpr std::uint32_t kNullPen = 0x80000008, kBlackPen = 0x80000007;

QImage draw(const EmfWriter& w) { return renderEmf(w); }

std::uint32_t floatBits(float f)
{
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

EmfWriter thickBlackPen()
{
    EmfWriter w;
    w.pen(1, 0, 4, 0).select(1);
    return w;
}

TEST(EmfRegion, AngleArcPolyDrawAndArcDirection)
{
    // A line from the current position to the arc's start, then the upper half circle.
    EmfWriter a = thickBlackPen();
    a.moveTo(10, 50).record(41, {50, 50, 30, floatBits(0), floatBits(180)});
    const QImage ai = draw(a);
    EXPECT_PIXEL(ai, 50, 50, Qt::black);
    EXPECT_PIXEL(ai, 50, 20, Qt::black);
    EXPECT_PIXEL(ai, 50, 80, Qt::white);

    // Move, line, line with the closing flag: the figure closes back to its start.
    EmfWriter d = thickBlackPen();
    QByteArray p(16, '\0');
    WmfWriter::appendU32(p, 3);
    for (const int v : {10, 10, 90, 10, 90, 90})
        WmfWriter::appendU32(p, std::uint32_t(v));
    p.append("\x06\x02\x03", 3);
    d.raw(56, p);
    const QImage di = draw(d);
    EXPECT_PIXEL(di, 50, 10, Qt::black);
    EXPECT_PIXEL(di, 90, 50, Qt::black);
    EXPECT_PIXEL(di, 50, 50, Qt::black);
    EXPECT_PIXEL(di, 10, 50, Qt::white);

    // From the right end to the left end: over the top by default, under it clockwise.
    EmfWriter ccw = thickBlackPen();
    ccw.record(45, {10, 10, 90, 90, 90, 50, 10, 50});
    EmfWriter cw = thickBlackPen();
    cw.record(57, {2}).record(45, {10, 10, 90, 90, 90, 50, 10, 50});
    const QImage ci = draw(ccw), wi = draw(cw);
    EXPECT_PIXEL(ci, 50, 11, Qt::black);
    EXPECT_PIXEL(ci, 50, 89, Qt::white);
    EXPECT_PIXEL(wi, 50, 11, Qt::white);
    EXPECT_PIXEL(wi, 50, 89, Qt::black);
}

TEST(EmfRegion, ClipRegionsAreTheirRectanglesNotTheirBounds)
{
    const QByteArray diagonal = EmfWriter::regionData({QRect(0, 0, 50, 50), QRect(50, 50, 50, 50)});
    QByteArray clip;
    WmfWriter::appendU32(clip, std::uint32_t(diagonal.size()));
    WmfWriter::appendU32(clip, 5); // copy
    EmfWriter w;
    w.brush(1, 0, kRed).select(1).select(kNullPen).raw(75, clip + diagonal).rectangle(0, 0, 101, 101);
    const QImage img = draw(w);
    EXPECT_PIXEL(img, 25, 25, Qt::red);
    EXPECT_PIXEL(img, 75, 75, Qt::red);
    EXPECT_PIXEL(img, 75, 25, Qt::white);
    EXPECT_PIXEL(img, 25, 75, Qt::white);

    // An empty copy brings the whole picture back.
    QByteArray reset;
    WmfWriter::appendU32(reset, 0);
    WmfWriter::appendU32(reset, 5);
    w.raw(75, reset).rectangle(0, 0, 101, 101);
    EXPECT_PIXEL(draw(w), 75, 25, Qt::red);

    // Or, xor and diff combine the region with the clip there is: here the left half.
    const QByteArray topHalf = EmfWriter::regionData({QRect(0, 0, 100, 50)});
    const struct {
        std::uint32_t mode;
        QColor topLeft, topRight, bottomLeft, bottomRight;
    } combos[] = {{2, Qt::red, Qt::red, Qt::red, Qt::white},
                  {3, Qt::white, Qt::red, Qt::red, Qt::white},
                  {4, Qt::white, Qt::white, Qt::red, Qt::white}};
    for (const auto& c : combos) {
        QByteArray combine;
        WmfWriter::appendU32(combine, std::uint32_t(topHalf.size()));
        WmfWriter::appendU32(combine, c.mode);
        EmfWriter cw;
        cw.brush(1, 0, kRed).select(1).select(kNullPen).record(30, {0, 0, 50, 100}).raw(75, combine + topHalf);
        cw.rectangle(0, 0, 101, 101);
        const QImage ci = draw(cw);
        EXPECT_PIXEL(ci, 25, 25, c.topLeft) << "mode " << c.mode;
        EXPECT_PIXEL(ci, 75, 25, c.topRight) << "mode " << c.mode;
        EXPECT_PIXEL(ci, 25, 75, c.bottomLeft) << "mode " << c.mode;
        EXPECT_PIXEL(ci, 75, 75, c.bottomRight) << "mode " << c.mode;
    }

    // A clip wholly outside the picture hides everything.
    const QByteArray away = EmfWriter::regionData({QRect(200, 200, 50, 50)});
    QByteArray copyAway;
    WmfWriter::appendU32(copyAway, std::uint32_t(away.size()));
    WmfWriter::appendU32(copyAway, 5);
    EmfWriter hidden;
    hidden.brush(1, 0, kRed).select(1).raw(75, copyAway + away).rectangle(0, 0, 101, 101);
    EXPECT_PIXEL(draw(hidden), 50, 50, Qt::white);
}

TEST(EmfRegion, FillFramePaintAndInvert)
{
    const QByteArray diagonal = EmfWriter::regionData({QRect(0, 0, 50, 50), QRect(50, 50, 50, 50)});
    const auto regionRecord = [&](std::initializer_list<std::uint32_t> before) {
        QByteArray p(16, '\0');
        WmfWriter::appendU32(p, std::uint32_t(diagonal.size()));
        for (const std::uint32_t v : before)
            WmfWriter::appendU32(p, v);
        return p + diagonal;
    };
    EmfWriter f;
    f.brush(1, 0, kBlue).raw(71, regionRecord({1}));
    const QImage fi = draw(f);
    EXPECT_PIXEL(fi, 25, 25, Qt::blue);
    EXPECT_PIXEL(fi, 75, 75, Qt::blue);
    EXPECT_PIXEL(fi, 75, 25, Qt::white);

    EmfWriter fr;
    fr.brush(1, 0, kBlue).raw(72, regionRecord({1, 5, 5}));
    const QImage fri = draw(fr);
    EXPECT_PIXEL(fri, 2, 25, Qt::blue);
    EXPECT_PIXEL(fri, 25, 2, Qt::blue);
    EXPECT_PIXEL(fri, 25, 25, Qt::white);

    // Paint uses the selected brush; invert turns the blue square yellow and white black.
    EmfWriter pi;
    pi.brush(1, 0, kBlue).select(1).raw(74, regionRecord({})).select(kBlackPen).raw(73, regionRecord({}));
    const QImage pii = draw(pi);
    EXPECT_PIXEL(pii, 25, 25, Qt::yellow);
    EXPECT_PIXEL(pii, 75, 25, Qt::white);

    // Damaged region data: counts past the record, a brush that is not there.
    EmfWriter bad;
    QByteArray lying = regionRecord({1});
    lying[16 + 4 + 4 + 8] = char(0x7F);
    bad.brush(1, 0, kBlue).raw(71, lying).raw(71, regionRecord({77})).raw(72, regionRecord({0x80000005, 0, 0}));
    const QImage bi = draw(bad);
    EXPECT_PIXEL(bi, 25, 25, Qt::white);

    // Rectangles at the limits of the integers are cut far outside the picture, not overflowed.
    QByteArray huge;
    for (const std::uint32_t v : {32u, 1u, 1u, 16u, 0u, 0u, 0u, 0u, 0x80000000u, 0x80000000u, 0x7FFFFFFFu, 0x7FFFFFFFu})
        WmfWriter::appendU32(huge, v);
    QByteArray hugeFill(16, '\0');
    WmfWriter::appendU32(hugeFill, std::uint32_t(huge.size()));
    WmfWriter::appendU32(hugeFill, 1);
    QByteArray hugeFrame = hugeFill;
    WmfWriter::appendU32(hugeFrame, 10000);
    WmfWriter::appendU32(hugeFrame, 10000);
    EmfWriter edge;
    edge.brush(1, 0, kBlue).raw(71, hugeFill + huge).raw(72, hugeFrame + huge);
    EXPECT_PIXEL(draw(edge), 50, 50, Qt::blue);
}

} // namespace
} // namespace mv::imaging::test
