// Fuzz target: the WordPerfect graphics decoder on arbitrary bytes must never crash, hang or read out of bounds.
#include "imaging/retro/WpgDecoder.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::looksLikeWpg(bytes);
    (void)mv::imaging::decodeWpg(bytes);
    return 0;
}
