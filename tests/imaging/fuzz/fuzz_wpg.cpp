// Feeds arbitrary bytes to the WordPerfect graphics decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/wpg/WpgDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeWpg, mv::imaging::decodeWpg, data, size);
}
