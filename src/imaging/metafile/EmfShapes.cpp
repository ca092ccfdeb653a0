// Shape and path records of enhanced metafiles.
#include "imaging/metafile/EmfPlayer.h"
#include "imaging/metafile/EmfTypes.h"

#include <cstring>

namespace mv::imaging::metafile {

namespace {

bool isShort(std::uint32_t type)
{
    return type >= EmrPolyBezier16 && type <= EmrPolyPolygon16;
}

// count points of 32 or 16 bits; empty when the record cannot hold them.
QPolygonF readPoints(ByteReader& r, std::uint32_t count, bool shortPoints)
{
    QPolygonF points;
    const qsizetype each = shortPoints ? 4 : 8;
    if (count > kMaxPoints || !r.has(qsizetype(count) * each))
        return points;
    points.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (shortPoints) {
            const double x = r.s16le();
            points.append(QPointF(x, r.s16le()));
        } else {
            points.append(readPointL(r));
        }
    }
    return points;
}

std::vector<QPolygonF> readPolyPoly(ByteReader& r, bool shortPoints)
{
    r.skip(16); // bounds
    const std::uint32_t polys = r.u32le(), total = r.u32le();
    if (total > kMaxPoints || polys > total || !r.has(qsizetype(polys) * 4))
        return {};
    std::vector<std::uint32_t> counts(polys);
    std::uint64_t sum = 0;
    for (auto& c : counts)
        sum += (c = r.u32le());
    if (sum != total)
        return {};
    std::vector<QPolygonF> out;
    out.reserve(polys);
    for (const std::uint32_t c : counts)
        out.push_back(readPoints(r, c, shortPoints));
    return out;
}

float readFloat(ByteReader& r)
{
    const std::uint32_t bits = r.u32le();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

bool EmfPlayer::playShape(std::uint32_t type, ByteReader& r)
{
    switch (type) {
    case EmrMoveToEx: canvas_.state().current = readPointL(r); break;
    case EmrLineTo: {
        const QPointF to = readPointL(r);
        if (r.ok())
            canvas_.lineTo(to);
        break;
    }
    case EmrRectangle:
    case EmrEllipse: {
        const QRectF box = readRectL(r);
        if (r.ok())
            type == EmrRectangle ? canvas_.rectangle(box) : canvas_.ellipse(box);
        break;
    }
    case EmrRoundRect: {
        const QRectF box = readRectL(r);
        const QPointF corner = readPointL(r);
        if (r.ok())
            canvas_.roundRect(box, QSizeF(corner.x(), corner.y()));
        break;
    }
    case EmrArc:
    case EmrArcTo:
    case EmrChord:
    case EmrPie: {
        const QRectF box = readRectL(r);
        const QPointF start = readPointL(r), end = readPointL(r);
        if (!r.ok())
            break;
        const ArcKind kind = type == EmrChord ? ArcKind::Chord : type == EmrPie ? ArcKind::Pie : ArcKind::Arc;
        canvas_.arc(kind, box, start, end, type == EmrArcTo);
        break;
    }
    case EmrAngleArc: {
        const QPointF centre = readPointL(r);
        const double radius = r.u32le();
        const float start = readFloat(r), sweep = readFloat(r);
        if (r.ok())
            canvas_.angleArc(centre, radius, start, sweep);
        break;
    }
    default: return false;
    }
    return true;
}

bool EmfPlayer::playPoly(std::uint32_t type, ByteReader& r)
{
    if (type == EmrPolyDraw || type == EmrPolyDraw16) {
        r.skip(16); // bounds
        const std::uint32_t count = r.u32le();
        const QPolygonF points = readPoints(r, count, type == EmrPolyDraw16);
        if (points.isEmpty() || !r.has(qsizetype(count)))
            return true;
        const QByteArrayView kinds = r.take(count);
        canvas_.polyDraw(points, std::vector<std::uint8_t>(kinds.begin(), kinds.end()));
        return true;
    }
    const bool s = isShort(type);
    const std::uint32_t base = s ? type - (EmrPolyBezier16 - EmrPolyBezier) : type;
    if (base < EmrPolyBezier || base > EmrPolyPolygon)
        return false;
    if (base == EmrPolyPolyline || base == EmrPolyPolygon) {
        const std::vector<QPolygonF> polys = readPolyPoly(r, s);
        base == EmrPolyPolygon ? canvas_.polyPolygon(polys) : canvas_.polyPolyline(polys);
        return true;
    }
    r.skip(16); // bounds
    const QPolygonF points = readPoints(r, r.u32le(), s);
    if (points.isEmpty())
        return true;
    switch (base) {
    case EmrPolyBezier: canvas_.bezier(points, false); break;
    case EmrPolyBezierTo: canvas_.bezier(points, true); break;
    case EmrPolygon: canvas_.polygon(points); break;
    case EmrPolyline: canvas_.polyline(points); break;
    case EmrPolylineTo:
        for (const QPointF& p : points)
            canvas_.lineTo(p);
        break;
    default: break;
    }
    return true;
}

bool EmfPlayer::playPath(std::uint32_t type, ByteReader&)
{
    switch (type) {
    case EmrBeginPath: canvas_.beginPath(); break;
    case EmrEndPath: canvas_.endPath(); break;
    case EmrCloseFigure: canvas_.closeFigure(); break;
    case EmrAbortPath: canvas_.abortPath(); break;
    case EmrFillPath: canvas_.fillPath(); break;
    case EmrStrokePath: canvas_.strokePath(); break;
    case EmrStrokeAndFillPath: canvas_.strokeAndFillPath(); break;
    case EmrSelectClipPath: canvas_.clipToPath(); break;
    default: return false;
    }
    return true;
}

} // namespace mv::imaging::metafile
