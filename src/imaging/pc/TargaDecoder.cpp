#include "imaging/pc/TargaDecoder.h"

#include "imaging/base/ByteReader.h"
#include "imaging/base/DecodeHelpers.h"
#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Palettes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace mv::imaging {

namespace {

constexpr qsizetype kHeaderSize = 18;

struct TgaHeader {
    int idLength = 0, mapType = 0, type = 0;
    int mapFirst = 0, mapLength = 0, mapEntryBits = 0;
    std::int64_t width = 0, height = 0;
    int depth = 0, descriptor = 0;

    [[nodiscard]] bool rle() const { return type >= 9; }
    [[nodiscard]] int kind() const { return type & 7; } // 1 mapped, 2 true colour, 3 grey
    [[nodiscard]] int alphaBits() const { return descriptor & 15; }
    [[nodiscard]] bool topDown() const { return descriptor & 0x20; }
    [[nodiscard]] bool rightToLeft() const { return descriptor & 0x10; }
    [[nodiscard]] int pixelBytes() const { return (depth + 7) / 8; }
    [[nodiscard]] qsizetype mapBytes() const { return qsizetype(mapLength) * ((mapEntryBits + 7) / 8); }
    [[nodiscard]] qsizetype dataStart() const { return kHeaderSize + idLength + (mapType ? mapBytes() : 0); }
};

TgaHeader readHeader(QByteArrayView data)
{
    ByteReader in(data);
    TgaHeader h;
    h.idLength = in.u8();
    h.mapType = in.u8();
    h.type = in.u8();
    h.mapFirst = in.u16le();
    h.mapLength = in.u16le();
    h.mapEntryBits = in.u8();
    in.skip(4); // origin on screen
    h.width = in.u16le();
    h.height = in.u16le();
    h.depth = in.u8();
    h.descriptor = in.u8();
    return h;
}

bool validMapEntry(int bits)
{
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

QString checkHeader(const TgaHeader& h, qsizetype size)
{
    if (size < kHeaderSize)
        return reason(Reason::Truncated);
    const int kind = h.kind();
    if (h.type == 32 || h.type == 33)
        return reason(Reason::UnsupportedCompression).arg(h.type);
    if (h.mapType > 1 || kind < 1 || kind > 3 || (h.type & ~0xB) != 0)
        return reason(Reason::TargaType).arg(h.type);
    if (h.mapType == 1 && !validMapEntry(h.mapEntryBits))
        return reason(Reason::ColourMapEntrySize).arg(h.mapEntryBits);
    const bool depthOk = kind == 1   ? (h.depth == 8 && h.mapType == 1)
                         : kind == 2 ? validMapEntry(h.depth)
                                     : (h.depth == 8 || h.depth == 16);
    if (!depthOk)
        return reason(Reason::TargaDepth).arg(h.depth).arg(h.type);
    if (h.descriptor & 0xC0)
        return reason(Reason::TargaInterleaved);
    if (QString why = checkDimensions(h.width, h.height, 1); !why.isEmpty())
        return why;
    const std::int64_t pixelBytes = h.width * h.height * h.pixelBytes();
    const std::int64_t available = size - h.dataStart();
    const bool fits = h.rle()
                          ? canExpandTo(available, pixelBytes, 128 * h.pixelBytes() / (h.pixelBytes() + 1))
                          : available >= pixelBytes;
    return fits ? QString() : reason(Reason::Truncated);
}

QRgb colour16(std::uint16_t v, bool withAlpha)
{
    const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
    const int alpha = !withAlpha || (v & 0x8000) ? 255 : 0;
    return qRgba((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2), alpha);
}

// A pixel (or colour map entry) of 15, 16, 24 or 32 bits, stored blue first.
QRgb colourAt(const std::uint8_t* p, int bits, bool withAlpha)
{
    switch (bits) {
    case 15:
    case 16: return colour16(std::uint16_t(p[0] | (p[1] << 8)), withAlpha && bits == 16);
    case 24: return qRgb(p[2], p[1], p[0]);
    default: return qRgba(p[2], p[1], p[0], withAlpha ? p[3] : 255);
    }
}

QList<QRgb> colourMap(const TgaHeader& h, QByteArrayView data)
{
    if (h.kind() == 3)
        return greyRamp(256);
    QList<QRgb> table(256, qRgb(0, 0, 0));
    const int entryBytes = (h.mapEntryBits + 7) / 8;
    const auto* map = reinterpret_cast<const std::uint8_t*>(data.data()) + kHeaderSize + h.idLength;
    bool anyAlpha = false;
    for (int i = 0; i < h.mapLength && h.mapFirst + i < 256; ++i) {
        const QRgb c = colourAt(map + i * entryBytes, h.mapEntryBits, h.alphaBits() > 0);
        anyAlpha |= qAlpha(c) != 0;
        table[h.mapFirst + i] = c;
    }
    if (!anyAlpha) // an alpha channel of all zeros is a writer's slip, not an invisible picture
        for (QRgb& c : table)
            c |= 0xff000000u;
    return table;
}

// Hands out the raw pixel bytes row by row; RLE packets may straddle rows.
class TgaPixels {
public:
    TgaPixels(const std::uint8_t* begin, const std::uint8_t* end, int pixelBytes, bool rle)
        : p_(begin), end_(end), bytes_(pixelBytes), rle_(rle)
    {
    }

    // A pointer to n pixels, or nullptr when the data ends first.
    const std::uint8_t* row(int n, std::vector<std::uint8_t>& buffer)
    {
        const qsizetype need = qsizetype(n) * bytes_;
        if (!rle_) {
            if (end_ - p_ < need)
                return nullptr;
            const std::uint8_t* r = p_;
            p_ += need;
            return r;
        }
        buffer.resize(size_t(need));
        return expand(buffer.data(), n) ? buffer.data() : nullptr;
    }

private:
    bool expand(std::uint8_t* out, int n)
    {
        for (int done = 0; done < n;) {
            if (left_ == 0 && !startPacket())
                return false;
            const int k = std::min(left_, n - done);
            if (repeat_) {
                for (int i = 0; i < k; ++i)
                    std::memcpy(out + (done + i) * bytes_, value_, size_t(bytes_));
            } else {
                if (end_ - p_ < qsizetype(k) * bytes_)
                    return false;
                std::memcpy(out + done * bytes_, p_, size_t(k * bytes_));
                p_ += k * bytes_;
            }
            done += k;
            left_ -= k;
        }
        return true;
    }

    bool startPacket()
    {
        if (p_ >= end_)
            return false;
        const std::uint8_t head = *p_++;
        left_ = (head & 0x7F) + 1;
        repeat_ = head & 0x80;
        if (repeat_) {
            if (end_ - p_ < bytes_)
                return false;
            std::memcpy(value_, p_, size_t(bytes_));
            p_ += bytes_;
        }
        return true;
    }

    const std::uint8_t* p_;
    const std::uint8_t* end_;
    int bytes_;
    bool rle_;
    int left_ = 0;
    bool repeat_ = false;
    std::uint8_t value_[4] = {};
};

void storeRow(const TgaHeader& h, const std::uint8_t* src, uchar* out, bool withAlpha)
{
    const int w = int(h.width);
    if (h.depth == 8) {
        std::memcpy(out, src, size_t(w));
    } else {
        auto* px = reinterpret_cast<QRgb*>(out);
        if (h.kind() == 3) {
            for (int x = 0; x < w; ++x)
                px[x] = qRgba(src[2 * x], src[2 * x], src[2 * x], src[2 * x + 1]);
        } else if (h.depth == 24) {
            for (int x = 0; x < w; ++x, src += 3)
                px[x] = qRgb(src[2], src[1], src[0]);
        } else {
            const int bytes = h.pixelBytes();
            for (int x = 0; x < w; ++x, src += bytes)
                px[x] = colourAt(src, h.depth, withAlpha);
        }
    }
    if (h.rightToLeft()) {
        const int bpp = h.depth == 8 ? 1 : 4;
        for (int x = 0; x < w / 2; ++x)
            std::swap_ranges(out + x * bpp, out + (x + 1) * bpp, out + (w - 1 - x) * bpp);
    }
}

QImage::Format outputFormat(const TgaHeader& h, bool withAlpha)
{
    if (h.depth == 8)
        return QImage::Format_Indexed8;
    return withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

} // namespace

bool looksLikeTarga(QByteArrayView data)
{
    if (data.size() < kHeaderSize)
        return false;
    const TgaHeader h = readHeader(data);
    if (!checkHeader(h, data.size()).isEmpty())
        return false;
    if (h.mapType == 0 && (h.mapLength != 0 || h.mapFirst != 0))
        return false;
    const int alpha = h.alphaBits();
    const int bits = h.kind() == 1 ? h.mapEntryBits : h.depth; // a mapped file's alpha is in its map
    const int maxAlpha = bits == 32 ? 8 : (bits == 16 ? (h.kind() == 3 ? 8 : 1) : 0);
    return alpha <= maxAlpha && (h.descriptor & 0xC0) == 0;
}

DecodeResult decodeTarga(QByteArrayView data)
{
    const TgaHeader h = readHeader(data);
    if (QString why = checkHeader(h, data.size()); !why.isEmpty())
        return DecodeResult::failure(why);
    // 8-bit pictures are indexed: their alpha, if any, is in the colour table.
    const bool withAlpha =
        h.depth == 16 && h.kind() == 3 ? true : h.alphaBits() > 0 && (h.depth == 16 || h.depth == 32);

    QString why;
    QImage image = allocateImage(h.width, h.height, outputFormat(h, withAlpha), &why);
    if (image.isNull())
        return DecodeResult::failure(why);
    if (h.depth == 8)
        image.setColorTable(colourMap(h, data));

    const auto* base = reinterpret_cast<const std::uint8_t*>(data.data());
    TgaPixels pixels(base + h.dataStart(), base + data.size(), h.pixelBytes(), h.rle());
    std::vector<std::uint8_t> buffer;
    const int w = int(h.width), rows = int(h.height);
    for (int i = 0; i < rows; ++i) {
        const std::uint8_t* src = pixels.row(w, buffer);
        if (!src)
            return DecodeResult::failure(reason(Reason::Truncated));
        storeRow(h, src, image.scanLine(h.topDown() ? i : rows - 1 - i), withAlpha);
    }
    if (withAlpha)
        opaqueIfAllTransparent(image);
    return DecodeResult::success(std::move(image), storedDepth(h.depth));
}

} // namespace mv::imaging
