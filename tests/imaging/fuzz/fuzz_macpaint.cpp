// Feeds arbitrary bytes to the MacPaint decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/retro/MacPaintDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeMacPaint, mv::imaging::decodeMacPaint, data, size);
}
