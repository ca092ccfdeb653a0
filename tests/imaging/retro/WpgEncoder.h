// Test encoder of WordPerfect graphics: version 1 bitmaps (types 1 and 2) with colour maps and
// the version 1 run codes, version 2 bitmap data records, raw or with the version 2 run codes.
#pragma once

#include "ByteWriter.h"

#include <QList>
#include <QRgb>

#include <functional>

namespace mv::imaging::test {

struct WpgBitmapInput {
    int width = 0;
    int height = 0;
    int depth = 1; // 1, 2, 4, 8 (24 in version 2)
    bool type2 = false;   // version 1: bitmap record 0x14 instead of 0x0B
    bool compress = true; // version 2: run codes instead of raw rows
    std::function<std::uint32_t(int x, int y)> value; // index, or 0xRRGGBB for 24 bits
};

inline void wpgLength(ByteWriter& w, std::uint32_t n)
{
    if (n < 0xFF) {
        w.u8(int(n));
    } else if (n < 0x8000) {
        w.u8(0xFF);
        w.u16le(int(n));
    } else {
        w.u8(0xFF);
        w.u16le(int(0x8000 | (n >> 16)));
        w.u16le(int(n & 0xFFFF));
    }
}

inline void wpgHeader(ByteWriter& w, int version)
{
    w.u8(0xFF);
    w.bytes.append("WPC");
    w.u32le(16);
    w.u8(1);
    w.u8(0x16);
    w.u8(version);
    w.u8(0);
    w.u16le(0);
    w.u16le(0);
}

inline void wpg1Record(ByteWriter& w, int type, const QByteArray& body)
{
    w.u8(type);
    wpgLength(w, std::uint32_t(body.size()));
    w.append(body);
}

inline void wpg2Record(ByteWriter& w, int type, const QByteArray& body)
{
    w.u8(0x0A); // class
    w.u8(type);
    wpgLength(w, 0);
    wpgLength(w, std::uint32_t(body.size()));
    w.append(body);
}

inline std::vector<std::uint8_t> wpgRow(const WpgBitmapInput& s, int y)
{
    const int rowBytes = (s.width * s.depth + 7) / 8;
    std::vector<std::uint8_t> row(size_t(rowBytes), 0);
    for (int x = 0; x < s.width; ++x) {
        const std::uint32_t v = s.value(x, y);
        if (s.depth == 24) {
            row[size_t(3 * x)] = std::uint8_t(v >> 16);
            row[size_t(3 * x + 1)] = std::uint8_t(v >> 8);
            row[size_t(3 * x + 2)] = std::uint8_t(v);
            continue;
        }
        const int bitPos = x * s.depth;
        row[size_t(bitPos / 8)] |= std::uint8_t(v << (8 - s.depth - bitPos % 8));
    }
    return row;
}

inline std::vector<std::vector<std::uint8_t>> wpgRows(const WpgBitmapInput& s)
{
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 0; y < s.height; ++y)
        rows.push_back(wpgRow(s, y));
    return rows;
}

// Version 1 run codes; identical rows become row repeats.
inline QByteArray wpg1Runs(const WpgBitmapInput& s)
{
    ByteWriter w;
    const std::vector<std::vector<std::uint8_t>> rows = wpgRows(s);
    for (int y = 0; y < s.height;) {
        const std::vector<std::uint8_t>& row = rows[size_t(y)];
        int same = 0;
        while (y + 1 + same < s.height && same < 255 && rows[size_t(y + 1 + same)] == row)
            ++same;
        size_t i = 0;
        while (i < row.size()) {
            size_t run = 1;
            while (i + run < row.size() && run < 127 && row[i + run] == row[i])
                ++run;
            if (run >= 3 && row[i] == 0xFF) {
                w.u8(0x80);
                w.u8(int(run));
                i += run;
            } else if (run >= 3) {
                w.u8(0x80 | int(run));
                w.u8(row[i]);
                i += run;
            } else {
                const size_t n = std::min<size_t>(run, 127);
                w.u8(int(n));
                for (size_t k = 0; k < n; ++k)
                    w.u8(row[i + k]);
                i += n;
            }
        }
        if (same > 0) {
            w.u8(0);
            w.u8(same);
        }
        y += 1 + same;
    }
    return w.bytes;
}

