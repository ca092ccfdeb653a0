#include "imaging/metafile/MetafileBitmap.h"

#include "imaging/base/ByteReader.h"
#include "imaging/metafile/GdiObjects.h"
#include "imaging/pc/DibDecoder.h"

#include <algorithm>

namespace mv::imaging::metafile {

QRectF MetafileBitmap::source(double x, double y, double w, double h) const
{
    const QRectF whole(QPointF(0, 0), QSizeF(image.size()));
    if (w == 0 || h == 0)
        return whole;
    const double top = bottomUp ? image.height() - y - std::abs(h) : y;
    return QRectF(x, top, std::abs(w), std::abs(h)).intersected(whole);
}

namespace {

// Rewrites a header whose colour table holds palette indexes into one of colours; the
// header and its table fill `consumed` bytes of dib. Empty when the header is damaged.
QByteArray resolvePaletteIndexes(QByteArrayView dib, const std::vector<QRgb>& palette, qsizetype* consumed)
{
    ByteReader r(dib);
    const std::uint32_t headerSize = r.u32le();
    if (headerSize < 40 || headerSize > 124)
        return {}; // the small OS/2 header has no palette-index form
    r.skip(10);
    const int bits = r.u16le();
    r.skip(16);
    const std::uint32_t used = r.u32le();
    if (!r.ok() || bits > 8)
        return {};
    const std::uint32_t count = used != 0 ? std::min<std::uint32_t>(used, 1u << bits) : 1u << bits;
    ByteReader table(dib);
    if (!table.seek(qsizetype(headerSize)) || !table.has(qsizetype(count) * 2))
        return {};
    QByteArray out = dib.first(headerSize).toByteArray();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint16_t index = table.u16le();
        const QRgb c = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    *consumed = qsizetype(headerSize) + qsizetype(count) * 2;
    return out;
}

} // namespace

MetafileBitmap decodeMetafileBitmap(QByteArrayView dib, const std::vector<QRgb>* palette)
{
    if (palette) {
        qsizetype consumed = 0;
        const QByteArray header = resolvePaletteIndexes(dib, *palette, &consumed);
        if (header.isEmpty())
            return {};
        QByteArray joined = header;
        joined.append(dib.sliced(consumed));
        return decodeMetafileBitmap(QByteArrayView(joined));
    }
    MetafileBitmap b;
    ByteReader r(dib);
    const std::uint32_t headerSize = r.u32le();
    if (headerSize == 12) {
        r.skip(2);
        b.bottomUp = true;
    } else {
        r.skip(4);
        b.bottomUp = r.s32le() > 0;
    }
    if (!r.ok())
        return b;
    const DecodeResult result = decodeDib(dib);
    if (result.ok())
        b.image = result.image;
    return b;
}

MetafileBitmap decodeMetafileBitmap(QByteArrayView header, QByteArrayView bits,
                                    const std::vector<QRgb>* palette)
{
    QByteArray joined;
    if (palette) {
        // The index table may be padded within the header part: only the bits follow it.
        qsizetype consumed = 0;
        joined = resolvePaletteIndexes(header, *palette, &consumed);
        if (joined.isEmpty())
            return {};
    } else if (header.data() + header.size() == bits.data()) {
        return decodeMetafileBitmap(QByteArrayView(header.data(), header.size() + bits.size()));
    } else {
        joined = header.toByteArray();
    }
    joined.append(bits);
    return decodeMetafileBitmap(QByteArrayView(joined));
}

QImage withTransparentColour(const QImage& img, QColor key)
{
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb k = key.rgb() & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((px[x] & 0xFFFFFF) == k)
                px[x] = 0;
        }
    }
    return out;
}

QByteArray withAlphaMask(QByteArrayView header)
{
    constexpr int kBitFields = 3, kV3Header = 56;
    ByteReader r(header);
    const std::uint32_t headerSize = r.u32le();
    r.skip(10);
    const int bitCount = r.u16le();
    const std::uint32_t compression = r.u32le();
    if (!r.ok() || headerSize < 40 || headerSize > std::uint32_t(header.size()) || bitCount != 32 ||
        compression != 0)
        return {};
    QByteArray h = header.first(40).toByteArray();
    h[0] = char(kV3Header);
    h[16] = char(kBitFields);
    for (const std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) {
        for (int i = 0; i < 4; ++i)
            h.append(char((mask >> (8 * i)) & 0xFF));
    }
    h.append(header.sliced(headerSize));
    return h;
}

QImage storedPremultiplied(const QImage& img)
{
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    // A colour above its alpha would overflow when blended.
    for (int y = 0; y < out.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qAlpha(px[x]);
            px[x] = qRgba(std::min(qRed(px[x]), a), std::min(qGreen(px[x]), a), std::min(qBlue(px[x]), a), a);
        }
    }
    out.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return out;
}

QRegion maskRegion(const QImage& mask)
{
    constexpr int kMaxRects = 20000;
    QList<QRect> rects;
    const bool indexed = mask.format() == QImage::Format_Indexed8;
    for (int y = 0; y < mask.height(); ++y) {
        int x = 0;
        while (x < mask.width()) {
            const auto set = [&](int at) {
                return indexed ? mask.pixelIndex(at, y) == 1 : qGray(mask.pixel(at, y)) > 127;
            };
            if (!set(x)) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < mask.width() && set(x))
                ++x;
            rects.append(QRect(from, y, x - from, 1));
            if (rects.size() > kMaxRects)
                return QRegion(mask.rect()); // too fine a mask to clip by: the whole picture
        }
    }
    return regionOfRects(rects);
}

} // namespace mv::imaging::metafile
