// Writes small enhanced metafiles, and the bitmaps their records carry, for the benchmark; it wrote
// the EMF fixtures and fuzz seeds.
#pragma once

#include "WmfWriter.h"
#include "WriterSupport.h"

#include <bit>
#include <functional>
#include <vector>

namespace mv::imaging::test {

inline std::uint32_t floatBits(float f)
{
    return std::bit_cast<std::uint32_t>(f);
}

// A bitmap as records store it: the header with its colour table apart from the bits.
struct DibParts {
    QByteArray header;
    QByteArray bits;
    [[nodiscard]] QByteArray packed() const { return header + bits; }
};

inline QByteArray dibHeader(int w, int h, int bitCount, int colours)
{
    return u32s({40, w, h}) + u16s({1, bitCount}) + u32s({0, 0, 0, 0, colours, 0});
}

// A bottom-up bitmap of pixel(x, y) (y from the top) in bitCount 1, 24 or 32 bits (32: premultiplied
// 0xAARRGGBB); a 1-bit one takes the colour table as stored (two colours 0x00RRGGBB, or two 16-bit
// palette indexes).
inline DibParts dib(int w, int h, int bitCount, const std::function<std::uint32_t(int, int)>& pixel,
                    const QByteArray& table = {})
{
    DibParts d {dibHeader(w, h, bitCount, bitCount == 1 ? 2 : 0) + table, {}};
    for (int row = h - 1; row >= 0; --row) {
        ByteWriter line;
        if (bitCount == 1)
            line.bytes(packRowBits(w, (w + 31) / 32 * 4, [&](int x) { return pixel(x, row) != 0; }));
        for (int x = 0; x < w && bitCount == 24; ++x)
            line.u8(int(pixel(x, row))).u8(int(pixel(x, row) >> 8)).u8(int(pixel(x, row) >> 16));
        for (int x = 0; x < w && bitCount == 32; ++x)
            line.u32le(pixel(x, row));
        d.bits += line.data().leftJustified((w * bitCount + 31) / 32 * 4, '\0');
    }
    return d;
}
// A bare 24-bit DIB of one colour (0xRRGGBB).
inline QByteArray solidDib(int w, int h, std::uint32_t rgb)
{
    return dib(w, h, 24, [rgb](int, int) { return rgb; }).packed();
}
inline DibParts monoDib(int w, int h, const QByteArray& table, const std::function<bool(int, int)>& bit)
{
    return dib(
        w, h, 1, [&](int x, int y) { return std::uint32_t(bit(x, y)); }, table);
}
// A LOGPALETTE of two colours: red, then green.
inline QByteArray redGreenPalette()
{
    return u16s({0x300, 2}) + QByteArray("\xff\x00\x00\x00\x00\xff\x00\x00", 8);
}
// A 4 x 4 monochrome bitmap whose colour table holds palette indexes 0 and 1: its top half is
// set (entry 1), its bottom half clear (entry 0).
inline DibParts topHalfPaletteIndexed()
{
    return monoDib(4, 4, u16s({0, 1}), [](int, int y) { return y < 2; });
}

class EmfWriter {
public:
    // One record of 32-bit values.
    EmfWriter& record(std::uint32_t type, std::initializer_list<std::int64_t> values)
    {
        return raw(type, u32s(values));
    }
    EmfWriter& raw(std::uint32_t type, QByteArray params)
    {
        while (params.size() % 4)
            params.append('\0');
        body_.u32le(type).u32le(std::uint32_t(8 + params.size())).bytes(params);
        ++count_;
        return *this;
    }
    EmfWriter& bytes(const QByteArray& b)
    {
        body_.bytes(b);
        return *this;
    }

