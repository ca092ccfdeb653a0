#include "imaging/ui/ScaledCache.h"

namespace mv::imaging {

const QImage& ScaledCache::reduced(const QImage& source, QSize size)
{
    if (source.cacheKey() != sourceKey_ || size != size_ || image_.isNull()) {
        image_ = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        sourceKey_ = source.cacheKey();
        size_ = size;
    }
    return image_;
}

void ScaledCache::clear()
{
    image_ = QImage();
    sourceKey_ = 0;
    size_ = QSize();
}

} // namespace mv::imaging
