// Test encoder of IFF pictures: ILBM with 1 to 8 or 24 planes (mask plane, ByteRun1, CAMG
// modes) and Deluxe Paint's chunky PBM.
#pragma once

#include "ByteWriter.h"
#include "PackBitsEncoder.h"

#include <QList>
#include <QRgb>

#include <functional>

namespace mv::imaging::test {

struct IffInput {
    int width = 0;
    int height = 0;
    int planes = 0;
    bool chunky = false;
    bool compress = false;
    bool mask = false;
    std::uint32_t viewModes = 0; // written as CAMG when not 0
    QList<QRgb> colours;          // written as CMAP when not empty
    // The stored value of a pixel: bit p goes to plane p (for 24 planes: red in bits 0-7,
    // green in 8-15, blue in 16-23).
    std::function<std::uint32_t(int x, int y)> value;
};

inline void iffChunk(ByteWriter& w, const char* id, const QByteArray& body)
{
    w.bytes.append(id, 4);
    w.u32be(std::uint32_t(body.size()));
    w.append(body);
    if (body.size() & 1)
        w.u8(0);
}

inline QByteArray iffBody(const IffInput& s)
{
    QByteArray body;
    const int planeBytes = s.chunky ? s.width + (s.width & 1) : (s.width + 15) / 16 * 2;
    const auto put = [&](const std::vector<std::uint8_t>& row) {
        body.append(s.compress ? packBits(row)
                               : QByteArray(reinterpret_cast<const char*>(row.data()), qsizetype(row.size())));
    };
    for (int y = 0; y < s.height; ++y) {
        if (s.chunky) {
            std::vector<std::uint8_t> row(size_t(planeBytes), 0);
            for (int x = 0; x < s.width; ++x)
                row[size_t(x)] = std::uint8_t(s.value(x, y));
            put(row);
            continue;
        }
        for (int p = 0; p < s.planes; ++p)
            put(packRowBits(s.width, planeBytes, [&](int x) { return (s.value(x, y) >> p) & 1; }));
        if (s.mask)
            put(packRowBits(s.width, planeBytes, [](int x) { return x % 3 == 0; }));
    }
    return body;
}

inline QByteArray encodeIff(const IffInput& s)
{
    ByteWriter header;
    header.u16be(s.width);
    header.u16be(s.height);
    header.u16be(0);
    header.u16be(0);
    header.u8(s.planes);
    header.u8(s.mask ? 1 : 0);
    header.u8(s.compress ? 1 : 0);
    header.u8(0);
    header.u16be(0);
    header.u8(10);
    header.u8(11);
    header.u16be(s.width);
    header.u16be(s.height);

    ByteWriter chunks;
    iffChunk(chunks, "BMHD", header.bytes);
    iffChunk(chunks, "ANNO", QByteArray("odd"));
    if (!s.colours.isEmpty()) {
        ByteWriter cmap;
        for (QRgb c : s.colours) {
            cmap.u8(qRed(c));
            cmap.u8(qGreen(c));
            cmap.u8(qBlue(c));
        }
        iffChunk(chunks, "CMAP", cmap.bytes);
    }
    if (s.viewModes) {
        ByteWriter camg;
        camg.u32be(s.viewModes);
        iffChunk(chunks, "CAMG", camg.bytes);
    }
    iffChunk(chunks, "BODY", iffBody(s));

    ByteWriter file;
    file.bytes.append("FORM");
    file.u32be(std::uint32_t(chunks.bytes.size() + 4));
    file.bytes.append(s.chunky ? "PBM " : "ILBM");
    file.append(chunks.bytes);
    return file.bytes;
}

} // namespace mv::imaging::test
