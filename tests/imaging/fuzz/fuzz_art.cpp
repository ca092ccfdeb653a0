// Fuzz target: the PFS ART decoder on arbitrary bytes must never crash, hang or read out of bounds.
#include "imaging/retro/ArtDecoder.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::looksLikeArt(bytes);
    (void)mv::imaging::decodeArt(bytes);
    return 0;
}
