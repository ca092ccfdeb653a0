// Writes small enhanced metafiles for the tests, the fuzz seeds and the benchmark.
#pragma once

#include "WmfWriter.h"

#include <QRect>

#include <cstring>
#include <vector>

namespace mv::imaging::test {

// A bare 24-bit bottom-up DIB of one colour (0xRRGGBB).
inline QByteArray solidDib(int w, int h, std::uint32_t rgb)
{
    QByteArray d;
    WmfWriter::appendU32(d, 40);
    WmfWriter::appendU32(d, std::uint32_t(w));
    WmfWriter::appendU32(d, std::uint32_t(h));
    WmfWriter::appendU16(d, 1);
    WmfWriter::appendU16(d, 24);
    for (int i = 0; i < 6; ++i)
        WmfWriter::appendU32(d, 0);
    const int stride = (w * 3 + 3) / 4 * 4;
    for (int y = 0; y < h; ++y) {
        QByteArray row;
        for (int x = 0; x < w; ++x)
            row.append(char(rgb & 0xFF)).append(char((rgb >> 8) & 0xFF)).append(char((rgb >> 16) & 0xFF));
        d.append(row.leftJustified(stride, '\0'));
    }
    return d;
}

class EmfWriter {
public:
    // One record of 32-bit values.
    EmfWriter& record(std::uint32_t type, std::initializer_list<std::int64_t> values)
    {
        QByteArray p;
        for (const std::int64_t v : values)
            WmfWriter::appendU32(p, std::uint32_t(v));
        return raw(type, p);
    }
    EmfWriter& raw(std::uint32_t type, QByteArray params)
    {
        while (params.size() % 4)
            params.append('\0');
        WmfWriter::appendU32(body_, type);
        WmfWriter::appendU32(body_, std::uint32_t(8 + params.size()));
        body_.append(params);
        ++count_;
        return *this;
    }
    EmfWriter& bytes(const QByteArray& b)
    {
        body_.append(b);
        return *this;
    }

