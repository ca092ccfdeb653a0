// Feeds arbitrary bytes to the GemImg decoder: it must never crash, hang or read out of bounds.
#include "RasterFuzz.h"

#include "imaging/pc/GemImgDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::decodeRaster(mv::imaging::looksLikeGemImg, mv::imaging::decodeGemImg, data, size);
}
