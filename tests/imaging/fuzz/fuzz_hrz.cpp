// Fuzz target: the Slow Scan TV decoder. Only one file size is valid, so the input is also
// padded (or cut) to that size, letting short inputs reach the pixel loop.
#include "imaging/retro/HrzDecoder.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::looksLikeHrz(bytes);
    (void)mv::imaging::decodeHrz(bytes);
    QByteArray padded = bytes.toByteArray();
    padded.resize(184320, '\0');
    (void)mv::imaging::decodeHrz(padded);
    return 0;
}
