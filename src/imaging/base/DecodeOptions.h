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
};

// Out-of-range menu indexes fall back to the defaults above.
DitherMode ditherModeFromIndex(int index);
DctMethod dctMethodFromIndex(int index);
JpegDither jpegDitherFromIndex(int index);

// How a picture is converted for a screen (or an indexed copy) with fewer colours.
Qt::ImageConversionFlags conversionFlags(DitherMode mode);

} // namespace mv::imaging
