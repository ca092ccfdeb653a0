#include "imaging/metafile/WmfPlayer.h"

#include "imaging/metafile/MetafileBitmap.h"
#include "imaging/metafile/WmfFunctions.h"

namespace mv::imaging::metafile {

QPointF readPointYX(ByteReader& r)
{
    const double y = r.s16le();
    return {double(r.s16le()), y};
}

QRectF readRectBRTL(ByteReader& r)
{
    const double b = r.s16le(), right = r.s16le(), t = r.s16le(), l = r.s16le();
    return QRectF(QPointF(l, t), QPointF(right, b));
}

void playWmf(const MetafileRecords& file, QPainter& painter, const QRectF& target)
{
    WmfPlayer(file, painter, target).play();
}

WmfPlayer::WmfPlayer(const MetafileRecords& file, QPainter& painter, const QRectF& target)
    : file_(file), canvas_(painter, target, {file.frame, file.pxPerMm, true}), objects_(file.objectCount)
{
}

void WmfPlayer::play()
{
    for (const RecordRef& rec : file_.records) {
        ByteReader r(file_.params(rec));
        const auto fn = std::uint16_t(rec.type);
        if (!playState(fn, r) && !playMapping(fn, r) && !playObject(fn, r) && !playShape(fn, r) &&
            !playText(fn, r) && !playRegion(fn, r))
            playBitmap(fn, r, rec.size / 2);
    }
}

bool WmfPlayer::playState(std::uint16_t fn, ByteReader& r)
{
    DcState& s = canvas_.state();
    switch (fn) {
    case WmfSetBkColor: s.bkColor = colorFromRef(r.u32le()); break;
    case WmfSetTextColor: s.textColor = colorFromRef(r.u32le()); break;
    case WmfSetBkMode: s.opaqueBackground = r.u16le() == 2; break;
    case WmfSetTextAlign: s.textAlign = r.u16le(); break;
    case WmfSetPolyFillMode: s.fillRule = r.u16le() == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case WmfSetRop2: s.rop2 = r.u16le(); break;
    case WmfSaveDc: canvas_.saveDc(); break;
    case WmfRestoreDc: canvas_.restoreDc(r.s16le()); break;
    case WmfIntersectClipRect: canvas_.intersectClip(readRectBRTL(r)); break;
    case WmfExcludeClipRect: canvas_.excludeClip(readRectBRTL(r)); break;
    default: return false;
    }
    return true;
}

bool WmfPlayer::playMapping(std::uint16_t fn, ByteReader& r)
{
    DcState& s = canvas_.state();
    switch (fn) {
    case WmfSetMapMode: s.mapMode = r.u16le(); break;
    case WmfSetWindowOrg: s.windowOrg = readPointYX(r); break;
    case WmfOffsetWindowOrg: s.windowOrg += readPointYX(r); break;
    case WmfSetViewportOrg:
        s.viewportOrg = readPointYX(r);
        s.viewportOrgSet = true;
        break;
    case WmfOffsetViewportOrg:
        s.viewportOrg += readPointYX(r);
        s.viewportOrgSet = true;
        break;
    case WmfSetWindowExt:
    case WmfSetViewportExt: {
        const QPointF p = readPointYX(r);
        if (r.ok())
            setExtent(s, fn == WmfSetWindowExt, p);
        break;
    }
    case WmfScaleWindowExt:
    case WmfScaleViewportExt: {
        const double yDen = r.s16le(), yNum = r.s16le(), xDen = r.s16le(), xNum = r.s16le();
        if (r.ok())
            scaleExtent(s, fn == WmfScaleWindowExt, xNum, xDen, yNum, yDen);
        break;
    }
    default: return false;
    }
    canvas_.mappingChanged();
    return true;
}

bool WmfPlayer::playObject(std::uint16_t fn, ByteReader& r)
{
    switch (fn) {
    case WmfCreatePenIndirect: {
        const std::uint16_t style = r.u16le();
        const double width = r.s16le();
        r.skip(2);
        objects_.addLowest(makePen(style, std::abs(width), colorFromRef(r.u32le())));
        break;
    }
    case WmfCreateBrushIndirect: {
        const std::uint16_t style = r.u16le();
        const QColor color = colorFromRef(r.u32le());
        objects_.addLowest(makeBrush(style, color, r.u16le()));
        break;
    }
    case WmfCreateFontIndirect: createFont(r); break;
    case WmfDibCreatePatternBrush:
    case WmfCreatePatternBrush: createPatternBrush(r); break;
    case WmfCreateRegion: objects_.addLowest(GdiRegion {readWmfRegion(r)}); break;
    case WmfCreatePalette: objects_.addLowest(readLogPalette(r.take(r.remaining()))); break;
    case WmfSelectObject:
    case WmfSelectPalette: select(r.u16le()); break;
    case WmfDeleteObject: objects_.remove(r.u16le()); break;
    case WmfRealizePalette: break;
    case WmfSelectClipRegion: {
        const GdiObject* o = objects_.get(r.u16le());
        if (const auto* region = o ? std::get_if<GdiRegion>(o) : nullptr)
            canvas_.clipToRegion(region->region, GdiCanvas::Combine::Copy, false);
        else
            canvas_.resetClip(); // no region: the clip is the whole picture again
        break;
    }
    default: return false;
    }
    return true;
}

void WmfPlayer::select(std::uint32_t index)
{
    const GdiObject* o = objects_.get(index);
    if (!o)
        return; // out of range or empty: ignored
    if (const auto* region = std::get_if<GdiRegion>(o))
        canvas_.clipToRegion(region->region, GdiCanvas::Combine::Copy, false);
    else
        selectObject(canvas_.state(), *o);
}

void WmfPlayer::createFont(ByteReader& r)
{
    objects_.addLowest(readLogFont(r, false));
}

void WmfPlayer::createPatternBrush(ByteReader& r)
{
    const std::uint16_t style = r.u16le();
    r.skip(2); // colour usage
    const MetafileBitmap bitmap =
        style == 5 ? decodeMetafileBitmap(r.take(r.remaining())) : MetafileBitmap {};
    // An old-style pattern (or a damaged one) falls back to a grey brush.
    objects_.addLowest(GdiBrush {bitmap.ok() ? QBrush(bitmap.image) : QBrush(Qt::gray)});
}

} // namespace mv::imaging::metafile
