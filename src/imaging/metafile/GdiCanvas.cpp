#include "imaging/metafile/GdiCanvas.h"

#include <algorithm>
#include <cmath>

namespace mv::imaging::metafile {

namespace {

// Painter coordinates beyond this are refused: far off any picture, and slow to rasterise.
constexpr double kMaxCoordinate = 1e6;
constexpr double kMaxPenPixels = 1e4;
constexpr double kThinPenPixels = 4;

} // namespace

GdiCanvas::GdiCanvas(QPainter& painter, const QRectF& target, const CanvasSetup& setup)
    : painter_(painter), outer_(painter.transform()), target_(target), setup_(setup)
{
    // The caller's clip (the exposed part of a widget) is kept, as its bounding rectangle.
    if (painter_.hasClipping())
        baseClip_ = target_ & painter_.clipBoundingRect();
    else
        baseClip_ = target_;
    painter_.save();
    // Drawn without smoothing, as the old drawing interface did: three times faster.
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    frameToTarget_ = rectToRect(setup_.frame, target_);
    resetClip();
    mappingChanged();
}

GdiCanvas::~GdiCanvas()
{
    for (std::size_t i = 0; i <= saved_.size(); ++i)
        painter_.restore();
}

void GdiCanvas::mappingChanged()
{
    const QTransform page =
        pageTransform(state_, setup_.pxPerMm, setup_.oldMetafile ? &setup_.frame : nullptr);
    full_ = state_.world * page * frameToTarget_ * outer_;
}

void GdiCanvas::saveDc()
{
    if (saved_.size() >= kMaxSaveDepth)
        return;
    saved_.push_back(state_);
    painter_.save();
}

void GdiCanvas::restoreDc(int which)
{
    const int depth = int(saved_.size());
    const int pops = which < 0 ? -which : depth - which + 1;
    if (which == 0 || pops <= 0 || pops > depth)
        return;
    for (int i = 0; i < pops; ++i) {
        state_ = saved_.back();
        saved_.pop_back();
        painter_.restore();
    }
    mappingChanged();
}

bool GdiCanvas::sane(const QRectF& logicalBounds) const
{
    const QRectF r = full_.mapRect(logicalBounds);
    const double edges[] = {r.left(), r.right(), r.top(), r.bottom()};
    for (const double e : edges) {
        if (!std::isfinite(e) || std::abs(e) > kMaxCoordinate)
            return false;
    }
    return true;
}

void GdiCanvas::applyPen(bool deviceSpace)
{
    QPen pen = state_.pen.pen;
    const double scale = std::sqrt(std::abs(full_.determinant()));
    // A page stretched along one axis widens a pen there: the cap holds for the widest.
    const double widest =
        std::max(std::hypot(full_.m11(), full_.m12()), std::hypot(full_.m21(), full_.m22()));
    const double pixels = pen.widthF() * scale;
    if (widest > 0 && pen.widthF() * widest > kMaxPenPixels)
        pen.setWidthF(kMaxPenPixels / widest);
    if (deviceSpace && pen.widthF() > 0)
        pen.setWidthF(pen.widthF() * scale);
    // Round ends and corners of a thin pen are below a pixel, and costly to stroke.
    if (pixels < kThinPenPixels) {
        if (pen.joinStyle() == Qt::RoundJoin)
            pen.setJoinStyle(Qt::MiterJoin);
        if (pen.capStyle() == Qt::RoundCap)
            pen.setCapStyle(Qt::SquareCap);
    }
    painter_.setPen(pen);
}

void GdiCanvas::drawPath(const QPainterPath& path, bool fill, bool stroke)
{
    if (inPath_) {
        path_.addPath(path);
        return;
    }
    if (!prepare(path.controlPointRect(), fill))
        return;
    if (!stroke)
        painter_.setPen(Qt::NoPen);
    QPainterPath mapped = geometry_.isIdentity() ? path : geometry_.map(path);
    mapped.setFillRule(state_.fillRule);
    painter_.drawPath(mapped);
}

bool GdiCanvas::prepare(const QRectF& logicalBounds, bool fill)
{
    if (!sane(logicalBounds))
        return false;
    // Without rotation or shear the geometry is mapped here and drawn in device pixels,
    // where the painter has its fast paths.
    const bool deviceSpace = full_.type() <= QTransform::TxScale;
    geometry_ = deviceSpace ? full_ : QTransform();
    painter_.setTransform(deviceSpace ? QTransform() : full_);
    if (state_.pen.pen.style() == Qt::NoPen)
        painter_.setPen(Qt::NoPen);
    else
        applyPen(deviceSpace);
    painter_.setBrush(fill ? state_.brush.brush : QBrush());
    painter_.setBackground(state_.bkColor);
    // Hatched brushes fill the gaps with the background colour in opaque mode.
    painter_.setBackgroundMode(state_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    const RasterOp op = binaryRop(state_.rop2);
    if (op.leavesDestination)
        return false;
    applyRasterOp(painter_, op);
    return true;
}

void GdiCanvas::polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    if (inPath_) {
        QPainterPath p;
        p.addPolygon(points);
        path_.addPath(p);
    } else if (prepare(points.boundingRect(), false)) {
        painter_.drawPolyline(geometry_.map(points));
    }
}

void GdiCanvas::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    if (inPath_) {
        path_.addPolygon(points);
        path_.closeSubpath();
    } else if (prepare(points.boundingRect(), true)) {
        painter_.drawPolygon(geometry_.map(points), state_.fillRule);
    }
}

void GdiCanvas::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath p;
    for (const QPolygonF& poly : polygons) {
        p.addPolygon(poly);
        p.closeSubpath();
    }
    drawPath(p, true, true);
}

void GdiCanvas::polyPolyline(const std::vector<QPolygonF>& polylines)
{
    QPainterPath p;
    for (const QPolygonF& poly : polylines)
        p.addPolygon(poly);
    drawPath(p, false, true);
}

void GdiCanvas::lineTo(QPointF to)
{
    if (inPath_) {
        if (path_.elementCount() == 0 || path_.currentPosition() != state_.current)
            path_.moveTo(state_.current);
        path_.lineTo(to);
    } else if (prepare(QRectF(state_.current, to).normalized(), false)) {
        painter_.drawLine(geometry_.map(QLineF(state_.current, to)));
    }
    state_.current = to;
}

void GdiCanvas::rectangle(const QRectF& r)
{
    if (inPath_) {
        path_.addRect(r.normalized());
    } else if (prepare(r.normalized(), true)) {
        painter_.drawRect(geometry_.mapRect(r.normalized()));
    }
}

void GdiCanvas::roundRect(const QRectF& r, QSizeF corner)
{
    QPainterPath p;
    p.addRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    drawPath(p, true, true);
}

void GdiCanvas::ellipse(const QRectF& r)
{
    if (inPath_) {
        path_.addEllipse(r.normalized());
    } else if (prepare(r.normalized(), true)) {
        painter_.drawEllipse(geometry_.mapRect(r.normalized()));
    }
}

} // namespace mv::imaging::metafile
