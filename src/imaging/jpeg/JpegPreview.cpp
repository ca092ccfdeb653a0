#include "imaging/jpeg/JpegPreview.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/Orientation.h"
#include "imaging/jpeg/ExifOrientation.h"
#include "imaging/jpeg/JpegDecoder.h"

#include <cstdint>
#include <cstdlib>

namespace mv::imaging {

namespace {

// How far the copy's proportions may stray from the picture's before it is taken to be
// padded (a 4:3 copy of a 3:2 picture carries bars).
constexpr double kAspectTolerance = 0.02;

struct Markers {
    QByteArrayView exif; // the first APP1 payload that is EXIF
    QSize stored;        // the frame's size as stored
    int components = 0;
};

bool isFrameHeader(uchar marker)
{
    // SOF0..SOF15 less DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments from SOI to the frame header (or the first scan, or the data's end).
Markers readMarkers(QByteArrayView data)
{
    Markers found;
    ByteReader r(data);
    if (r.u8() != 0xFF || r.u8() != 0xD8)
        return found;
    while (r.ok() && !r.atEnd()) {
        if (r.u8() != 0xFF)
            return found; // not a marker where one must be
        uchar marker = r.u8();
        while (marker == 0xFF && r.ok()) // fill bytes
            marker = r.u8();
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // no length follows
        if (marker == 0xD9 || marker == 0xDA)
            return found;
        const int length = r.u16be();
        if (length < 2)
            return found;
        ByteReader segment(r.take(length - 2));
        if (!r.ok())
            return found;
        if (marker == 0xE1 && found.exif.isEmpty() &&
            segment.data().startsWith(QByteArrayView("Exif\0\0", 6)))
            found.exif = segment.data();
        if (isFrameHeader(marker)) {
            segment.skip(1); // precision
            const int height = segment.u16be();
            const int width = segment.u16be();
            found.components = segment.u8();
            if (segment.ok())
                found.stored = QSize(width, height);
            return found;
        }
    }
    return found;
}

} // namespace

std::optional<DecodeResult> decodeEmbeddedPreview(QByteArrayView data, const DecodeOptions& options)
{
    const QSize box = options.targetSize;
    if (!box.isValid() || box.isEmpty())
        return std::nullopt;
    const Markers markers = readMarkers(data);
    if (markers.exif.isEmpty() || markers.stored.isEmpty())
        return std::nullopt;
    const QByteArrayView copy = exifThumbnail(markers.exif);
    if (copy.isEmpty())
        return std::nullopt;
    const int orientation = exifOrientation(markers.exif);
    const QSize picture = uprightSize(markers.stored, orientation);
    const QSize needed = picture.width() <= box.width() && picture.height() <= box.height()
                             ? picture
                             : picture.scaled(box, Qt::KeepAspectRatio);

    // The copy is stored turned as the picture is, and rarely carries an orientation of its own.
    DecodeOptions inner = options;
    inner.embeddedPreview = EmbeddedPreview::Ignore;
    inner.targetSize = orientationSwapsAxes(orientation) ? box.transposed() : box;
    DecodeResult small = decodeJpeg(copy, inner);
    if (!small.ok() || small.isVector())
        return std::nullopt;
    QImage upright = uprightImage(small.image, orientation);
    const QSize got = upright.size();
    // A copy larger than the picture is no preview of it: the picture is decoded instead.
    if (got.width() + 1 < needed.width() || got.height() + 1 < needed.height() ||
        got.width() > picture.width() || got.height() > picture.height())
        return std::nullopt;
    const double pictureAspect = double(picture.width()) / picture.height();
    const double copyAspect = double(got.width()) / got.height();
    if (std::abs(copyAspect - pictureAspect) > kAspectTolerance * pictureAspect)
        return std::nullopt;

    DecodeResult result;
    result.image = std::move(upright);
    result.width = picture.width();
    result.height = picture.height();
    result.colorDepth = 8 * markers.components;
    return result;
}

} // namespace mv::imaging
