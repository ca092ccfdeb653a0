// Fuzz target: the Amiga IFF decoder on arbitrary bytes must never crash, hang or read out of bounds.
#include "imaging/retro/IffDecoder.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::looksLikeIff(bytes);
    (void)mv::imaging::decodeIff(bytes);
    return 0;
}
