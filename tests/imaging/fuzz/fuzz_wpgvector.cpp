// Fuzz target: WordPerfect graphics with vector records, parsed and drawn into a 64 x 64 image,
// must never crash, hang or read out of bounds.
#include "MetafileFuzz.h"

#include "imaging/wpg/WpgDecoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return mv::fuzz::startGuiApp("fuzz_wpgvector");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const mv::imaging::DecodeResult picture =
        mv::imaging::decodeWpgPicture(QByteArrayView(data, qsizetype(size)));
    if (picture.drawing)
        mv::fuzz::draw(picture);
    return 0;
}
