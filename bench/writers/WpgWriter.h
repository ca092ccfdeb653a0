// Test writer of WordPerfect graphics: the header, records of both versions, bitmaps (version 1
// types 1 and 2 with their run codes, version 2 raw or with its run codes) and vector records.
// wpg1File / wpg2File wrap records in the header, the start record and the end record.
#pragma once

#include "WriterSupport.h"

#include <QList>
#include <QPoint>
#include <QRgb>

#include <algorithm>
#include <functional>

namespace mv::imaging::test {

struct WpgBitmapInput {
    int width = 0;
    int height = 0;
    int depth = 1;                                    // 1, 2, 4, 8 (24 in version 2)
    bool type2 = false;                               // version 1: bitmap record 0x14 instead of 0x0B
    bool compress = true;                             // version 2: run codes instead of raw rows
    std::function<std::uint32_t(int x, int y)> value; // index, or 0xRRGGBB for 24 bits
};

inline ByteWriter& wpgLength(ByteWriter& w, std::uint32_t n)
{
    if (n < 0xFF)
        return w.u8(int(n));
    if (n < 0x8000)
        return w.u8(0xFF).u16le(int(n));
    return w.u8(0xFF).u16le(int(0x8000 | (n >> 16))).u16le(int(n & 0xFFFF));
}

inline QByteArray wpgHeader(int version)
{
    return ByteWriter().u8(0xFF).bytes("WPC").u32le(16).u8(1).u8(0x16).u8(version).u8(0).u32le(0).data();
}

inline QByteArray wpg1Rec(int type, const QByteArray& body)
{
    ByteWriter w;
    return wpgLength(w.u8(type), std::uint32_t(body.size())).bytes(body).data();
}

inline QByteArray wpg2Rec(int type, const QByteArray& body, int extension = 0)
{
    ByteWriter w;
    wpgLength(w.u8(0x0A).u8(type), std::uint32_t(extension));
    return wpgLength(w, std::uint32_t(body.size())).bytes(body).data();
}

inline std::vector<std::uint8_t> wpgRow(const WpgBitmapInput& s, int y)
{
    if (s.depth != 24)
        return packRow(s.width, (s.width * s.depth + 7) / 8, s.depth, [&](int x) { return s.value(x, y); });
    std::vector<std::uint8_t> row;
    for (int x = 0; x < s.width; ++x)
        for (int k = 0; k < 3; ++k)
            row.push_back(std::uint8_t(s.value(x, y) >> (16 - 8 * k)));
    return row;
}

// The run codes of version 1 (bytes) or 2 (samples of one byte, or three for 24 bits); equal
// rows become row repeats. Version 2 literals hold one sample each.
inline QByteArray wpgRuns(const WpgBitmapInput& s, int version)
{
    ByteWriter w;
    const long sample = s.depth == 24 ? 3 : 1;
    if (sample == 3)
        w.u8(0x7D).u8(3);
    const bool v1 = version == 1;
    for (int y = 0; y < s.height;) {
        const std::vector<std::uint8_t> row = wpgRow(s, y);
        int same = 0;
        while (y + 1 + same < s.height && same < (v1 ? 255 : 256) && wpgRow(s, y + 1 + same) == row)
            ++same;
        const auto at = [&](qsizetype i, qsizetype k) {
            return std::vector<std::uint8_t>(row.begin() + i * sample, row.begin() + (i + k) * sample);
        };
        const auto run = [&](qsizetype i, qsizetype k) {
            if (std::ranges::all_of(at(i, 1), [](std::uint8_t b) { return b == 0xFF; }))
                w.u8(v1 ? 0x80 : 0xFF).u8(int(v1 ? k : k - 1));
            else
                w.u8(0x80 | int(v1 ? k : k - 1)).bytes(at(i, 1));
        };
        splitRuns(
            qsizetype(row.size()) / sample, v1 ? 3 : 2, v1 ? 127 : 125, v1 ? 127 : 1,
            [&](qsizetype a, qsizetype b) { return at(a, 1) == at(b, 1); }, run,
            [&](qsizetype i, qsizetype k) { w.u8(v1 ? int(k) : 0).bytes(at(i, k)); });
        if (same > 0)
            w.u8(v1 ? 0 : 0xFE).u8(v1 ? same : same - 1);
        y += 1 + same;
    }
    return w.data();
}

inline QByteArray wpg1Bitmap(const WpgBitmapInput& s)
{
    ByteWriter body;
    if (s.type2)
        body.u16le(0).u32le(0).u16le(s.width).u16le(s.height);
    return body.u16le(s.width).u16le(s.height).u16le(s.depth).u16le(75).u16le(75).bytes(wpgRuns(s, 1)).data();
}

inline QByteArray wpgColours(int start, const QList<QRgb>& colours, int version = 1)
{
    ByteWriter b;
    b.u16le(start).u16le(int(colours.size()));
    for (QRgb c : colours) {
        b.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
        if (version == 2)
            b.u8(0);
    }
    return version == 1 ? wpg1Rec(0x0E, b.data()) : wpg2Rec(0x0C, b.data());
}

inline QByteArray encodeWpg1(const QList<WpgBitmapInput>& bitmaps, const QList<QRgb>& colours = {},
                             int colourStart = 0)
{
    QByteArray w = wpgHeader(1) + wpg1Rec(0x0F, QByteArray("\x01\x00\x00\x10\x00\x10", 6));
    if (!colours.isEmpty())
        w += wpgColours(colourStart, colours);
    w += wpg1Rec(0x05, QByteArray(8, '\x01')); // a line, which the bitmap decoder passes by
    for (const WpgBitmapInput& s : bitmaps)
        w += wpg1Rec(s.type2 ? 0x14 : 0x0B, wpg1Bitmap(s));
    return w + wpg1Rec(0x10, {});
}

inline QByteArray wpg2BitmapData(const WpgBitmapInput& s)
{
    const int depthCode = s.depth == 4 ? 3 : s.depth == 8 ? 4 : s.depth == 24 ? 8 : s.depth;
    ByteWriter b;
    b.u16le(s.width).u16le(s.height).u8(depthCode).u8(s.compress ? 1 : 0);
    if (s.compress)
        b.bytes(wpgRuns(s, 2));
    for (int y = 0; y < s.height && !s.compress; ++y)
        b.bytes(wpgRow(s, y));
    return wpg2Rec(0x0E, b.data());
}

inline QByteArray encodeWpg2(const WpgBitmapInput& s, const QList<QRgb>& colours = {})
{
    QByteArray w = wpgHeader(2) + wpg2Rec(0x01, QByteArray(20, '\0'));
    if (!colours.isEmpty())
        w += wpgColours(0, colours, 2);
    return w + wpg2BitmapData(s) + wpg2Rec(0x02, {});
}

// Vector pictures of version 1: units of 1/1200 inch.
inline QByteArray wpg1File(int width, int height, const QList<QByteArray>& records)
{
    return wpgHeader(1) + wpg1Rec(0x0F, ByteWriter().u8(1).u8(0).u16le(width).u16le(height).data()) +
           records.join() + wpg1Rec(0x10, {});
}
inline QByteArray wpg1Fill(int style, int colour)
{
    return wpg1Rec(0x01, ByteWriter().u8(style).u8(colour).data());
}
inline QByteArray wpg1Line(int style, int colour, int width)
{
    return wpg1Rec(0x02, ByteWriter().u8(style).u8(colour).u16le(width).data());
}
inline QByteArray wpg1Words(int type, std::initializer_list<int> words)
{
    return wpg1Rec(type, u16s(words));
}
// Polyline (0x06), polygon (0x08) or curve (0x13); count overrides the stated number of points.
inline QByteArray wpg1Points(int type, const QList<QPoint>& points, int count = -1)
{
    ByteWriter b;
    if (type == 0x13)
        b.u32le(0);
    b.u16le(count < 0 ? int(points.size()) : count);
    for (QPoint p : points)
        b.u16le(p.x()).u16le(p.y());
    return wpg1Rec(type, b.data());
}
inline QByteArray wpg1Text(int x, int y, const QByteArray& text)
{
    return wpg1Rec(0x0C, ByteWriter().u16le(int(text.size())).u16le(x).u16le(y).bytes(text).data());
}
inline QByteArray wpg1TextAttributes(int height, int colour)
{
    ByteWriter b;
    b.u16le(height / 2).u16le(height).zeros(10).u16le(0x1150).u8(0).u8(0).u8(0).u8(colour);
    return wpg1Rec(0x0D, b.u16le(0).data());
}
// A bitmap record of type 2 placed at (x1, y1)-(x2, y2).
inline QByteArray wpg1PlacedBitmap(WpgBitmapInput s, int x1, int y1, int x2, int y2)
{
    s.type2 = false;
    return wpg1Rec(0x14, ByteWriter().u16le(0).bytes(u16s({x1, y1, x2, y2})).bytes(wpg1Bitmap(s)).data());
}

// Vector pictures of version 2: the extent in units per inch, 16-bit or 16.16 coordinates.
inline QByteArray wpg2File(int unitsPerInch, int width, int height, const QList<QByteArray>& records,
                           bool doublePrecision = false)
{
    ByteWriter start;
    start.u16le(unitsPerInch).u16le(unitsPerInch).u8(doublePrecision ? 1 : 0);
    for (int v : {0, 0, width, height, 0, 0, width, height})
        doublePrecision ? start.u32le(std::uint32_t(v) << 16) : start.u16le(v);
    return wpgHeader(2) + wpg2Rec(0x01, start.data()) + records.join() + wpg2Rec(0x02, {});
}
inline QByteArray wpg2Colour(int type, QRgb c, bool brush = false)
{
    ByteWriter b;
    if (brush)
        b.u8(0); // no gradient
    return wpg2Rec(type, b.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c)).u8(0).data());
}

