// A small Targa writer for the tests and the benchmark.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

namespace mv::imaging::test {

struct TargaOptions {
    int type = 2;        // 1 mapped, 2 true colour, 3 grey; +8 for RLE
    int depth = 24;
    int mapEntryBits = 24, mapFirst = 0;
    int alphaBits = 0;
    bool topDown = false, rightToLeft = false;
    bool rleAcrossRows = false;
    QByteArray id;
    bool footer = false;
};

inline void targaPixel(ByteWriter& w, QRgb c, int bits)
{
    if (bits == 15 || bits == 16) {
        const int v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3) | (qAlpha(c) >= 128 ? 0x8000 : 0);
        w.u16le(v);
        return;
    }
    w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
    if (bits == 32)
        w.u8(qAlpha(c));
}

// Packs pixels (each `bytes` long, back to back) into run and raw packets.
inline QByteArray targaRle(const QByteArray& raw, int bytes)
{
    QByteArray out;
    const qsizetype count = raw.size() / bytes;
    auto same = [&](qsizetype a, qsizetype b) { return raw.mid(a * bytes, bytes) == raw.mid(b * bytes, bytes); };
    for (qsizetype i = 0; i < count;) {
        qsizetype n = 1;
        while (i + n < count && n < 128 && same(i, i + n))
            ++n;
        if (n > 1) {
            out.append(char(0x80 | (n - 1))).append(raw.mid(i * bytes, bytes));
        } else {
            while (i + n < count && n < 128 && !same(i + n - 1, i + n))
                ++n;
            out.append(char(n - 1)).append(raw.mid(i * bytes, n * bytes));
        }
        i += n;
    }
    return out;
}

// Mapped and grey files take `indexed` (grey: the index is the level); true colour `rgb`.
inline QByteArray encodeTarga(const TargaOptions& o, const IndexedPicture* indexed, const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const bool mapped = (o.type & 7) == 1;
    const int mapLength = mapped ? int(indexed->palette.size()) : 0;
    ByteWriter w;
    w.u8(int(o.id.size())).u8(mapped ? 1 : 0).u8(o.type).u16le(o.mapFirst).u16le(mapLength).u8(mapped ? o.mapEntryBits : 0);
    w.u16le(0).u16le(0).u16le(width).u16le(height).u8(o.depth);
    w.u8(o.alphaBits | (o.rightToLeft ? 0x10 : 0) | (o.topDown ? 0x20 : 0)).bytes(o.id);
    for (int i = 0; i < mapLength; ++i)
        targaPixel(w, indexed->palette[i], o.mapEntryBits);
    const int bytes = (o.depth + 7) / 8;
    QByteArray all;
    for (int row = 0; row < height; ++row) {
        const int y = o.topDown ? row : height - 1 - row;
        ByteWriter line;
        for (int i = 0; i < width; ++i) {
            const int x = o.rightToLeft ? width - 1 - i : i;
            if (indexed)
                line.u8(indexed->at(x, y) + (mapped ? o.mapFirst : 0));
            else if ((o.type & 7) == 3)
                line.u8(qRed(rgb->at(x, y))).u8(qAlpha(rgb->at(x, y)));
            else
                targaPixel(line, rgb->at(x, y), o.depth);
        }
        all += (o.type >= 9 && !o.rleAcrossRows) ? targaRle(line.data(), bytes) : line.data();
    }
    w.bytes(o.type >= 9 && o.rleAcrossRows ? targaRle(all, bytes) : all);
    if (o.footer)
        w.u32le(0).u32le(0).bytes(QByteArray("TRUEVISION-XFILE.", 17)).u8(0);
    return w.data();
}

} // namespace mv::imaging::test
