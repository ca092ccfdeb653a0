#include "imaging/metafile/DcState.h"

#include <cmath>

namespace mv::imaging::metafile {

namespace {

constexpr double kMaxExtent = 1e8;

// Device pixels per logical unit for the fixed-scale modes; 0 for the others.
double metricScale(int mapMode, double pxPerMm)
{
    return metricUnitMm(mapMode) * pxPerMm;
}

QTransform scaled(const DcState& s, QPointF deviceOrigin, double sx, double sy)
{
    if (s.mapMode == MmIsotropic) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    return QTransform(sx, 0, 0, sy, deviceOrigin.x() - s.windowOrg.x() * sx,
                      deviceOrigin.y() - s.windowOrg.y() * sy);
}

} // namespace

void setExtent(DcState& s, bool window, QPointF extent)
{
    if (!usableExtent(extent.x(), extent.y()))
        return; // a zero extent would divide by zero
    (window ? s.windowExt : s.viewportExt) = QSizeF(extent.x(), extent.y());
    (window ? s.windowExtSet : s.viewportExtSet) = true;
}

void scaleExtent(DcState& s, bool window, double xNum, double xDen, double yNum, double yDen)
{
    QSizeF& ext = window ? s.windowExt : s.viewportExt;
    if (xDen == 0 || yDen == 0)
        return;
    const QSizeF scaled(ext.width() * xNum / xDen, ext.height() * yNum / yDen);
    if (usableExtent(scaled.width(), scaled.height()))
        ext = scaled;
}

void selectObject(DcState& s, const GdiObject& o)
{
    if (const auto* pen = std::get_if<GdiPen>(&o))
        s.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(&o))
        s.brush = *brush;
    else if (const auto* font = std::get_if<GdiFont>(&o))
        s.font = *font;
    else if (const auto* palette = std::get_if<GdiPalette>(&o))
        s.palette = palette->colours.empty() ? defaultPalette() : palette->colours;
}

QTransform rectToRect(const QRectF& from, const QRectF& to)
{
    const double sx = from.width() != 0 ? to.width() / from.width() : 1;
    const double sy = from.height() != 0 ? to.height() / from.height() : 1;
    return QTransform(sx, 0, 0, sy, to.left() - from.left() * sx, to.top() - from.top() * sy);
}

bool isMetricMode(int mapMode)
{
    return metricUnitMm(mapMode) > 0;
}

double metricUnitMm(int mapMode)
{
    switch (mapMode) {
    case MmLoMetric: return 0.1;
    case MmHiMetric: return 0.01;
    case MmLoEnglish: return 0.254;
    case MmHiEnglish: return 0.0254;
    case MmTwips: return 25.4 / 1440;
    default: return 0;
    }
}

QTransform oldMetricTransform(QPointF windowOrg, QPointF viewportOrg)
{
    return QTransform(1, 0, 0, -1, viewportOrg.x() - windowOrg.x(), viewportOrg.y() + windowOrg.y());
}

bool usableExtent(double cx, double cy)
{
    return cx != 0 && cy != 0 && std::abs(cx) <= kMaxExtent && std::abs(cy) <= kMaxExtent;
}

QTransform pageTransform(const DcState& s, double pxPerMm, const QRectF* wmfFrame)
{
    if (wmfFrame && isMetricMode(s.mapMode))
        return oldMetricTransform(s.windowOrg, s.viewportOrgSet ? s.viewportOrg : QPointF());
    if (wmfFrame) {
        if (!s.windowExtSet)
            return {};
        const QPointF origin = s.viewportOrgSet ? s.viewportOrg : wmfFrame->topLeft();
        const QSizeF view = s.viewportExtSet ? s.viewportExt : wmfFrame->size();
        return scaled(s, origin, view.width() / s.windowExt.width(), view.height() / s.windowExt.height());
    }
    if (const double m = metricScale(s.mapMode, pxPerMm); m > 0)
        return scaled(s, s.viewportOrg, m, -m);
    if (s.mapMode == MmIsotropic || s.mapMode == MmAnisotropic)
        return scaled(s, s.viewportOrg, s.viewportExt.width() / s.windowExt.width(),
                      s.viewportExt.height() / s.windowExt.height());
    return scaled(s, s.viewportOrg, 1, 1);
}

} // namespace mv::imaging::metafile
