// Feeds arbitrary bytes to the PC Paint PIC decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/retro/PicDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikePic, mv::imaging::decodePic, data, size);
}
