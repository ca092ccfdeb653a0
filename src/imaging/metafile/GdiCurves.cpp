// Curves of GdiCanvas: arcs, Bezier splines, AngleArc and PolyDraw.
#include "imaging/metafile/GdiCanvas.h"

#include <algorithm>
#include <cmath>

namespace mv::imaging::metafile {

namespace {

constexpr double kMaxRadius = 1e6;

double angleOf(const QRectF& box, QPointF p)
{
    const QPointF c = box.center();
    // Points are scaled onto the unit circle first so an elliptic arc gets its true angle.
    const double x = box.width() != 0 ? (p.x() - c.x()) / box.width() : 0;
    const double y = box.height() != 0 ? (p.y() - c.y()) / box.height() : 0;
    return std::atan2(-y, x) * 180 / M_PI;
}

} // namespace

void GdiCanvas::bezier(const QPolygonF& points, bool fromCurrent)
{
    qsizetype i = 0;
    QPainterPath p(fromCurrent ? state_.current : points.value(0));
    if (!fromCurrent)
        i = 1;
    for (; i + 2 < points.size(); i += 3)
        p.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent) {
        state_.current = p.currentPosition();
        if (inPath_) {
            path_.moveTo(path_.elementCount() ? path_.currentPosition() : p.elementAt(0));
            path_.connectPath(p);
            return;
        }
    }
    drawPath(p, false, true);
}

void GdiCanvas::arc(ArcKind kind, const QRectF& b, QPointF start, QPointF end, bool moveCurrent)
{
    const QRectF box = b.normalized();
    const double from = angleOf(box, start);
    double sweep = std::fmod(angleOf(box, end) - from, 360.0);
    // Equal ends draw the whole ellipse, in either direction.
    if (state_.arcClockwise) {
        while (sweep >= 0)
            sweep -= 360;
    } else {
        while (sweep <= 0)
            sweep += 360;
    }
    QPainterPath p;
    if (kind == ArcKind::Pie)
        p.moveTo(box.center());
    else
        p.arcMoveTo(box, from);
    if (moveCurrent) {
        p = QPainterPath(state_.current);
        p.arcTo(box, from, 0);
    }
    p.arcTo(box, from, sweep);
    if (kind != ArcKind::Arc)
        p.closeSubpath();
    if (moveCurrent)
        state_.current = p.currentPosition();
    drawPath(p, kind != ArcKind::Arc, true);
}

void GdiCanvas::angleArc(QPointF centre, double radius, double startAngle, double sweepAngle)
{
    if (!std::isfinite(startAngle) || !std::isfinite(sweepAngle) || radius > kMaxRadius)
        return;
    sweepAngle = std::clamp(sweepAngle, -3600.0, 3600.0);
    const QRectF box(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
    QPainterPath p(state_.current);
    p.arcTo(box, startAngle, 0); // the line to the arc's start
    p.arcTo(box, startAngle, sweepAngle);
    state_.current = p.currentPosition();
    if (inPath_) {
        path_.moveTo(p.elementAt(0));
        path_.connectPath(p);
        return;
    }
    drawPath(p, false, true);
}

void GdiCanvas::polyDraw(const QPolygonF& points, const std::vector<std::uint8_t>& kinds)
{
    constexpr std::uint8_t kClose = 1, kLine = 2, kBezier = 4, kMove = 6;
    QPainterPath p(state_.current);
    QPointF figureStart = state_.current;
    for (qsizetype i = 0; i < points.size() && std::size_t(i) < kinds.size(); ++i) {
        const std::uint8_t kind = kinds[std::size_t(i)] & ~kClose;
        if (kind == kMove) {
            p.moveTo(points[i]);
            figureStart = points[i];
        } else if (kind == kLine) {
            p.lineTo(points[i]);
        } else if (kind == kBezier && i + 2 < points.size()) {
            p.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            return; // a damaged list draws nothing, as the old interface refused it
        }
        if (kinds[std::size_t(i)] & kClose) {
            p.lineTo(figureStart);
            p.moveTo(figureStart);
        }
    }
    state_.current = p.currentPosition();
    if (inPath_) {
        path_.addPath(p);
        return;
    }
    drawPath(p, false, true);
}

} // namespace mv::imaging::metafile
