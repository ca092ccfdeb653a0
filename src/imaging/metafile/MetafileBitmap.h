// Bitmaps inside metafile records: a bare DIB (header, colours, bits) decoded by our DIB
// decoder, which checks its dimensions like any raster file.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRectF>
#include <QRegion>

#include <cstdint>
#include <vector>

namespace mv::imaging::metafile {

struct MetafileBitmap {
    QImage image; // null when the DIB is damaged
    bool bottomUp = true;

    [[nodiscard]] bool ok() const { return !image.isNull(); }
    // The source rectangle a record states (y counted from the bottom row of a bottom-up
    // DIB), clipped to the picture.
    [[nodiscard]] QRectF source(double x, double y, double w, double h) const;
};

// palette: when given, the colour table holds 16-bit indexes into it (palette colours), as
// records with that colour usage store it.
MetafileBitmap decodeMetafileBitmap(QByteArrayView dib, const std::vector<QRgb>* palette = nullptr);
// The header and the bits may lie apart in a record; joined when they do.
MetafileBitmap decodeMetafileBitmap(QByteArrayView header, QByteArrayView bits,
                                    const std::vector<QRgb>* palette = nullptr);

inline constexpr std::uint32_t kDibPalColours = 1;

// The pixels of one colour made transparent, as a transparent blit draws them.
QImage withTransparentColour(const QImage& img, QColor key);
// A blend with source alpha reads the fourth byte of a 32-bit bitmap as its alpha: the header
// described again with an alpha mask so that the byte is kept; empty for other bitmaps.
QByteArray withAlphaMask(QByteArrayView header);
// Such a bitmap's pixels, which are stored premultiplied.
QImage storedPremultiplied(const QImage& img);
// The set pixels of a monochrome mask (index 1, or light pixels), as a region.
QRegion maskRegion(const QImage& mask);

} // namespace mv::imaging::metafile
