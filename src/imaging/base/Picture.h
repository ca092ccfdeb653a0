// A decoded picture as the viewer sees it: a decoder's result (pixels or a vector drawing, with
// the size and colour depth of the file) and the name of its type.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QString>

namespace mv::imaging {

struct [[nodiscard]] Picture : DecodeResult {
    QString typeName; // "JPEG", "PNG", ...
    // image reduced ahead, off the user-interface thread, to the device pixels it will be drawn
    // at (reducedForScreen): the image control draws it when its size is what it draws, and
    // makes its own copy otherwise. Null when none was made.
    QImage reduced;
    // Decrypted: its pixels live in protected memory (ProtectedPixels.h), and a copy made of
    // them for drawing belongs there too.
    bool sensitive = false;
    // Drawn from a vector drawing (width and height are its natural size) at the size asked
    // for: a view larger than that asks for it to be drawn again rather than enlarging it.
    bool redrawable = false;

    Picture() = default;
    // The bytes of pixels it holds: the image, the reduced copy and an animation's further
    // frames (the first is the image), for caches that keep pictures within a budget.
    [[nodiscard]] qint64 pixelBytes() const;

    // A decoder's answer as it stands, without a type name.
    Picture(DecodeResult result) : DecodeResult(std::move(result)) {} // NOLINT: implicit on purpose

    // reason empty: "the picture could not be decoded".
    static Picture failure(const QString& reason);
    static Picture failure(fileio::Status why);
    // Takes a decoder's answer; a failure without a reason gets the general one.
    static Picture fromResult(DecodeResult result);
};

// What a header says without decoding the pixels.
struct [[nodiscard]] PictureInfo {
    int width = 0;
    int height = 0;
    int colorDepth = 0;
    QString typeName;
    fileio::Status status; // ok on success

    [[nodiscard]] bool ok() const { return status.ok; }
    [[nodiscard]] QString reasonText() const { return QString::fromStdString(status.reason); }
    static PictureInfo failure(const QString& why)
    {
        PictureInfo info;
        info.status = decodeFailure(why);
        return info;
    }
};

} // namespace mv::imaging
