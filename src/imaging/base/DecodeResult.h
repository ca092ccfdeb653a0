// What every decoder gives back: the pixels or a vector drawing, the size of the whole picture
// and the bits per pixel of the file as stored; or the failure, in the one shape every layer
// reports in (fileio::Status), with the reason in plain words. No decoder reports a failure any
// other way.
#pragma once

#include "fileio/Status.h"
#include "imaging/base/Animation.h"
#include "imaging/base/VectorDrawing.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace mv::imaging {

// The step of a failure to decode; the viewer shows only the reason.
inline constexpr const char* kDecodeStep = "decode picture";

// A failure in imaging's own words, translated where they are made, as the viewer shows them.
inline fileio::Status decodeFailure(const QString& why)
{
    return fileio::Status::failure(kDecodeStep, why.toStdString());
}

struct [[nodiscard]] DecodeResult {
    QImage image;                                 // null for a vector drawing
    std::shared_ptr<const VectorDrawing> drawing; // null for pixels
    int width = 0; // of the whole picture, in pixels (the image may be decoded smaller)
    int height = 0;
    int colorDepth = 0;    // 1, 4, 8, 16, 24 or 32: as stored in the file, not as decoded
    fileio::Status status; // why it could not be decoded; ok on success
    // An animated picture's frames, the first being image; null for a still picture.
    std::shared_ptr<const Animation> animation;

    [[nodiscard]] bool ok() const { return status.ok && (!image.isNull() || drawing); }
    // The reason, as the viewer shows it; empty on success.
    [[nodiscard]] QString reasonText() const { return QString::fromStdString(status.reason); }
    [[nodiscard]] bool isVector() const { return drawing != nullptr; }
    [[nodiscard]] bool isAnimated() const { return animation && animation->frames.size() > 1; }

    static DecodeResult failure(const QString& why) { return failure(decodeFailure(why)); }
    static DecodeResult failure(fileio::Status why)
    {
        DecodeResult r;
        r.status = std::move(why);
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
