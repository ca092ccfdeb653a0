// Feeds arbitrary bytes to the PFS ART decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/retro/ArtDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeArt, mv::imaging::decodeArt, data, size);
}