    EmfWriter& pen(int index, int style, int width, std::uint32_t color) { return record(38, {index, style, width, 0, color}); }
    EmfWriter& brush(int index, int style, std::uint32_t color, int hatch = 0) { return record(39, {index, style, color, hatch}); }
    EmfWriter& select(std::uint32_t index) { return record(37, {index}); }
    EmfWriter& rectangle(int l, int t, int r, int b) { return record(43, {l, t, r, b}); }
    EmfWriter& ellipse(int l, int t, int r, int b) { return record(42, {l, t, r, b}); }
    EmfWriter& moveTo(int x, int y) { return record(27, {x, y}); }
    EmfWriter& lineTo(int x, int y) { return record(54, {x, y}); }
    EmfWriter& saveDc() { return record(33, {}); }
    EmfWriter& restoreDc(int which) { return record(34, {which}); }
    EmfWriter& polygon(const std::vector<QPoint>& pts)
    {
        QByteArray p(16, '\0');
        WmfWriter::appendU32(p, std::uint32_t(pts.size()));
        for (const QPoint& q : pts) {
            WmfWriter::appendU32(p, std::uint32_t(q.x()));
            WmfWriter::appendU32(p, std::uint32_t(q.y()));
        }
        return raw(3, p);
    }
    EmfWriter& worldTransform(float m11, float m12, float m21, float m22, float dx, float dy, int mode = 0)
    {
        QByteArray p;
        for (const float f : {m11, m12, m21, m22, dx, dy}) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            WmfWriter::appendU32(p, bits);
        }
        if (mode)
            WmfWriter::appendU32(p, std::uint32_t(mode));
        return raw(mode ? 36 : 35, p);
    }
    // StretchDIBits of a whole DIB onto dest.
    EmfWriter& stretchDib(QRect dest, const QByteArray& dib, int w, int h)
    {
        QByteArray p(16, '\0');
        const std::uint32_t fixed = 8 + 72;
        for (const std::int64_t v : {std::int64_t(dest.x()), std::int64_t(dest.y()), std::int64_t(0), std::int64_t(0),
                                     std::int64_t(w), std::int64_t(h), std::int64_t(fixed), std::int64_t(40),
                                     std::int64_t(fixed + 40), std::int64_t(dib.size() - 40), std::int64_t(0),
                                     std::int64_t(0x00CC0020), std::int64_t(dest.width()), std::int64_t(dest.height())})
            WmfWriter::appendU32(p, std::uint32_t(v));
        p.append(dib);
        return raw(81, p);
    }
    // A blit of the BitBlt / StretchBlt / AlphaBlend / TransparentBlt layout (type 76, 77, 114
    // or 116); op: the raster operation, blend function or transparent colour.
    EmfWriter& blit(std::uint32_t type, QRect dest, std::uint32_t op, QRect source, const QByteArray& header,
                    const QByteArray& bits, std::uint32_t usage = 0)
    {
        QByteArray p(16, '\0');
        const auto put = [&p](std::int64_t v) { WmfWriter::appendU32(p, std::uint32_t(v)); };
        for (const int v : {dest.x(), dest.y(), dest.width(), dest.height()})
            put(v);
        put(op);
        put(source.x());
        put(source.y());
        for (const float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) {
            std::uint32_t b;
            std::memcpy(&b, &f, 4);
            put(b);
        }
        put(0xFFFFFF);
        put(usage);
        const std::int64_t fixed = 8 + 16 + 16 + 4 + 8 + 24 + 4 + 4 + 16 + (type == 76 ? 0 : 8);
        put(header.isEmpty() ? 0 : fixed);
        put(header.size());
        put(header.isEmpty() ? 0 : fixed + header.size());
        put(bits.size());
        if (type != 76) {
            put(source.width());
            put(source.height());
        }
        return raw(type, p + header + bits);
    }
    // Region data (RGNDATA) of rectangles.
    static QByteArray regionData(std::initializer_list<QRect> rects)
    {
        QByteArray d;
        const auto n = std::uint32_t(rects.size());
        for (const std::uint32_t v : {32u, 1u, n, 16 * n, 0u, 0u, 0u, 0u})
            WmfWriter::appendU32(d, v);
        for (const QRect& r : rects) {
            for (const int v : {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()})
                WmfWriter::appendU32(d, std::uint32_t(v));
        }
        return d;
    }
    EmfWriter& font(int index, int height)
    {
        QByteArray p;
        for (const int v : {index, -height, 0, 0, 0, 700})
            WmfWriter::appendU32(p, std::uint32_t(v));
        p.append(QByteArray(8, '\0'));
        for (const char c : QByteArray("Sans").leftJustified(32, '\0'))
            WmfWriter::appendU16(p, c);
        return raw(82, p);
    }
    // ExtTextOutW (or, type 83, ExtTextOutA) at x, y; rect: the opaque or clipping box.
    EmfWriter& textOut(int x, int y, const QString& text, std::uint32_t type = 84, std::uint32_t options = 0, QRect rect = {})
    {
        QByteArray p(16, '\0');
        WmfWriter::appendU32(p, 1);
        WmfWriter::appendU32(p, 0);
        WmfWriter::appendU32(p, 0);
        const std::uint32_t offString = 8 + 16 + 12 + 8 + 12 + 16 + 4;
        for (const std::int64_t v : {std::int64_t(x), std::int64_t(y), std::int64_t(text.size()), std::int64_t(offString),
                                     std::int64_t(options), std::int64_t(rect.left()), std::int64_t(rect.top()),
                                     std::int64_t(rect.left() + rect.width()), std::int64_t(rect.top() + rect.height()),
                                     std::int64_t(0)})
            WmfWriter::appendU32(p, std::uint32_t(v));
        for (const QChar c : text) {
            if (type == 84)
                WmfWriter::appendU16(p, c.unicode());
            else
                p.append(char(c.toLatin1()));
        }
        return raw(type, p);
    }

    // The file: header with bounds (device pixels) and frame (0.01 mm) on a 96-dpi reference
    // device, the records, EOF.
    [[nodiscard]] QByteArray file(QRect bounds, QRect frame, int handles = 16, bool withEof = true) const
    {
        QByteArray out;
        const auto put = [&out](std::int64_t v) { WmfWriter::appendU32(out, std::uint32_t(v)); };
        put(1);
        put(88);
        for (const QRect& r : {bounds, frame}) {
            put(r.left());
            put(r.top());
            put(r.left() + r.width());
            put(r.top() + r.height());
        }
        put(0x464D4520);
        put(0x10000);
        put(0); // bytes, not checked
        put(count_ + 2);
        WmfWriter::appendU16(out, handles);
        WmfWriter::appendU16(out, 0);
        put(0);
        put(0);
        put(0);
        put(960); // 960 pixels in 254 mm: 96 dpi
        put(960);
        put(254);
        put(254);
        out.append(body_);
        if (withEof) {
            for (const std::int64_t v : {14, 20, 0, 0, 20})
                put(v);
        }
        return out;
    }

private:
    QByteArray body_;
    int count_ = 0;
};

} // namespace mv::imaging::test
