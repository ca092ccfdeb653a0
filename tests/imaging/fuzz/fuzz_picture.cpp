// The entry point: content sniffing, Qt's readers behind our limits, the header depth parsers.
#include "imaging/PictureDecoder.h"
#include "imaging/qt/HeaderDepth.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)mv::imaging::pngStoredDepth(bytes);
    (void)mv::imaging::gifStoredDepth(bytes);
    (void)mv::imaging::bmpStoredDepth(bytes);
    (void)mv::imaging::tiffStoredDepth(bytes);
    (void)mv::imaging::probePictureData(bytes, QStringLiteral("seed.bin"));
    (void)mv::imaging::decodePictureData(bytes, QStringLiteral("seed.bin"));
    return 0;
}
