// Feeds arbitrary bytes to the Dr. Halo decoder: the first byte says how many 16-byte blocks at
// the end are the palette file, the rest is the picture.
#include "imaging/pc/CutDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView rest(data + 1, qsizetype(size - 1));
    const qsizetype paletteSize = std::min<qsizetype>(rest.size(), qsizetype(data[0]) * 16);
    const QByteArrayView picture = rest.first(rest.size() - paletteSize);
    mv::imaging::looksLikeCut(picture);
    mv::imaging::readHaloPalette(rest.last(paletteSize));
    const mv::imaging::DecodeResult r = mv::imaging::decodeCut(picture, rest.last(paletteSize));
    if (r.ok() && r.image.isNull())
        __builtin_trap();
    return 0;
}
