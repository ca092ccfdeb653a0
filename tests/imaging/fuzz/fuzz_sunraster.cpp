// Feeds arbitrary bytes to the SunRaster decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/pc/SunRasterDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeSunRaster, mv::imaging::decodeSunRaster, data, size);
}
