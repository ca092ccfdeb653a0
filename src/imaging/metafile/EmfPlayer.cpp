#include "imaging/metafile/EmfPlayer.h"

#include "imaging/metafile/EmfTypes.h"

#include <cmath>
#include <cstring>

namespace mv::imaging::metafile {

namespace {

constexpr int kMwtIdentity = 1, kMwtLeftMultiply = 2, kMwtRightMultiply = 3, kMwtSet = 4;

QTransform readXform(ByteReader& r)
{
    float m[6];
    for (float& v : m) {
        const std::uint32_t bits = r.u32le();
        std::memcpy(&v, &bits, sizeof v);
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

bool usableTransform(const QTransform& t)
{
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (const double x : v) {
        if (!std::isfinite(x) || std::abs(x) > 1e9)
            return false;
    }
    return true;
}

} // namespace

QRectF readRectL(ByteReader& r)
{
    const double l = r.s32le(), t = r.s32le(), right = r.s32le(), b = r.s32le();
    return QRectF(QPointF(l, t), QPointF(right, b));
}

QPointF readPointL(ByteReader& r)
{
    const double x = r.s32le();
    return {x, double(r.s32le())};
}

QByteArrayView recordPart(QByteArrayView record, std::uint32_t offset, std::uint32_t size)
{
    if (offset > std::uint64_t(record.size()) || size > std::uint64_t(record.size()) - offset)
        return {};
    return record.sliced(offset, size);
}

void playEmf(const MetafileRecords& file, QPainter& painter, const QRectF& target)
{
    EmfPlayer(file, painter, target).play();
}

EmfPlayer::EmfPlayer(const MetafileRecords& file, QPainter& painter, const QRectF& target)
    : file_(file), canvas_(painter, target, {file.frame, file.pxPerMm, false}), objects_(file.objectCount)
{
}

void EmfPlayer::play()
{
    for (const RecordRef& rec : file_.records) {
        ByteReader r(file_.params(rec));
        const QByteArrayView whole = file_.whole(rec);
        const std::uint32_t t = rec.type;
        if (!playState(t, r) && !playMapping(t, r) && !playTransform(t, r) && !playObject(t, r, whole) &&
            !playShape(t, r) && !playPoly(t, r) && !playPath(t, r) && !playText(t, r, whole) &&
            !playRegion(t, r) && !playBitmap(t, r, whole))
            playMaskedBitmap(t, r, whole);
    }
}

bool EmfPlayer::playState(std::uint32_t type, ByteReader& r)
{
    DcState& s = canvas_.state();
    switch (type) {
    case EmrSetBkColor: s.bkColor = colorFromRef(r.u32le()); break;
    case EmrSetTextColor: s.textColor = colorFromRef(r.u32le()); break;
    case EmrSetBkMode: s.opaqueBackground = r.u32le() == 2; break;
    case EmrSetTextAlign: s.textAlign = r.u32le(); break;
    case EmrSetPolyFillMode: s.fillRule = r.u32le() == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case EmrSetRop2: s.rop2 = int(r.u32le()); break;
    case EmrSetArcDirection: s.arcClockwise = r.u32le() == 2; break;
    case EmrSaveDc: canvas_.saveDc(); break;
    case EmrRestoreDc: canvas_.restoreDc(r.s32le()); break;
    case EmrIntersectClipRect: canvas_.intersectClip(readRectL(r)); break;
    case EmrExcludeClipRect: canvas_.excludeClip(readRectL(r)); break;
    case EmrExtSelectClipRgn: selectClipRegion(r); break;
    default: return false;
    }
    return true;
}

void EmfPlayer::selectClipRegion(ByteReader& r)
{
    constexpr std::uint32_t kRgnAnd = 1, kRgnCopy = 5;
    const std::uint32_t size = r.u32le();
    const std::uint32_t mode = r.u32le();
    if (!r.ok() || mode < kRgnAnd || mode > kRgnCopy)
        return;
    if (mode == kRgnCopy && size == 0) {
        canvas_.resetClip(); // no region: the clip is the whole picture again
        return;
    }
    // Clip regions are in device units.
    canvas_.clipToRegion(readRegionData(r, size), GdiCanvas::Combine(mode), true);
}

bool EmfPlayer::playMapping(std::uint32_t type, ByteReader& r)
{
    DcState& s = canvas_.state();
    switch (type) {
    case EmrSetMapMode: s.mapMode = int(r.u32le()); break;
    case EmrSetWindowOrgEx: s.windowOrg = readPointL(r); break;
    case EmrSetViewportOrgEx: s.viewportOrg = readPointL(r); break;
    case EmrSetWindowExtEx:
    case EmrSetViewportExtEx: {
        const QPointF p = readPointL(r);
        if (r.ok())
            setExtent(s, type == EmrSetWindowExtEx, p);
        break;
    }
    case EmrScaleWindowExtEx:
    case EmrScaleViewportExtEx: {
        const double xNum = r.s32le(), xDen = r.s32le(), yNum = r.s32le(), yDen = r.s32le();
        if (r.ok())
            scaleExtent(s, type == EmrScaleWindowExtEx, xNum, xDen, yNum, yDen);
        break;
    }
    default: return false;
    }
    canvas_.mappingChanged();
    return true;
}

bool EmfPlayer::playTransform(std::uint32_t type, ByteReader& r)
{
    if (type != EmrSetWorldTransform && type != EmrModifyWorldTransform)
        return false;
    const QTransform x = readXform(r);
    const std::uint32_t mode = type == EmrSetWorldTransform ? kMwtSet : r.u32le();
    if (!r.ok() || (mode != kMwtIdentity && !usableTransform(x)))
        return true;
    QTransform& world = canvas_.state().world;
    switch (mode) {
    case kMwtIdentity: world = QTransform(); break;
    case kMwtLeftMultiply: world = x * world; break; // x applies first
    case kMwtRightMultiply: world = world * x; break;
    case kMwtSet: world = x; break;
    default: return true;
    }
    canvas_.mappingChanged();
    return true;
}

} // namespace mv::imaging::metafile
