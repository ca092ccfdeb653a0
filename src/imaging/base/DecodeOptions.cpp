#include "imaging/base/DecodeOptions.h"

namespace mv::imaging {

DitherMode ditherModeFromIndex(int index)
{
    return index >= 0 && index <= 2 ? DitherMode(index) : DitherMode::NoDithering;
}

DctMethod dctMethodFromIndex(int index)
{
    return index >= 0 && index <= 2 ? DctMethod(index) : DctMethod::FastInteger;
}

JpegDither jpegDitherFromIndex(int index)
{
    return index >= 0 && index <= 2 ? JpegDither(index) : JpegDither::None;
}

Qt::ImageConversionFlags conversionFlags(DitherMode mode)
{
    switch (mode) {
    case DitherMode::DitherAlways: return Qt::DiffuseDither | Qt::DiffuseAlphaDither | Qt::PreferDither;
    case DitherMode::DitherExtraColors:
        // Qt dithers only when the picture has more colours than the target can show.
        return Qt::DiffuseDither | Qt::AutoDither;
    case DitherMode::NoDithering: break;
    }
    return Qt::ThresholdDither | Qt::ThresholdAlphaDither | Qt::AvoidDither;
}

} // namespace mv::imaging
