// A small GEM IMG writer for the tests and the benchmark: solid runs, pattern runs, bit
// strings and vertical replication of equal lines.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

namespace mv::imaging::test {

struct GemOptions {
    int planes = 1;
    int patternLength = 2;
    bool ximg = false; // palette in the header
};

inline QByteArray gemLine(const QByteArray& raw, int patternLength)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        const char v = raw[i];
        qsizetype n = 1;
        while (i + n < raw.size() && n < 127 && raw[i + n] == v)
            ++n;
        if ((v == 0 || v == char(0xFF)) && n >= 2) {
            out.append(char((v ? 0x80 : 0) | n));
            i += n;
            continue;
        }
        const QByteArray pattern = raw.mid(i, patternLength);
        qsizetype reps = 1;
        while (pattern.size() == patternLength && reps < 255 && raw.mid(i + reps * patternLength, patternLength) == pattern)
            ++reps;
        if (reps >= 2) {
            out.append('\0').append(char(reps)).append(pattern);
            i += reps * patternLength;
            continue;
        }
        const qsizetype k = std::min<qsizetype>(raw.size() - i, 3);
        out.append(char(0x80)).append(char(k)).append(raw.mid(i, k));
        i += k;
    }
    return out;
}

inline QByteArray gemRawLine(const IndexedPicture& p, int y, int planes)
{
    const int planeBytes = (p.width + 7) / 8;
    QByteArray raw(planeBytes * planes, '\0');
    for (int plane = 0; plane < planes; ++plane)
        for (int x = 0; x < p.width; ++x)
            if ((p.at(x, y) >> plane) & 1)
                raw[plane * planeBytes + x / 8] = char(raw[plane * planeBytes + x / 8] | (0x80 >> (x % 8)));
    return raw;
}

inline QByteArray encodeGemImg(const GemOptions& o, const IndexedPicture& p)
{
    const int colours = 1 << o.planes;
    ByteWriter w;
    w.u16be(1).u16be(o.ximg ? 11 + 3 * colours : 8).u16be(o.planes).u16be(o.patternLength);
    w.u16be(85).u16be(85).u16be(p.width).u16be(p.height);
    if (o.ximg) {
        w.bytes("XIMG").u16be(0);
        for (int i = 0; i < colours; ++i) {
            const QRgb c = i < p.palette.size() ? p.palette[i] : 0;
            w.u16be(qRed(c) * 1000 / 255).u16be(qGreen(c) * 1000 / 255).u16be(qBlue(c) * 1000 / 255);
        }
    }
    for (int y = 0; y < p.height;) {
        const QByteArray raw = gemRawLine(p, y, o.planes);
        int same = 1;
        while (y + same < p.height && same < 255 && gemRawLine(p, y + same, o.planes) == raw)
            ++same;
        if (same > 1)
            w.u8(0).u8(0).u8(0xFF).u8(same);
        w.bytes(gemLine(raw, o.patternLength));
        y += same;
    }
    return w.data();
}

} // namespace mv::imaging::test