inline constexpr int kWpg2Filled = 0x2000;
inline constexpr int kWpg2Closed = 0x4000;
inline constexpr int kWpg2Framed = 0x8000;
inline constexpr int kWpg2Translate = 0x02;

// An object record: flags (with an x, y translation when the flag asks), a count when
// count >= 0, then the coordinates.
inline QByteArray wpg2Object(int type, int flags, const QList<int>& coords, int count = -1,
                             bool doublePrecision = false, int tx = 0, int ty = 0)
{
    ByteWriter b;
    b.u16le(flags);
    if (flags & kWpg2Translate)
        b.u16le(0).u32le(std::uint32_t(tx)).u16le(0).u32le(std::uint32_t(ty));
    if (count >= 0)
        b.u16le(count);
    for (int v : coords)
        doublePrecision ? b.u32le(std::uint32_t(v) << 16) : b.u16le(v);
    return wpg2Rec(type, b.data());
}
// A text line at (x, y) with its horizontal alignment and baseline angle in degrees.
inline QByteArray wpg2TextLine(int x, int y, int align = 0, int angle = 0)
{
    return wpg2Rec(
        0x1C,
        ByteWriter().u32le(0).u16le(x).u16le(y).u8(align).u8(0).u32le(std::uint32_t(angle) << 16).data());
}
// A text block (0x1D) or text path (0x1E) over the box (x1, y1)-(x2, y2).
inline QByteArray wpg2TextBox(int x1, int y1, int x2, int y2, int type = 0x1D)
{
    return wpg2Object(type, 0, {x1, y1, x2, y2});
}
// The characters of the text before it, as WordPerfect 6 text.
inline QByteArray wpg2TextData(const QByteArray& text)
{
    return wpg2Rec(0x0F, text);
}
// A compound polygon head whose next `children` records are its parts.
inline QByteArray wpg2Compound(int flags, std::uint32_t children)
{
    return wpg2Rec(0x1A, u16s({flags}), int(children));
}
inline QByteArray wpg2BrushPattern(int pattern)
{
    return wpg2Rec(0x35, u16s({pattern}));
}
inline QByteArray wpg2PenSize(int width)
{
    return wpg2Rec(0x2B, u16s({width}));
}
// A bitmap record placed at (x1, y1)-(x2, y2) and its bitmap data record.
inline QByteArray wpg2PlacedBitmap(WpgBitmapInput s, int x1, int y1, int x2, int y2)
{
    s.compress = true;
    return wpg2Object(0x1B, 0, {x1, y1, x2, y2, 75, 75}) + wpg2BitmapData(s);
}

} // namespace mv::imaging::test
