// A small Microsoft Paint writer (versions 1 and 2) for the tests and the benchmark.
#pragma once

#include "ByteWriter.h"
#include "TestPictures.h"

namespace mv::imaging::test {

// Rows of (width + 7) / 8 bytes, set bits where the index is 1 (white).
inline QByteArray packedRow(const IndexedPicture& p, int y, bool setIsOne = true)
{
    QByteArray row((p.width + 7) / 8, setIsOne ? '\0' : char(0xFF));
    for (int x = 0; x < p.width; ++x)
        if ((p.at(x, y) & 1) == (setIsOne ? 1 : 0))
            row[x / 8] = char(row[x / 8] ^ (0x80 >> (x % 8)));
    return row;
}

inline QByteArray mspRow(const QByteArray& row)
{
    QByteArray out;
    for (qsizetype i = 0; i < row.size();) {
        qsizetype n = 1;
        while (i + n < row.size() && n < 255 && row[i + n] == row[i])
            ++n;
        if (n >= 3) {
            out.append('\0').append(char(n)).append(row[i]);
        } else {
            n = 1;
            while (i + n < row.size() && n < 255 && (i + n + 2 >= row.size() || row[i + n] != row[i + n + 1]))
                ++n;
            out.append(char(n)).append(row.mid(i, n));
        }
        i += n;
    }
    return out;
}

inline QByteArray encodeMsp(int version, const IndexedPicture& p)
{
    ByteWriter w;
    w.bytes(version == 1 ? "DanM" : "LinS").u16le(p.width).u16le(p.height);
    w.u16le(p.width).u16le(p.height).u16le(p.width).u16le(p.height).u16le(0).u16le(0);
    w.u16le(0).u16le(0).u16le(0).zeros(6);
    QByteArray rows, lengths;
    for (int y = 0; y < p.height; ++y) {
        const QByteArray row = version == 1 ? packedRow(p, y) : mspRow(packedRow(p, y));
        lengths.append(char(row.size() & 255)).append(char(row.size() >> 8));
        rows += row;
    }
    return w.bytes(version == 2 ? lengths : QByteArray()).bytes(rows).data();
}

} // namespace mv::imaging::test
