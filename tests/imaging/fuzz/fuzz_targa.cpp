// Feeds arbitrary bytes to the Targa decoder: it must never crash, hang or read out of bounds.
#include "imaging/pc/TargaDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    mv::imaging::looksLikeTarga(bytes);
    const mv::imaging::DecodeResult r = mv::imaging::decodeTarga(bytes);
    if (r.ok() && r.image.isNull())
        __builtin_trap(); // success must carry a picture
    return 0;
}
