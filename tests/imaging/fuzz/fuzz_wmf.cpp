// Feeds arbitrary bytes to the Wmf loader and plays what it accepts into a small picture: it
// must never crash, hang or read out of bounds, in parsing or in drawing.
#include "MetafileFuzz.h"

#include "imaging/metafile/MetafileDecoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return mv::fuzz::startGuiApp("fuzz_wmf");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return mv::fuzz::playMetafile(mv::imaging::decodeWmfData, data, size);
}
