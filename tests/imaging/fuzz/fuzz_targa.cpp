// Feeds arbitrary bytes to the Targa decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/pc/TargaDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeTarga, mv::imaging::decodeTarga, data, size);
}
