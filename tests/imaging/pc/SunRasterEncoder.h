// A small Sun Raster writer for the tests and the benchmark.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

namespace mv::imaging::test {

struct SunOptions {
    int depth = 8;
    int type = 1; // 0 old, 1 standard, 2 byte-encoded, 3 RGB
    bool colourMap = true;
};

inline QByteArray sunRle(const QByteArray& raw)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype n = 1;
        while (i + n < raw.size() && n < 256 && raw[i + n] == raw[i])
            ++n;
        const auto v = std::uint8_t(raw[i]);
        if (n >= 3 || (v == 0x80 && n >= 2)) {
            out.append(char(0x80)).append(char(n - 1)).append(char(v));
        } else {
            n = 1;
            out.append(char(v));
            if (v == 0x80)
                out.append('\0');
        }
        i += n;
    }
    return out;
}

inline QByteArray encodeSun(const SunOptions& o, const IndexedPicture* indexed, const RgbPicture* rgb = nullptr)
{
    const int width = indexed ? indexed->width : rgb->width, height = indexed ? indexed->height : rgb->height;
    const int rowBytes = ((width * o.depth + 15) / 16) * 2;
    QByteArray pixels;
    for (int y = 0; y < height; ++y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            if (o.depth == 1) {
                row[x / 8] = char(row[x / 8] | (indexed->at(x, y) << (7 - x % 8)));
            } else if (o.depth == 8) {
                row[x] = char(indexed->at(x, y));
            } else {
                const QRgb c = rgb->at(x, y);
                const int step = o.depth / 8, at = x * step + (o.depth == 32 ? 1 : 0);
                const bool order = o.type == 3;
                row[at] = char(order ? qRed(c) : qBlue(c));
                row[at + 1] = char(qGreen(c));
                row[at + 2] = char(order ? qBlue(c) : qRed(c));
            }
        }
        pixels += row;
    }
    if (o.type == 2)
        pixels = sunRle(pixels);
    const bool map = o.colourMap && indexed;
    const int entries = map ? int(indexed->palette.size()) : 0;
    ByteWriter w;
    w.u32be(0x59a66a95).u32be(width).u32be(height).u32be(o.depth);
    w.u32be(o.type == 0 ? 0 : std::uint32_t(pixels.size())).u32be(o.type).u32be(map ? 1 : 0).u32be(entries * 3);
    for (int channel = 16; channel >= 0; channel -= 8)
        for (int i = 0; i < entries; ++i)
            w.u8(int(indexed->palette[i] >> channel) & 255);
    return w.bytes(pixels).data();
}

} // namespace mv::imaging::test
