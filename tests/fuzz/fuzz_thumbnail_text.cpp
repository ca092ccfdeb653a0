// A file of the desktop's thumbnail cache, which any program may have written: the text chunks
// are read with every length checked, and a chunk written by the cache reads back whole.
#include "FuzzCheck.h"
#include "desktop/PngText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mv::desktop;
    const QByteArrayView png(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const char* key : {"Thumb::URI", "Thumb::MTime"}) {
        const QByteArray value = pngText(png, key);
        MV_FUZZ_CHECK(value.isEmpty() || png.indexOf(value) >= 0);
    }

    // The input's bytes as the URI of a thumbnail that the cache wrote, ahead of any chunks
    // they make; what follows the signature is the input again.
    const QByteArrayView signature("\x89PNG\r\n\x1a\n", 8);
    const QByteArray written = signature.toByteArray() + pngTextChunk("Thumb::URI", png) +
                               pngTextChunk("Thumb::MTime", "1") + png.toByteArray();
    MV_FUZZ_CHECK(pngText(written, "Thumb::URI") == png.toByteArray());
    MV_FUZZ_CHECK(pngText(written, "Thumb::MTime") == "1");
    return 0;
}
