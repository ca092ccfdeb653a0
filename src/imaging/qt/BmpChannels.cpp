#include "imaging/qt/BmpChannels.h"

#include "imaging/base/ByteReader.h"

#include <bit>
#include <cstdint>

namespace mv::imaging {

namespace {

constexpr std::uint32_t kBitFields = 3;

// A channel of `bits` bits that Qt shifted to the top of a byte, spread over 0..255 the way
// our DIB decoder does it, so a .bmp and the same pixels as a .dib look the same.
int widened(int shifted, int bits)
{
    if (bits < 1 || bits >= 8)
        return shifted;
    const int value = shifted >> (8 - bits);
    return value * 255 / ((1 << bits) - 1);
}

} // namespace

void widenBmpChannels(QByteArrayView data, QImage& image)
{
    ByteReader r(data);
    r.skip(14);
    const std::uint32_t headerSize = r.u32le();
    if (headerSize < 40)
        return; // the OS/2 header has no 16-bit pixels
    r.skip(10);
    const int bits = r.u16le();
    const std::uint32_t compression = r.u32le();
    if (!r.ok() || bits != 16)
        return;
    int red = 5, green = 5, blue = 5; // without bit fields a 16-bit pixel is 5-5-5
    if (compression == kBitFields) {
        ByteReader masks(data);
        masks.skip(14 + 40);
        red = std::popcount(masks.u32le());
        green = std::popcount(masks.u32le());
        blue = std::popcount(masks.u32le());
        if (!masks.ok())
            return;
    }
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            line[x] =
                qRgba(widened(qRed(c), red), widened(qGreen(c), green), widened(qBlue(c), blue), qAlpha(c));
        }
    }
}

} // namespace mv::imaging
