#include "imaging/pc/DibDecoder.h"

#include "imaging/base/BitUnpack.h"
#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"
#include "imaging/pc/DibHeader.h"
#include "imaging/pc/DibRle.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace mv::imaging {

namespace {

// "BM", the file size, two reserved words and where the pixels start.
constexpr qsizetype kBmpFileHeaderSize = 14;

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0, width = 0;
    std::uint8_t scale[256] = {};

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (!m)
            return;
        shift = std::countr_zero(m);
        width = int(std::bit_width(m >> shift));
        const int used = std::min(width, 8);
        const int top = (1 << used) - 1;
        for (int v = 0; v <= top; ++v)
            scale[v] = std::uint8_t(v * 255 / top);
    }
    // Only the top 8 bits of a wide channel count.
    [[nodiscard]] int value(std::uint32_t px) const
    {
        const std::uint32_t v = (px & mask) >> shift;
        return scale[width > 8 ? (v >> (width - 8)) & 255 : v & 255];
    }
};

struct BitFields {
    Channel r, g, b, a;
    bool alpha;
    explicit BitFields(const DibHeader& h)
        : r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(h.masks[3]), alpha(h.useAlpha)
    {
    }
    [[nodiscard]] QRgb colour(std::uint32_t px) const
    {
        return qRgba(r.value(px), g.value(px), b.value(px), alpha ? a.value(px) : 255);
    }
};

void storeRow(const DibHeader& h, const BitFields& fields, const std::vector<QRgb>& lut16,
              const std::uint8_t* src, uchar* out)
{
    const int w = int(h.width);
    if (h.bits <= 8) {
        packedToIndices(src, h.bits, w, out);
        return;
    }
    auto* px = reinterpret_cast<QRgb*>(out);
    if (h.bits == 16) {
        for (int x = 0; x < w; ++x)
            px[x] = lut16[src[2 * x] | (src[2 * x + 1] << 8)];
    } else if (h.bits == 24) {
        for (int x = 0; x < w; ++x, src += 3)
            px[x] = qRgb(src[2], src[1], src[0]);
    } else {
        for (int x = 0; x < w; ++x, src += 4)
            px[x] = fields.colour(std::uint32_t(src[0]) | (src[1] << 8) | (src[2] << 16) |
                                  (std::uint32_t(src[3]) << 24));
    }
}

std::vector<QRgb> table16(const DibHeader& h, const BitFields& fields)
{
    std::vector<QRgb> lut;
    if (h.bits != 16)
        return lut;
    lut.resize(65536);
    for (std::uint32_t v = 0; v < 65536; ++v)
        lut[v] = fields.colour(v);
    return lut;
}

QImage::Format outputFormat(const DibHeader& h)
{
    if (h.bits <= 8)
        return QImage::Format_Indexed8;
    return h.useAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

DecodeResult decodeRaw(const DibHeader& h, QByteArrayView data, QImage& image)
{
    const std::int64_t stride = h.stride();
    if (data.size() - h.bitsOffset < stride * h.rows())
        return DecodeResult::failure(reason(Reason::Truncated));
    const BitFields fields(h);
    const std::vector<QRgb> lut16 = table16(h, fields);
    const auto* bits = reinterpret_cast<const std::uint8_t*>(data.data()) + h.bitsOffset;
    const int rows = image.height();
    for (int i = 0; i < rows; ++i)
        storeRow(h, fields, lut16, bits + stride * i, image.scanLine(h.bottomUp() ? rows - 1 - i : i));
    if (h.useAlpha)
        opaqueIfAllTransparent(image);
    return DecodeResult::success(std::move(image), h.bits);
}

DecodeResult decodeDibAt(QByteArrayView data, qsizetype pixelsAt)
{
    DibHeader h;
    if (QString why = readDibHeader(data, &h); !why.isEmpty())
        return DecodeResult::failure(why);
    // A file's own offset wins, but never points into the header.
    if (pixelsAt >= qsizetype(h.headerSize))
        h.bitsOffset = pixelsAt;
    const bool rle = h.compression == kDibRle8 || h.compression == kDibRle4;
    if (rle && h.bitsOffset >= data.size())
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image = allocateImage(h.width, h.rows(), outputFormat(h), &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    if (h.bits <= 8)
        image.setColorTable(fullTable(h.colours));
    if (!rle)
        return decodeRaw(h, data, image);

    image.fill(0);
    if (!decodeDibRle(data.sliced(h.bitsOffset), h.compression == kDibRle4, h.bottomUp(), image))
        return DecodeResult::failure(reason(Reason::Truncated));
    return DecodeResult::success(std::move(image), h.bits);
}

} // namespace

bool looksLikeDib(QByteArrayView data)
{
    if (data.startsWith("BM"))
        return false;
    DibHeader h;
    return readDibHeader(data, &h).isEmpty() && h.bitsOffset < data.size();
}

DecodeResult decodeDib(QByteArrayView data)
{
    return decodeDibAt(data, -1);
}

bool isRleBmp(QByteArrayView file)
{
    DibHeader h;
    return file.startsWith("BM") && file.size() > kBmpFileHeaderSize &&
           readDibHeader(file.sliced(kBmpFileHeaderSize), &h).isEmpty() &&
           (h.compression == kDibRle8 || h.compression == kDibRle4);
}

DecodeResult decodeRleBmp(QByteArrayView file)
{
    if (file.size() <= kBmpFileHeaderSize)
        return DecodeResult::failure(reason(Reason::Truncated));
    ByteReader in(file);
    in.seek(10);
    const qsizetype pixels = qsizetype(in.u32le()) - kBmpFileHeaderSize;
    return decodeDibAt(file.sliced(kBmpFileHeaderSize), pixels);
}

} // namespace mv::imaging
