// Bitmaps inside metafile records: a bare DIB (header, colours, bits) decoded by our DIB
// decoder, which checks its dimensions like any raster file.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRectF>

namespace mv::imaging::metafile {

struct MetafileBitmap {
    QImage image; // null when the DIB is damaged
    bool bottomUp = true;

    [[nodiscard]] bool ok() const { return !image.isNull(); }
    // The source rectangle a record states (y counted from the bottom row of a bottom-up
    // DIB), clipped to the picture.
    [[nodiscard]] QRectF source(double x, double y, double w, double h) const;
};

MetafileBitmap decodeMetafileBitmap(QByteArrayView dib);
// The header and the bits may lie apart in a record; joined when they do.
MetafileBitmap decodeMetafileBitmap(QByteArrayView header, QByteArrayView bits);

} // namespace mv::imaging::metafile
