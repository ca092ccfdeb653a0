#include "imaging/pc/CutDecoder.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"

#include <algorithm>
#include <cstring>

namespace mv::imaging {

namespace {

constexpr qsizetype kPaletteHeaderSize = 40;
constexpr qsizetype kPaletteBlock = 512;

// Expands one row's runs into out; returns how many pixels the runs described.
std::int64_t expandRow(QByteArrayView src, uchar* out, int width)
{
    ByteReader in(src);
    std::int64_t x = 0;
    while (!in.atEnd()) {
        const int code = in.u8();
        if (code == 0)
            break;
        const int count = code & 0x7F;
        const int room = int(std::clamp<std::int64_t>(width - x, 0, count));
        if (code & 0x80) {
            const std::uint8_t value = in.u8();
            if (out && room > 0)
                std::memset(out + x, value, size_t(room));
        } else {
            const QByteArrayView bytes = in.take(qMin<qsizetype>(count, in.remaining()));
            const qsizetype k = std::min<qsizetype>(room, bytes.size());
            if (out && k > 0)
                std::memcpy(out + x, bytes.data(), size_t(k));
        }
        x += count;
    }
    return x;
}

int scaled(int value, int maximum)
{
    if (maximum <= 0)
        maximum = 255;
    return std::min(value, maximum) * 255 / maximum;
}

} // namespace

QList<QRgb> readHaloPalette(QByteArrayView palette)
{
    ByteReader in(palette);
    if (in.take(2) != "AH")
        return {};
    in.seek(12);
    const int maxIndex = in.u16le(), maxRed = in.u16le(), maxGreen = in.u16le(), maxBlue = in.u16le();
    if (!in.ok())
        return {};
    QList<QRgb> table;
    in.seek(kPaletteHeaderSize);
    for (int i = 0; i <= std::min(maxIndex, 255); ++i) {
        // A triple never straddles a 512-byte block.
        if (in.pos() / kPaletteBlock != (in.pos() + 5) / kPaletteBlock)
            in.seek(std::min(in.size(), (in.pos() / kPaletteBlock + 1) * kPaletteBlock));
        if (!in.has(6))
            break;
        const int r = in.u16le(), g = in.u16le(), b = in.u16le();
        table.append(qRgb(scaled(r, maxRed), scaled(g, maxGreen), scaled(b, maxBlue)));
    }
    return fullTable(table);
}

bool looksLikeCut(QByteArrayView data)
{
    ByteReader in(data);
    const int width = in.u16le(), height = in.u16le(), reserved = in.u16le();
    const int rowLength = in.u16le();
    if (!in.ok() || reserved != 0 || !checkDimensions(width, height, 1).isEmpty() || rowLength < 2)
        return false;
    const QByteArrayView row = in.take(rowLength);
    return in.ok() && row.endsWith('\0') && expandRow(row, nullptr, width) == width;
}

DecodeResult decodeCut(QByteArrayView data, QByteArrayView palette)
{
    ByteReader in(data);
    const int width = in.u16le(), height = in.u16le();
    in.u16le();
    if (!in.ok())
        return DecodeResult::failure(reason(Reason::Truncated));
    if (QString why = checkDimensions(width, height, 1); !why.isEmpty())
        return DecodeResult::failure(why);
    // Every row starts with its byte count.
    if (!in.has(std::int64_t(height) * 2))
        return DecodeResult::failure(reason(Reason::Truncated));

    QString why;
    QImage image = allocateImage(width, height, QImage::Format_Indexed8, &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    const QList<QRgb> colours = readHaloPalette(palette);
    image.setColorTable(colours.isEmpty() ? greyRamp(256) : colours);
    image.fill(0);

    for (int y = 0; y < height; ++y) {
        const QByteArrayView row = in.take(in.u16le());
        if (!in.ok())
            return DecodeResult::failure(reason(Reason::Truncated));
        expandRow(row, image.scanLine(y), width);
    }
    return DecodeResult::success(std::move(image), 8);
}

} // namespace mv::imaging
