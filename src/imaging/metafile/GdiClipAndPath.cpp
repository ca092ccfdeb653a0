// Clipping and path brackets of GdiCanvas.
#include "imaging/metafile/GdiCanvas.h"

namespace mv::imaging::metafile {

void GdiCanvas::intersectClip(const QRectF& r)
{
    if (!sane(r))
        return;
    painter_.setTransform(full_);
    painter_.setClipRect(r.normalized(), Qt::IntersectClip);
}

void GdiCanvas::excludeClip(const QRectF& r)
{
    bool invertible = false;
    const QTransform toLogical = (full_ * outer_.inverted()).inverted(&invertible);
    if (!invertible || !sane(r))
        return;
    QPainterPath keep;
    keep.addRect(toLogical.mapRect(target_));
    QPainterPath hole;
    hole.addRect(r.normalized());
    painter_.setTransform(full_);
    painter_.setClipPath(keep.subtracted(hole), Qt::IntersectClip);
}

void GdiCanvas::resetClip()
{
    painter_.setTransform(outer_);
    painter_.setClipRect(baseClip_, Qt::ReplaceClip);
}

void GdiCanvas::beginPath()
{
    path_ = QPainterPath();
    inPath_ = true;
}

void GdiCanvas::abortPath()
{
    path_ = QPainterPath();
    inPath_ = false;
}

void GdiCanvas::closeFigure()
{
    if (inPath_)
        path_.closeSubpath();
}

void GdiCanvas::fillPath()
{
    inPath_ = false;
    drawPath(path_, true, false);
    path_ = QPainterPath();
}

void GdiCanvas::strokePath()
{
    inPath_ = false;
    drawPath(path_, false, true);
    path_ = QPainterPath();
}

void GdiCanvas::strokeAndFillPath()
{
    inPath_ = false;
    drawPath(path_, true, true);
    path_ = QPainterPath();
}

void GdiCanvas::clipToPath()
{
    inPath_ = false;
    if (!path_.isEmpty() && sane(path_.controlPointRect())) {
        painter_.setTransform(full_);
        painter_.setClipPath(path_, Qt::IntersectClip);
    }
    path_ = QPainterPath();
}

} // namespace mv::imaging::metafile
