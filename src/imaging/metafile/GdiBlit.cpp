// Rectangle fills and bitmaps of GdiCanvas, combined with what is there by raster operations.
#include "imaging/metafile/GdiCanvas.h"

#include <algorithm>

namespace mv::imaging::metafile {

namespace {

// Black and white are drawn as colours: every paint device can copy them.
bool constantFill(const RasterOp& op, QBrush* brush)
{
    if (!op.bitwise || op.input != RopInput::None)
        return false;
    if (op.mode == QPainter::RasterOp_ClearDestination)
        *brush = QBrush(Qt::black);
    else if (op.mode == QPainter::RasterOp_SetDestination)
        *brush = QBrush(Qt::white);
    else
        return false;
    return true;
}

} // namespace

void GdiCanvas::fillRect(const QRectF& r, const QBrush& brush, const RasterOp& op)
{
    if (inPath_ || !sane(r) || op.leavesDestination)
        return;
    QBrush fill = brush;
    painter_.setTransform(full_);
    if (constantFill(op, &fill))
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    else if (!applyRasterOp(painter_, op) && op.input == RopInput::None)
        return; // inverting needs a raster device; drawing a colour instead would be wrong
    painter_.fillRect(r.normalized(), fill);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiCanvas::blit(const QRectF& dest, const QImage* img, const QRectF& source, const RasterOp& op)
{
    if (op.input == RopInput::Source && img)
        image(dest, *img, source, op);
    else if (op.input == RopInput::Pattern)
        fillRect(dest, state_.brush.brush, op);
    else if (op.input == RopInput::None)
        fillRect(dest, QBrush(Qt::black), op); // the colour is not used: the operation ignores it
}

void GdiCanvas::image(const QRectF& dest, const QImage& img, const QRectF& source, const RasterOp& op)
{
    const QRectF d = dest.normalized();
    imageMapped(rectToRect(source, d), img, source, op);
}

void GdiCanvas::blend(const QRectF& dest, const QImage& img, const QRectF& source, double opacity)
{
    painter_.save();
    painter_.setOpacity(std::clamp(opacity, 0.0, 1.0));
    image(dest, img, source);
    painter_.restore();
}

void GdiCanvas::imageMapped(const QTransform& sourceToLogical, const QImage& img, const QRectF& source,
                            const RasterOp& op, const QRegion* sourceMask)
{
    if (inPath_ || img.isNull() || source.isEmpty() || op.leavesDestination)
        return;
    const QRectF logical = sourceToLogical.mapRect(source);
    if (!sane(logical))
        return;
    painter_.save();
    painter_.setTransform(sourceToLogical * full_);
    if (sourceMask)
        painter_.setClipRegion(*sourceMask, Qt::IntersectClip);
    applyRasterOp(painter_, op);
    painter_.drawImage(source, img, source);
    painter_.restore();
}

} // namespace mv::imaging::metafile
