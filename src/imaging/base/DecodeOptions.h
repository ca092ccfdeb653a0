// The decoding options the viewer offers in its Image menu. The numeric values are the menu
// item indexes, which are also what the settings store.
#pragma once

#include <QSize>
#include <Qt>

namespace mv::imaging {

enum class DitherMode {
    NoDithering = 0,
    DitherAlways = 1,
    DitherExtraColors = 2
};
enum class DctMethod {
    SlowInteger = 0,
    FastInteger = 1,
    FloatingPoint = 2
};
enum class JpegDither {
    None = 0,
    Ordered = 1,
    FloydSteinberg = 2
};

// A JPEG's own small copy of itself, the thumbnail a camera stores in its EXIF block (APP1).
enum class EmbeddedPreview {
    Ignore = 0, // the picture itself, always
    Use = 1,    // the embedded copy when it covers the picture fitted into targetSize
    Only = 2,   // the embedded copy or a failure (NoEmbeddedPreview), nothing else: the data
                // may then be just the start of the file, as far as its EXIF block reaches
};

struct DecodeOptions {
    DitherMode ditherMode = DitherMode::NoDithering;
    DctMethod dctMethod = DctMethod::FastInteger;
    JpegDither jpegDither = JpegDither::None;
    bool jpegFancyUpsampling = false;
    bool jpegTwoPassQuantize = false;
    // The size the picture will be drawn at (a box it is fitted into). When valid, a JPEG is
    // decoded at the smallest scale that still covers it. Invalid: full size.
    QSize targetSize;
    // Only the first frame of an animated picture (thumbnails); otherwise all its frames are
    // decoded, up to kMaxAnimationBytes.
    bool firstFrameOnly = false;
    // Thumbnails and first looks: a few kilobytes decoded instead of megapixels. The copy is
    // turned upright as the picture is, and width and height stay the picture's own.
    EmbeddedPreview embeddedPreview = EmbeddedPreview::Ignore;
};

// Out-of-range menu indexes fall back to the defaults above.
DitherMode ditherModeFromIndex(int index);
DctMethod dctMethodFromIndex(int index);
JpegDither jpegDitherFromIndex(int index);

// How a picture is converted for a screen (or an indexed copy) with fewer colours.
Qt::ImageConversionFlags conversionFlags(DitherMode mode);

} // namespace mv::imaging
