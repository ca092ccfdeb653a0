// What a raster decoder gives back: the pixels and the bits per pixel of the file as stored,
// or a reason in plain words why the file could not be decoded.
#pragma once

#include <QImage>
#include <QString>

namespace mv::imaging {

struct DecodeResult {
    QImage image;
    int colorDepth = 0; // 1, 4, 8, 16, 24 or 32: as stored in the file, not as decoded
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty() && !image.isNull(); }

    static DecodeResult failure(const QString& reason)
    {
        DecodeResult r;
        r.error = reason;
        return r;
    }
    static DecodeResult success(QImage image, int colorDepth)
    {
        DecodeResult r;
        r.image = std::move(image);
        r.colorDepth = colorDepth;
        return r;
    }
};

} // namespace mv::imaging
