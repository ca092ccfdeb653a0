// Feeds arbitrary bytes to the SunRaster decoder: it must never crash, hang or read out of bounds.
#include "imaging/pc/SunRasterDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    mv::imaging::looksLikeSunRaster(bytes);
    const mv::imaging::DecodeResult r = mv::imaging::decodeSunRaster(bytes);
    if (r.ok() && r.image.isNull())
        __builtin_trap(); // success must carry a picture
    return 0;
}
