#include "imaging/metafile/DcState.h"

#include <cmath>

namespace mv::imaging::metafile {

namespace {

constexpr double kMaxExtent = 1e8;

// Device pixels per logical unit for the fixed-scale modes; 0 for the others.
double metricScale(int mapMode, double pxPerMm)
{
    switch (mapMode) {
    case MmLoMetric: return pxPerMm / 10;
    case MmHiMetric: return pxPerMm / 100;
    case MmLoEnglish: return pxPerMm * 25.4 / 100;
    case MmHiEnglish: return pxPerMm * 25.4 / 1000;
    case MmTwips: return pxPerMm * 25.4 / 1440;
    default: return 0;
    }
}

QTransform scaled(const DcState& s, QPointF deviceOrigin, double sx, double sy)
{
    if (s.mapMode == MmIsotropic) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    return QTransform(sx, 0, 0, sy, deviceOrigin.x() - s.windowOrg.x() * sx, deviceOrigin.y() - s.windowOrg.y() * sy);
}

} // namespace

bool usableExtent(double cx, double cy)
{
    return cx != 0 && cy != 0 && std::abs(cx) <= kMaxExtent && std::abs(cy) <= kMaxExtent;
}

QTransform pageTransform(const DcState& s, double pxPerMm, const QRectF* wmfFrame)
{
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
