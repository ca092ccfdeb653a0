#include "imaging/metafile/MetafileSize.h"

#include "imaging/base/DecodeLimits.h"

#include <algorithm>
#include <cmath>

namespace mv::imaging::metafile {

QSizeF naturalPixels(QSizeF size)
{
    double w = std::abs(size.width()), h = std::abs(size.height());
    if (!std::isfinite(w) || !std::isfinite(h))
        w = h = 1;
    const double longer = std::max(w, h);
    if (longer > double(kMaxDimension)) {
        w = w * double(kMaxDimension) / longer;
        h = h * double(kMaxDimension) / longer;
    }
    return {std::max(1.0, std::round(w)), std::max(1.0, std::round(h))};
}

} // namespace mv::imaging::metafile
