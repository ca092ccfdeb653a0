// Feeds arbitrary bytes to the Amiga IFF decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/retro/IffDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeIff, mv::imaging::decodeIff, data, size);
}
