#include "imaging/ui/ScaledCache.h"

#include "imaging/base/ReducedCopy.h"

namespace mv::imaging {

const QImage& ScaledCache::reduced(const QImage& source, QSize size, qreal dpr, const QImage& ahead)
{
    if (size != size_) {
        images_.clear();
        size_ = size;
    }
    auto it = images_.find(source.cacheKey());
    if (it == images_.end()) {
        QImage copy;
        if (!ahead.isNull() && ahead.size() == size) {
            copy = ahead;
        } else {
            copy = reducedCopy(source, size);
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
