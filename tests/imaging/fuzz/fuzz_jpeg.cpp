// libjpeg behind our source and error managers, with the options that change its code paths.
#include "imaging/jpeg/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!mv::imaging::looksLikeJpeg(bytes))
        return 0;
    mv::imaging::DecodeOptions options;
    // The last byte picks the options, so one input explores quantizing and scaling too.
    const uint8_t pick = size > 0 ? data[size - 1] : 0;
    options.dctMethod = mv::imaging::dctMethodFromIndex(pick % 3);
    options.jpegDither = mv::imaging::jpegDitherFromIndex((pick / 3) % 3);
    options.jpegTwoPassQuantize = (pick & 0x20) != 0;
    options.jpegFancyUpsampling = (pick & 0x40) != 0;
    if (pick & 0x80)
        options.targetSize = QSize(8, 8);
    (void)mv::imaging::probeJpeg(bytes);
    (void)mv::imaging::decodeJpeg(bytes, options);
    // The EXIF thumbnail's path: the marker walk, the EXIF reader and the copy's own decode.
    options.targetSize = QSize(8, 8);
    options.embeddedPreview = mv::imaging::EmbeddedPreview::Only;
    (void)mv::imaging::decodeJpeg(bytes, options);
    return 0;
}
