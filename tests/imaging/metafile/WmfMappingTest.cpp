// Fixed-scale map modes of old Windows metafiles: y grows upwards.
#include "RenderSupport.h"
#include "WmfWriter.h"

#include "imaging/metafile/MetafileDecoder.h"

namespace mv::imaging::test {
namespace {

constexpr int kLoMetric = 2;

// A square of 100 mm with its upper left quarter red, drawn in tenths of a millimetre.
WmfWriter quarterSquare()
{
    WmfWriter w;
    w.record(0x0103, {kLoMetric}).pen(5, 0, 0).brush(1, 0).select(0).select(1).rectangle(0, 0, 1000, -1000);
    w.brush(0, 0x0000FF).select(2).rectangle(0, 0, 500, -500);
    return w;
}

TEST(WmfMapping, FixedScaleUnitsCountUpwardsAndSizeThePicture)
{
    const Picture bare = decodeWmfData(quarterSquare().file(false));
    ASSERT_TRUE(bare.ok()) << qPrintable(bare.error);
    EXPECT_EQ(QSize(bare.width, bare.height), QSize(378, 378)); // 100 mm at 96 dpi
    const QImage b = render(bare, {100, 100});
    EXPECT_PIXEL(b, 25, 25, Qt::red);
    EXPECT_PIXEL(b, 25, 75, Qt::white);
    EXPECT_PIXEL(b, 75, 25, Qt::white);

    // The placeable header's box is in the same upward units.
    const Picture placed = decodeWmfData(quarterSquare().file(true, QRect(0, -1000, 1000, 1000), 254));
    ASSERT_TRUE(placed.ok()) << qPrintable(placed.error);
    EXPECT_EQ(QSize(placed.width, placed.height), QSize(378, 378));
    const QImage p = render(placed, {100, 100});
    EXPECT_PIXEL(p, 25, 25, Qt::red);
    EXPECT_PIXEL(p, 25, 75, Qt::white);
}

} // namespace
} // namespace mv::imaging::test
