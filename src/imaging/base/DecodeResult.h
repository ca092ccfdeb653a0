// What every decoder gives back: the pixels or a vector drawing, the size of the whole picture
// and the bits per pixel of the file as stored; or the reason in plain words why the file could
// not be decoded. No decoder reports a failure any other way.
#pragma once

#include "imaging/base/Animation.h"
#include "imaging/base/VectorDrawing.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace mv::imaging {

struct DecodeResult {
    QImage image;                                 // null for a vector drawing
    std::shared_ptr<const VectorDrawing> drawing; // null for pixels
    int width = 0; // of the whole picture, in pixels (the image may be decoded smaller)
    int height = 0;
    int colorDepth = 0; // 1, 4, 8, 16, 24 or 32: as stored in the file, not as decoded
    QString error;      // why it could not be decoded; empty on success
    // An animated picture's frames, the first being image; null for a still picture.
    std::shared_ptr<const Animation> animation;

    [[nodiscard]] bool ok() const { return error.isEmpty() && (!image.isNull() || drawing); }
    [[nodiscard]] bool isVector() const { return drawing != nullptr; }
    [[nodiscard]] bool isAnimated() const { return animation && animation->frames.size() > 1; }

    static DecodeResult failure(const QString& why)
    {
        DecodeResult r;
        r.error = why;
        return r;
    }
    // Pixels decoded at the full size of the picture.
    static DecodeResult success(QImage image, int colorDepth)
    {
        DecodeResult r;
        r.width = image.width();
        r.height = image.height();
        r.image = std::move(image);
        r.colorDepth = colorDepth;
        return r;
    }
    static DecodeResult vector(std::shared_ptr<const VectorDrawing> drawing, QSize size, int colorDepth)
    {
        DecodeResult r;
        r.drawing = std::move(drawing);
        r.width = size.width();
        r.height = size.height();
        r.colorDepth = colorDepth;
        return r;
    }
};

} // namespace mv::imaging
