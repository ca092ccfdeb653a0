#include "sandbox/DecodeJob.h"

#include <algorithm>
#include <cmath>

namespace mv::sandbox {

QSize drawnVectorSize(QSizeF natural, const DrawSize& draw)
{
    if (natural.isEmpty() || !std::isfinite(natural.width()) || !std::isfinite(natural.height()))
        return {1, 1};
    double scale = draw.scale > 0 && std::isfinite(draw.scale) ? draw.scale : 1;
    if (draw.box.isValid() && !draw.box.isEmpty())
        scale = std::min(draw.box.width() / natural.width(), draw.box.height() / natural.height());
    double width = natural.width() * scale;
    double height = natural.height() * scale;
    if (const double pixels = width * height; pixels > double(kMaxDrawnPixels)) {
        const double shrink = std::sqrt(double(kMaxDrawnPixels) / pixels);
        width *= shrink;
        height *= shrink;
    }
    return QSizeF(std::max(1.0, width), std::max(1.0, height)).toSize().expandedTo(QSize(1, 1));
}

} // namespace mv::sandbox
