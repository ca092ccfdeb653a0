#include "imaging/ui/ScaledCache.h"

#include "imaging/base/ProtectedPixels.h"
#include "imaging/base/ReducedCopy.h"

namespace mv::imaging {

const QImage& ScaledCache::reduced(const QImage& source, QSize size, qreal dpr, const QImage& ahead,
                                   bool sensitive)
{
    if (size != size_) {
        images_.clear();
        size_ = size;
    }
    auto it = images_.find(source.cacheKey());
    if (it == images_.end()) {
        QImage copy;
        if (!ahead.isNull() && ahead.size() == size) {
            // Setting another ratio on a shared image copies its pixels: into protected
            // memory, for a sensitive one.
            copy = ahead;
            if (sensitive && ahead.devicePixelRatio() != dpr) {
                if (QImage own = protectedCopy(ahead); !own.isNull())
                    copy = std::move(own);
            }
        } else {
            copy = reducedCopy(source, size, sensitive);
            ++made_;
        }
        if (copy.devicePixelRatio() != dpr)
            copy.setDevicePixelRatio(dpr);
        it = images_.insert(source.cacheKey(), std::move(copy));
    }
    return *it;
}

void ScaledCache::clear()
{
    images_.clear();
    size_ = QSize();
}

} // namespace mv::imaging
