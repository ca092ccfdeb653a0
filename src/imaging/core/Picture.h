// A decoded picture as the viewer sees it: pixels or a vector drawing, with the size and
// colour depth of the file (the pixels may have been decoded smaller than that).
#pragma once

#include "imaging/DecodeResult.h"
#include "imaging/core/VectorDrawing.h"

#include <QImage>
#include <QString>

#include <memory>

namespace mv::imaging {

struct Picture {
    QImage image;                                 // null for a vector drawing
    std::shared_ptr<const VectorDrawing> drawing; // null for pixels
    int width = 0;                                // of the full picture, in pixels
    int height = 0;
    int colorDepth = 0; // bits per pixel as stored in the file
    QString typeName;   // "JPEG", "PNG", ...
    QString error;      // why it could not be decoded; empty on success

    [[nodiscard]] bool ok() const { return error.isEmpty() && (!image.isNull() || drawing); }
    [[nodiscard]] bool isVector() const { return drawing != nullptr; }

    static Picture failure(const QString& reason);
    // Takes a raster decoder's answer; the full size is the decoded size.
    static Picture fromResult(DecodeResult result);
};

// What a header says without decoding the pixels.
struct PictureInfo {
    int width = 0;
    int height = 0;
    int colorDepth = 0;
    QString typeName;
    QString error; // empty on success

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

} // namespace mv::imaging
