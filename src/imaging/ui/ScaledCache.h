// Smoothly reduced copies of a picture at the size it is drawn, made once per size, so that a
// reduced picture is filtered properly and repaints cost no rescaling. A copy made ahead on a
// worker is taken as it is when its size is the one drawn. One copy per source image, so the
// frames of an animation each keep theirs while the size stays.
#pragma once

#include <QHash>
#include <QImage>
#include <QSize>

namespace mv::imaging {

class ScaledCache {
public:
    // source reduced to size (device pixels) for a screen of ratio dpr: ahead when that is
    // its size, else made on first use with reducedCopy; kept while the size stays. The copy
    // of a sensitive (decrypted) source is made in protected memory.
    const QImage& reduced(const QImage& source, QSize size, qreal dpr, const QImage& ahead = QImage(),
                          bool sensitive = false);
    void clear();
    // How many copies this cache has made itself (not taken ahead).
    [[nodiscard]] int copiesMade() const { return made_; }

private:
    QSize size_;
    QHash<qint64, QImage> images_; // by the source's cache key
    int made_ = 0;
};

} // namespace mv::imaging
