// What the raster fuzz targets share: one input through a decoder's sniffer and decoder.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

namespace mv::fuzz {

inline int decodeRaster(bool (*looksLike)(QByteArrayView), imaging::DecodeResult (*decode)(QByteArrayView),
                        const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    looksLike(bytes);
    const imaging::DecodeResult r = decode(bytes);
    if (r.ok() && r.image.isNull())
        __builtin_trap(); // success must carry a picture
    return 0;
}

} // namespace mv::fuzz
