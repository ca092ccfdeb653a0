// A smoothly reduced copy of a picture at the size it is drawn, made once per size, so that
// a reduced picture is filtered properly and repaints cost no rescaling.
#pragma once

#include <QImage>
#include <QSize>

namespace mv::imaging {

class ScaledCache {
public:
    // The picture reduced to size (made on first use, kept while source and size stay).
    const QImage& reduced(const QImage& source, QSize size);
    void clear();

private:
    qint64 sourceKey_ = 0;
    QSize size_;
    QImage image_;
};

} // namespace mv::imaging
