// Regions of GdiCanvas: filled, framed, inverted, or made the clip.
#include "imaging/metafile/GdiCanvas.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace mv::imaging::metafile {

namespace {

// A region of more rectangles than this is drawn as its bounding rectangle.
constexpr int kMaxRegionRects = 20000;
constexpr double kMaxRegionCoordinate = 1e6;

QPainterPath pathOf(const QRegion& region)
{
    QPainterPath path;
    if (region.rectCount() > kMaxRegionRects) {
        path.addRect(region.boundingRect());
        return path;
    }
    for (const QRect& r : region)
        path.addRect(r);
    return path;
}

} // namespace

std::optional<QPainterPath> GdiCanvas::regionPath(const QRegion& region, const QTransform& toPainter) const
{
    // Only the part over the picture matters; the rest could map beyond what the painter takes.
    bool invertible = false;
    const QTransform back = toPainter.inverted(&invertible);
    if (!invertible)
        return std::nullopt;
    const QRectF visible = outer_.mapRect(baseClip_).adjusted(-2, -2, 2, 2);
    const QRegion shown = region & boundedRect(back.mapRect(visible).adjusted(-1, -1, 1, 1));
    if (shown.isEmpty())
        return QPainterPath();
    const QRectF b = toPainter.mapRect(QRectF(shown.boundingRect()));
    for (const double e : {b.left(), b.right(), b.top(), b.bottom()}) {
        if (!std::isfinite(e) || std::abs(e) > kMaxRegionCoordinate)
            return std::nullopt;
    }
    return toPainter.map(pathOf(shown));
}

void GdiCanvas::fillPainterPath(const std::optional<QPainterPath>& path, const QBrush& brush,
                                const RasterOp& op)
{
    if (!path || path->isEmpty() || op.leavesDestination)
        return;
    painter_.resetTransform(); // the path is in painter coordinates already
    applyRasterOp(painter_, op);
    painter_.fillPath(*path, brush);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiCanvas::fillRegion(const QRegion& region, const QBrush& brush)
{
    if (!inPath_)
        fillPainterPath(regionPath(region, full_), brush, binaryRop(kR2CopyPen));
}

void GdiCanvas::frameRegion(const QRegion& region, const QBrush& brush, QSize stroke)
{
    if (inPath_ || region.isEmpty())
        return;
    const int w = std::clamp(stroke.width(), 1, 10000), h = std::clamp(stroke.height(), 1, 10000);
    // The frame is what is left when the region is shrunk by the stroke on every side.
    const QRegion inner = region & region.translated(w, 0) & region.translated(-w, 0) &
                          region.translated(0, h) & region.translated(0, -h);
    fillPainterPath(regionPath(region - inner, full_), brush, binaryRop(kR2CopyPen));
}

void GdiCanvas::invertRegion(const QRegion& region)
{
    if (!inPath_)
        fillPainterPath(regionPath(region, full_), QBrush(Qt::black), binaryRop(6));
}

void GdiCanvas::clipToRegion(const QRegion& region, Combine how, bool deviceUnits)
{
    if (how == Combine::Copy)
        resetClip();
    const QTransform toPainter = deviceUnits ? frameToTarget_ * outer_ : full_;
    const std::optional<QPainterPath> path = regionPath(region, toPainter);
    if (!path)
        return; // absurd coordinates: the clip stays as it was
    painter_.resetTransform();
    if (how == Combine::Copy || how == Combine::And) {
        painter_.setClipPath(*path, Qt::IntersectClip);
        return;
    }
    QPainterPath base;
    base.addRect(outer_.mapRect(baseClip_));
    const QPainterPath current = painter_.hasClipping() ? painter_.clipPath() : base;
    QPainterPath combined;
    switch (how) {
    case Combine::Or: combined = current.united(*path); break;
    case Combine::Xor: combined = current.united(*path).subtracted(current.intersected(*path)); break;
    default: combined = current.subtracted(*path); break;
    }
    painter_.setClipPath(combined.intersected(base), Qt::ReplaceClip);
}

} // namespace mv::imaging::metafile