    EmfWriter& pen(int index, int style, int width, std::uint32_t color)
    {
        return record(38, {index, style, width, 0, color});
    }
    EmfWriter& brush(int index, int style, std::uint32_t color, int hatch = 0)
    {
        return record(39, {index, style, color, hatch});
    }
    EmfWriter& select(std::uint32_t index) { return record(37, {index}); }
    EmfWriter& rectangle(int l, int t, int r, int b) { return record(43, {l, t, r, b}); }
    EmfWriter& ellipse(int l, int t, int r, int b) { return record(42, {l, t, r, b}); }
    EmfWriter& moveTo(int x, int y) { return record(27, {x, y}); }
    EmfWriter& lineTo(int x, int y) { return record(54, {x, y}); }
    EmfWriter& saveDc() { return record(33, {}); }
    EmfWriter& restoreDc(int which) { return record(34, {which}); }
    EmfWriter& polygon(const std::vector<QPoint>& pts)
    {
        QByteArray p = QByteArray(16, '\0') + u32s({std::int64_t(pts.size())});
        for (const QPoint& q : pts)
            p += u32s({q.x(), q.y()});
        return raw(3, p);
    }
    EmfWriter& worldTransform(float m11, float m12, float m21, float m22, float dx, float dy, int mode = 0)
    {
        QByteArray p = u32s(
            {floatBits(m11), floatBits(m12), floatBits(m21), floatBits(m22), floatBits(dx), floatBits(dy)});
        return raw(mode ? 36 : 35, mode ? p + u32s({mode}) : p);
    }
    // StretchDIBits of a whole DIB onto dest.
    EmfWriter& stretchDib(QRect dest, const QByteArray& dib, int w, int h)
    {
        return raw(81, QByteArray(16, '\0') +
                           u32s({dest.x(), dest.y(), 0, 0, w, h, 80, 40, 120, dib.size() - 40, 0, 0x00CC0020,
                                 dest.width(), dest.height()}) +
                           dib);
    }
    // A blit of the BitBlt / StretchBlt / AlphaBlend / TransparentBlt layout (type 76, 77, 114
    // or 116); op: the raster operation, blend function or transparent colour.
    EmfWriter& blit(std::uint32_t type, QRect dest, std::uint32_t op, QRect source, const QByteArray& header,
                    const QByteArray& bits, std::uint32_t usage = 0)
    {
        const std::int64_t fixed = 8 + 16 + 16 + 4 + 8 + 24 + 4 + 4 + 16 + (type == 76 ? 0 : 8);
        QByteArray p =
            QByteArray(16, '\0') +
            u32s({dest.x(), dest.y(), dest.width(), dest.height(), op, source.x(), source.y()}) +
            u32s({floatBits(1), 0, 0, floatBits(1), 0, 0, 0xFFFFFF, usage, header.isEmpty() ? 0 : fixed,
                  header.size(), header.isEmpty() ? 0 : fixed + header.size(), bits.size()});
        if (type != 76)
            p += u32s({source.width(), source.height()});
        return raw(type, p + header + bits);
    }
    // Region data (RGNDATA) of rectangles.
    static QByteArray regionData(std::initializer_list<QRect> rects)
    {
        const auto n = std::int64_t(rects.size());
        QByteArray d = u32s({32, 1, n, 16 * n, 0, 0, 0, 0});
        for (const QRect& r : rects)
            d += u32s({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
        return d;
    }
    EmfWriter& font(int index, int height)
    {
        QByteArray p = u32s({index, -height, 0, 0, 0, 700}) + QByteArray(8, '\0');
        for (const char c : QByteArray("Sans").leftJustified(32, '\0'))
            p += u16s({c});
        return raw(82, p);
    }
    // ExtTextOutW (or, type 83, ExtTextOutA) at x, y; rect: the opaque or clipping box.
    EmfWriter& textOut(int x, int y, const QString& text, std::uint32_t type = 84, std::uint32_t options = 0,
                       QRect rect = {})
    {
        QByteArray p =
            QByteArray(16, '\0') + u32s({1, 0, 0, x, y, text.size(), 76, options, rect.left(), rect.top(),
                                         rect.left() + rect.width(), rect.top() + rect.height(), 0});
        for (const QChar c : text)
            p += type == 84 ? u16s({c.unicode()}) : QByteArray(1, c.toLatin1());
        return raw(type, p);
    }

    // The file: header with bounds (device pixels) and frame (0.01 mm) on a 96-dpi reference
    // device, the records, EOF.
    [[nodiscard]] QByteArray file(QRect bounds, QRect frame, int handles = 16, bool withEof = true) const
    {
        QByteArray out = u32s({1, 88});
        for (const QRect& r : {bounds, frame})
            out += u32s({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
        // signature, version, bytes (not checked), records, handles, reserved, description,
        // palette entries, then 960 pixels in 254 mm: 96 dpi.
        out += u32s({0x464D4520, 0x10000, 0, count_ + 2}) + u16s({handles, 0}) +
               u32s({0, 0, 0, 960, 960, 254, 254});
        return out + body_.data() + (withEof ? u32s({14, 20, 0, 0, 20}) : QByteArray());
    }

private:
    ByteWriter body_;
    int count_ = 0;
};

} // namespace mv::imaging::test
