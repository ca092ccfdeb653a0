// Blits through a mask (MaskBlt) and onto a parallelogram (PlgBlt) in enhanced metafiles.
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/EmfTypes.h"
#include "imaging/metafile/MetafileBitmap.h"

namespace mv::imaging::metafile {

namespace {

struct BitmapRef {
    std::uint32_t usage = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
};

BitmapRef readBitmapRef(ByteReader& r, bool withUsage = true)
{
    BitmapRef b;
    if (withUsage)
        b.usage = r.u32le();
    b.offBmi = r.u32le(), b.cbBmi = r.u32le(), b.offBits = r.u32le(), b.cbBits = r.u32le();
    return b;
}

MetafileBitmap decodeRef(QByteArrayView record, const BitmapRef& b, const std::vector<QRgb>& palette)
{
    if (b.cbBmi == 0)
        return {};
    return decodeMetafileBitmap(recordPart(record, b.offBmi, b.cbBmi),
                                recordPart(record, b.offBits, b.cbBits),
                                b.usage == kDibPalColours ? &palette : nullptr);
}

// Maps the source rectangle onto the parallelogram whose first three corners are given:
// upper left, upper right, lower left.
QTransform toParallelogram(const QRectF& source, const QPointF p[3])
{
    const double w = source.width(), h = source.height();
    const QPointF u = (p[1] - p[0]) / w, v = (p[2] - p[0]) / h;
    return QTransform::fromTranslate(-source.x(), -source.y()) *
           QTransform(u.x(), u.y(), v.x(), v.y(), p[0].x(), p[0].y());
}

} // namespace

bool EmfPlayer::playMaskedBitmap(std::uint32_t type, ByteReader& r, QByteArrayView record)
{
    if (type != EmrMaskBlt && type != EmrPlgBlt)
        return false;
    r.skip(16); // bounds
    QPointF corners[3];
    QRectF dest, source;
    std::uint32_t rop4 = 0x00CC0020; // the source where the mask is set, else nothing
    if (type == EmrMaskBlt) {
        const QPointF at = readPointL(r), size = readPointL(r);
        rop4 = r.u32le();
        const QPointF src = readPointL(r);
        dest = QRectF(at, QSizeF(size.x(), size.y()));
        source = QRectF(src, dest.size());
    } else {
        for (QPointF& c : corners)
            c = readPointL(r);
        const QPointF src = readPointL(r), srcSize = readPointL(r);
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
    }
    r.skip(24 + 4); // source transform, background colour
    const BitmapRef src = readBitmapRef(r);
    const QPointF maskAt = readPointL(r);
    const BitmapRef mask = readBitmapRef(r);
    const QRectF sane(-kMaxRegionUnits, -kMaxRegionUnits, 2.0 * kMaxRegionUnits, 2.0 * kMaxRegionUnits);
    if (!r.ok() || source.width() == 0 || source.height() == 0 || !sane.contains(source.normalized()) ||
        !sane.contains(maskAt))
        return true; // the mask's pixels are matched to the source's in integers
    const MetafileBitmap b = decodeRef(record, src, canvas_.state().palette);
    const MetafileBitmap m = decodeRef(record, mask, canvas_.state().palette);
    const RasterOp fore = ternaryRop(rop4), back = ternaryRop((rop4 >> 8) & 0xFF0000);
    const QTransform place = type == EmrPlgBlt ? toParallelogram(source, corners) : rectToRect(source, dest);
    if (fore.input == RopInput::Source && !b.ok())
        return true;
    const QImage* img = b.ok() ? &b.image : nullptr;
    const QRectF from = img ? source.normalized().intersected(QRectF(img->rect())) : source.normalized();
    if (!m.ok()) { // without a mask the foreground operation draws everywhere
        if (img && fore.input == RopInput::Source)
            canvas_.imageMapped(place, *img, from, fore);
        return true;
    }
    // Mask pixel (maskAt + d) belongs to source pixel (source's corner + d).
    const QRegion set = maskRegion(m.image).translated((source.topLeft() - maskAt).toPoint());
    const QRegion clear = QRegion(from.toAlignedRect()) - set;
    // Operations without the source (pattern fills through a mask) are left out.
    if (img && back.input == RopInput::Source)
        canvas_.imageMapped(place, *img, from, back, &clear);
    if (img && fore.input == RopInput::Source)
        canvas_.imageMapped(place, *img, from, fore, &set);
    return true;
}

} // namespace mv::imaging::metafile
