// Region objects and the region records of old metafiles.
#include "imaging/metafile/WmfFunctions.h"
#include "imaging/metafile/WmfPlayer.h"

namespace mv::imaging::metafile {

namespace {

constexpr int kMaxScans = 20000;

QRect spanRect(double l, double t, double r, double b)
{
    return boundedRect(QRectF(QPointF(l, t), QPointF(r, b)));
}

} // namespace

QRegion readWmfRegion(ByteReader& r)
{
    r.skip(10); // chain, object type, object count, region size
    const int scans = r.s16le();
    r.skip(2); // longest scan
    const double l = r.s16le(), t = r.s16le(), right = r.s16le(), b = r.s16le();
    const QRegion bounds(spanRect(l, t, right, b));
    if (!r.ok() || scans < 0 || scans > kMaxScans)
        return bounds;
    QList<QRect> rects;
    for (int i = 0; i < scans; ++i) {
        const int count = r.u16le();
        const double top = r.s16le(), bottom = r.s16le();
        if (count % 2 || !r.has(qsizetype(count) * 2 + 2))
            return bounds; // many writers got the scans wrong: their bounds still hold
        for (int k = 0; k < count / 2; ++k) {
            const double left = r.s16le(), end = r.s16le();
            rects.append(spanRect(left, top, end, bottom));
        }
        r.skip(2); // the count again
    }
    if (rects.isEmpty())
        return bounds;
    return regionOfRects(rects);
}

const QRegion* WmfPlayer::region(std::uint16_t index) const
{
    const GdiObject* o = objects_.get(index);
    const auto* r = o ? std::get_if<GdiRegion>(o) : nullptr;
    return r ? &r->region : nullptr;
}

const QBrush* WmfPlayer::brush(std::uint16_t index) const
{
    const GdiObject* o = objects_.get(index);
    const auto* b = o ? std::get_if<GdiBrush>(o) : nullptr;
    return b ? &b->brush : nullptr;
}

bool WmfPlayer::playRegion(std::uint16_t fn, ByteReader& r)
{
    switch (fn) {
    case WmfFillRegion:
    case WmfFrameRegion: {
        const QRegion* rgn = region(r.u16le());
        const QBrush* fill = brush(r.u16le());
        const int h = r.s16le(), w = r.s16le();
        if (!rgn || !fill)
            break;
        if (fn == WmfFillRegion)
            canvas_.fillRegion(*rgn, *fill);
        else if (r.ok())
            canvas_.frameRegion(*rgn, *fill, QSize(w, h));
        break;
    }
    case WmfPaintRegion:
    case WmfInvertRegion:
        if (const QRegion* rgn = region(r.u16le()))
            fn == WmfPaintRegion ? canvas_.fillRegion(*rgn, canvas_.state().brush.brush)
                                 : canvas_.invertRegion(*rgn);
        break;
    default: return false;
    }
    return true;
}

} // namespace mv::imaging::metafile
