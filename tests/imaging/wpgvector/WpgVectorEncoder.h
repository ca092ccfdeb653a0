// Test encoder of WordPerfect graphics vector records, version 1 and 2, on top of the bitmap
// encoder: each function gives one record; wpg1File / wpg2File wrap records in header, start
// and end records.
#pragma once

#include "../retro/WpgEncoder.h"

#include <QList>
#include <QPoint>
#include <QRgb>

namespace mv::imaging::test {

inline QByteArray wpg1Rec(int type, const QByteArray& body)
{
    ByteWriter w;
    wpg1Record(w, type, body);
    return w.bytes;
}

inline QByteArray wpg1File(int width, int height, const QList<QByteArray>& records)
{
    ByteWriter w;
    wpgHeader(w, 1);
    ByteWriter start;
    start.u8(1);
    start.u8(0);
    start.u16le(width);
    start.u16le(height);
    wpg1Record(w, 0x0F, start.bytes);
    for (const QByteArray& r : records)
        w.append(r);
    wpg1Record(w, 0x10, {});
    return w.bytes;
}

inline QByteArray wpg1Colours(int start, const QList<QRgb>& colours)
{
    ByteWriter b;
    b.u16le(start);
    b.u16le(int(colours.size()));
    for (QRgb c : colours) {
        b.u8(qRed(c));
        b.u8(qGreen(c));
        b.u8(qBlue(c));
    }
    return wpg1Rec(0x0E, b.bytes);
}

inline QByteArray wpg1Fill(int style, int colour)
{
    ByteWriter b;
    b.u8(style);
    b.u8(colour);
    return wpg1Rec(0x01, b.bytes);
}

inline QByteArray wpg1Line(int style, int colour, int width)
{
    ByteWriter b;
    b.u8(style);
    b.u8(colour);
    b.u16le(width);
    return wpg1Rec(0x02, b.bytes);
}

inline QByteArray wpg1Words(int type, const QList<int>& words)
{
    ByteWriter b;
    for (int v : words)
        b.u16le(v);
    return wpg1Rec(type, b.bytes);
}

// Polyline (0x06) or polygon (0x08); count overrides the stated number of points.
inline QByteArray wpg1Points(int type, const QList<QPoint>& points, int count = -1)
{
    ByteWriter b;
    if (type == 0x13)
        b.u32le(0);
    b.u16le(count < 0 ? int(points.size()) : count);
    for (QPoint p : points) {
        b.u16le(p.x());
        b.u16le(p.y());
    }
    return wpg1Rec(type, b.bytes);
}

inline QByteArray wpg1Text(int x, int y, const QByteArray& text)
{
    ByteWriter b;
    b.u16le(int(text.size()));
    b.u16le(x);
    b.u16le(y);
    b.append(text);
    return wpg1Rec(0x0C, b.bytes);
}

inline QByteArray wpg1TextAttributes(int height, int colour)
{
    ByteWriter b;
    b.u16le(height / 2);
    b.u16le(height);
    b.append(QByteArray(10, '\0'));
    b.u16le(0x1150);
    b.u8(0);
    b.u8(0); // left
    b.u8(0);
    b.u8(colour);
    b.u16le(0);
    return wpg1Rec(0x0D, b.bytes);
}

// A bitmap record of type 2 placed at (x1, y1)-(x2, y2).
inline QByteArray wpg1PlacedBitmap(WpgBitmapInput s, int x1, int y1, int x2, int y2)
{
    s.type2 = false;
    ByteWriter b;
    for (int v : { 0, x1, y1, x2, y2 })
        b.u16le(v);
    b.append(wpg1Bitmap(s));
    return wpg1Rec(0x14, b.bytes);
}

inline QByteArray wpg2Rec(int type, const QByteArray& body, int extension = 0)
{
    ByteWriter w;
    w.u8(0x0A);
    w.u8(type);
    wpgLength(w, std::uint32_t(extension));
    wpgLength(w, std::uint32_t(body.size()));
    w.append(body);
    return w.bytes;
}

inline QByteArray wpg2File(int unitsPerInch, int width, int height, const QList<QByteArray>& records,
                           bool doublePrecision = false)
{
    ByteWriter w;
    wpgHeader(w, 2);
    ByteWriter start;
    start.u16le(unitsPerInch);
    start.u16le(unitsPerInch);
    start.u8(doublePrecision ? 1 : 0);
    for (int v : { 0, 0, width, height, 0, 0, width, height }) {
        if (doublePrecision)
            start.u32le(std::uint32_t(v) << 16);
        else
            start.u16le(v);
    }
    w.append(wpg2Rec(0x01, start.bytes));
    for (const QByteArray& r : records)
        w.append(r);
    w.append(wpg2Rec(0x02, {}));
    return w.bytes;
}

inline QByteArray wpg2Colour(int type, QRgb c, bool brush = false)
{
    ByteWriter b;
    if (brush)
        b.u8(0); // no gradient
    b.u8(qRed(c));
    b.u8(qGreen(c));
    b.u8(qBlue(c));
    b.u8(0);
    return wpg2Rec(type, b.bytes);
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
    if (flags & kWpg2Translate) {
        b.u16le(0);
        b.u32le(std::uint32_t(tx));
        b.u16le(0);
        b.u32le(std::uint32_t(ty));
    }
    if (count >= 0)
        b.u16le(count);
    for (int v : coords) {
        if (doublePrecision)
            b.u32le(std::uint32_t(v) << 16);
        else
            b.u16le(v);
    }
    return wpg2Rec(type, b.bytes);
}

// A text line at (x, y) with its horizontal alignment and baseline angle in degrees.
inline QByteArray wpg2TextLine(int x, int y, int align = 0, int angle = 0)
{
    ByteWriter b;
    b.u16le(0); // object flags
    b.u16le(0); // text flags
    b.u16le(x);
    b.u16le(y);
    b.u8(align);
    b.u8(0);
    b.u32le(std::uint32_t(angle) << 16);
    return wpg2Rec(0x1C, b.bytes);
}

// A text block (0x1D) or text path (0x1E) over the box (x1, y1)-(x2, y2).
inline QByteArray wpg2TextBox(int x1, int y1, int x2, int y2, int type = 0x1D)
{
    return wpg2Object(type, 0, { x1, y1, x2, y2 });
}

// The characters of the text before it, as WordPerfect 6 text.
inline QByteArray wpg2TextData(const QByteArray& text)
{
    return wpg2Rec(0x0F, text);
}

// A compound polygon head whose next `children` records are its parts.
inline QByteArray wpg2Compound(int flags, std::uint32_t children)
{
    ByteWriter b;
    b.u16le(flags);
    return wpg2Rec(0x1A, b.bytes, int(children));
}

inline QByteArray wpg2BrushPattern(int pattern)
{
    ByteWriter b;
    b.u16le(pattern);
    return wpg2Rec(0x35, b.bytes);
}

// A bitmap record placed at (x1, y1)-(x2, y2) and its bitmap data record.
inline QByteArray wpg2PlacedBitmap(const WpgBitmapInput& s, int x1, int y1, int x2, int y2)
{
    QByteArray out = wpg2Object(0x1B, 0, { x1, y1, x2, y2, 75, 75 });
    ByteWriter bitmap;
    bitmap.u16le(s.width);
    bitmap.u16le(s.height);
    bitmap.u8(s.depth == 4 ? 3 : s.depth == 8 ? 4 : s.depth == 24 ? 8 : s.depth);
    bitmap.u8(1);
    bitmap.append(wpg2Runs(s));
    return out + wpg2Rec(0x0E, bitmap.bytes);
}

} // namespace mv::imaging::test
