// Fuzz target: the MacPaint decoder on arbitrary bytes must never crash, hang or read out of bounds.
#include "imaging/retro/MacPaintDecoder.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::looksLikeMacPaint(bytes);
    (void)mv::imaging::decodeMacPaint(bytes);
    return 0;
}
