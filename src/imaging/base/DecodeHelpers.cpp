#include "imaging/base/DecodeHelpers.h"

namespace mv::imaging {

int storedDepth(int bits)
{
    for (int depth : {1, 4, 8, 16, 24})
        if (bits <= depth)
            return depth;
    return 32;
}

bool canExpandTo(std::int64_t available, std::int64_t needed, std::int64_t maxExpansion)
{
    return available > 0 && available >= (needed + maxExpansion - 1) / maxExpansion;
}

void opaqueIfAllTransparent(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0)
                return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xff000000u;
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
}

} // namespace mv::imaging
