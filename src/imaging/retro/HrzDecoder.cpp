#include "imaging/retro/HrzDecoder.h"

#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"

namespace mv::imaging {
namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 240;
constexpr qsizetype kFileSize = qsizetype(kWidth) * kHeight * 3;

} // namespace

bool looksLikeHrz(QByteArrayView data)
{
    return data.size() == kFileSize;
}

DecodeResult decodeHrz(QByteArrayView data)
{
    if (data.size() != kFileSize) {
        return DecodeResult::failure(data.size() < kFileSize ? reason(Reason::Truncated)
                                                             : reason(Reason::HrzTooLarge));
    }
    QString why;
    QImage image = allocateImage(kWidth, kHeight, QImage::Format_RGB32, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    const auto* src = reinterpret_cast<const std::uint8_t*>(data.data());
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x, src += 3)
            line[x] = qRgb(scale6to8(src[0]), scale6to8(src[1]), scale6to8(src[2]));
    }
    return DecodeResult::success(std::move(image), 24);
}

} // namespace mv::imaging