// Version 2 run codes with samples of one byte, or of three for 24 bits.
inline QByteArray wpg2Runs(const WpgBitmapInput& s)
{
    ByteWriter w;
    const size_t sample = s.depth == 24 ? 3 : 1;
    if (sample == 3) {
        w.u8(0x7D);
        w.u8(3);
    }
    const std::vector<std::vector<std::uint8_t>> rows = wpgRows(s);
    for (int y = 0; y < s.height;) {
        const std::vector<std::uint8_t>& row = rows[size_t(y)];
        int same = 0;
        while (y + 1 + same < s.height && same < 256 && rows[size_t(y + 1 + same)] == row)
            ++same;
        size_t i = 0;
        const auto equalAt = [&](size_t a, size_t b) {
            return std::equal(row.begin() + long(a), row.begin() + long(a + sample), row.begin() + long(b));
        };
        while (i < row.size()) {
            size_t run = 1;
            while (i + (run + 1) * sample <= row.size() && run < 125 && equalAt(i, i + run * sample))
                ++run;
            const bool allFF = std::all_of(row.begin() + long(i), row.begin() + long(i + sample),
                                           [](std::uint8_t b) { return b == 0xFF; });
            if (run >= 2 && allFF) {
                w.u8(0xFF);
                w.u8(int(run - 1));
            } else if (run >= 2) {
                w.u8(0x80 | int(run - 1));
                for (size_t k = 0; k < sample; ++k)
                    w.u8(row[i + k]);
            } else {
                w.u8(0);
                for (size_t k = 0; k < sample; ++k)
                    w.u8(row[i + k]);
            }
            i += run * sample;
        }
        if (same > 0) {
            w.u8(0xFE);
            w.u8(same - 1);
        }
        y += 1 + same;
    }
    return w.bytes;
}

inline QByteArray wpg1Bitmap(const WpgBitmapInput& s)
{
    ByteWriter body;
    if (s.type2)
        for (int i = 0; i < 5; ++i)
            body.u16le(i == 3 ? s.width : i == 4 ? s.height : 0);
    body.u16le(s.width);
    body.u16le(s.height);
    body.u16le(s.depth);
    body.u16le(75);
    body.u16le(75);
    body.append(wpg1Runs(s));
    return body.bytes;
}

inline QByteArray encodeWpg1(const QList<WpgBitmapInput>& bitmaps, const QList<QRgb>& colours = {},
                             int colourStart = 0)
{
    ByteWriter w;
    wpgHeader(w, 1);
    wpg1Record(w, 0x0F, QByteArray("\x01\x00\x00\x10\x00\x10", 6));
    if (!colours.isEmpty()) {
        ByteWriter map;
        map.u16le(colourStart);
        map.u16le(int(colours.size()));
        for (QRgb c : colours) {
            map.u8(qRed(c));
            map.u8(qGreen(c));
            map.u8(qBlue(c));
        }
        wpg1Record(w, 0x0E, map.bytes);
    }
    wpg1Record(w, 0x05, QByteArray(8, '\x01')); // a line, which the bitmap decoder passes by
    for (const WpgBitmapInput& s : bitmaps)
        wpg1Record(w, s.type2 ? 0x14 : 0x0B, wpg1Bitmap(s));
    wpg1Record(w, 0x10, {});
    return w.bytes;
}

inline QByteArray encodeWpg2(const WpgBitmapInput& s, const QList<QRgb>& colours = {})
{
    ByteWriter w;
    wpgHeader(w, 2);
    wpg2Record(w, 0x01, QByteArray(20, '\0'));
    if (!colours.isEmpty()) {
        ByteWriter map;
        map.u16le(0);
        map.u16le(int(colours.size()));
        for (QRgb c : colours) {
            map.u8(qRed(c));
            map.u8(qGreen(c));
            map.u8(qBlue(c));
            map.u8(0);
        }
        wpg2Record(w, 0x0C, map.bytes);
    }
    ByteWriter bitmap;
    bitmap.u16le(s.width);
    bitmap.u16le(s.height);
    bitmap.u8(s.depth == 4 ? 3 : s.depth == 8 ? 4 : s.depth == 24 ? 8 : s.depth);
    bitmap.u8(s.compress ? 1 : 0);
    if (s.compress) {
        bitmap.append(wpg2Runs(s));
    } else {
        for (int y = 0; y < s.height; ++y)
            bitmap.append(wpgRow(s, y));
    }
    wpg2Record(w, 0x0E, bitmap.bytes);
    wpg2Record(w, 0x02, {});
    return w.bytes;
}

} // namespace mv::imaging::test
