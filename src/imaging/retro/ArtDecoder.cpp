#include "imaging/retro/ArtDecoder.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/retro/PackBits.h"

#include <cstring>
#include <vector>

namespace mv::imaging {
namespace {

constexpr qsizetype kStandardHeader = 8;
constexpr qsizetype kHighResHeader = 12;
constexpr int kMaxPad = 2;

struct ArtLayout {
    bool packed = false;
    int width = 0;
    int height = 0;
    qsizetype rowBytes = 0; // as stored, pad included
    QByteArrayView pixels;  // rows, already unpacked for the high resolution form
    std::vector<std::uint8_t> unpacked;
};

bool isHighRes(QByteArrayView data)
{
    return data.size() >= kHighResHeader && std::uint8_t(data[0]) == 0xFF && std::uint8_t(data[1]) == 0xFF;
}

QString readStandard(QByteArrayView data, ArtLayout* art)
{
    ByteReader in(data);
    const int left = in.u16le();
    const int right = in.u16le();
    const int top = in.u16le();
    const int bottom = in.u16le();
    if (!in.ok())
        return reason(Reason::Truncated);
    art->width = right - left;
    art->height = bottom - top;
    if (QString why = checkDimensions(art->width, art->height, 1); !why.isEmpty())
        return why;
    art->rowBytes = qsizetype((art->width + 15) / 16) * 2;
    const qsizetype needed = art->rowBytes * art->height;
    if (data.size() - kStandardHeader < needed)
        return reason(Reason::Truncated);
    art->pixels = data.sliced(kStandardHeader, needed);
    return {};
}

// Unpacks the whole stream (bounded by the largest possible padded size), then works out the
// row length from the number of bytes it gave.
QString readHighRes(QByteArrayView data, ArtLayout* art)
{
    ByteReader in(data);
    in.skip(6);
    art->width = in.u16le();
    art->height = in.u16le();
    in.skip(2);
    if (QString why = checkDimensions(art->width, art->height, 1); !why.isEmpty())
        return why;
    const qsizetype minRow = (art->width + 7) / 8;
    // One byte more than the largest padded size, so that surplus data never looks exact; and
    // each packed byte gives at most 128 bytes, so a small hostile file cannot ask for much.
    const qsizetype cap = std::min<qsizetype>((minRow + kMaxPad) * art->height + 1, in.remaining() * 128);
    art->unpacked.resize(size_t(cap));
    const qsizetype filled = unpackBitsStream(in, art->unpacked.data(), cap);
    for (int pad = 0; pad <= kMaxPad; ++pad) {
        if ((minRow + pad) * art->height == filled) {
            art->rowBytes = minRow + pad;
            art->packed = true;
            art->pixels = QByteArrayView(art->unpacked.data(), filled);
            return {};
        }
    }
    // A code cut off by the end of the file, or too few bytes for the narrowest rows.
    const bool cutShort = !in.ok() || filled < minRow * art->height;
    return cutShort ? reason(Reason::Truncated) : reason(Reason::ArtRows);
}

QString readLayout(QByteArrayView data, ArtLayout* art)
{
    return isHighRes(data) ? readHighRes(data, art) : readStandard(data, art);
}

} // namespace

bool looksLikeArt(QByteArrayView data)
{
    ArtLayout art;
    if (data.size() < kStandardHeader || !readLayout(data, &art).isEmpty())
        return false;
    return art.packed || data.size() == kStandardHeader + art.rowBytes * art.height;
}

DecodeResult decodeArt(QByteArrayView data)
{
    ArtLayout art;
    if (data.size() < kStandardHeader)
        return DecodeResult::failure(reason(Reason::Truncated));
    if (QString why = readLayout(data, &art); !why.isEmpty())
        return DecodeResult::failure(why);
    QString why;
    QImage image = allocateImage(art.width, art.height, QImage::Format_Mono, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    // A set bit is a lit pixel of the white page; the drawing is the clear bits on it.
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const qsizetype copy = std::min<qsizetype>(art.rowBytes, image.bytesPerLine());
    for (int y = 0; y < art.height; ++y)
        std::memcpy(image.scanLine(y), art.pixels.data() + y * art.rowBytes, size_t(copy));
    return DecodeResult::success(std::move(image), 1);
}

} // namespace mv::imaging
