// Fuzz target: the PC Paint PIC decoder on arbitrary bytes must never crash, hang or read out of bounds.
#include "imaging/retro/PicDecoder.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::looksLikePic(bytes);
    (void)mv::imaging::decodePic(bytes);
    return 0;
}
