// Test writer of IFF pictures: ILBM with 1 to 8 or 24 planes (mask plane, ByteRun1, CAMG
// modes) and Deluxe Paint's chunky PBM.
#pragma once

#include "../common/Bytes.h"

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
    QList<QRgb> colours = {};    // written as CMAP when not empty
    // The stored value of a pixel: bit p goes to plane p (for 24 planes: red in bits 0-7,
    // green in 8-15, blue in 16-23).
    std::function<std::uint32_t(int x, int y)> value;
};

inline void iffChunk(ByteWriter& w, const char* id, const QByteArray& body)
{
    w.bytes(QByteArray(id, 4)).u32be(std::uint32_t(body.size())).bytes(body);
    if (body.size() & 1)
        w.u8(0);
}

inline QByteArray encodeIff(const IffInput& s)
{
    ByteWriter body;
    const int planeBytes = s.chunky ? s.width + (s.width & 1) : (s.width + 15) / 16 * 2;
    const auto put = [&](const std::vector<std::uint8_t>& row) {
        if (s.compress)
            body.bytes(packBits(row));
        else
            body.bytes(row);
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
    ByteWriter header, chunks, cmap, camg;
    header.u16be(s.width).u16be(s.height).u16be(0).u16be(0).u8(s.planes).u8(s.mask ? 1 : 0);
    header.u8(s.compress ? 1 : 0);
    header.u8(0).u16be(0).u8(10).u8(11).u16be(s.width).u16be(s.height);
    iffChunk(chunks, "BMHD", header.data());
    iffChunk(chunks, "ANNO", QByteArray("odd"));
    for (QRgb c : s.colours)
        cmap.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    if (!s.colours.isEmpty())
        iffChunk(chunks, "CMAP", cmap.data());
    if (s.viewModes)
        iffChunk(chunks, "CAMG", camg.u32be(s.viewModes).data());
    iffChunk(chunks, "BODY", body.data());
    ByteWriter file;
    return file.bytes("FORM")
        .u32be(std::uint32_t(chunks.size() + 4))
        .bytes(s.chunky ? "PBM " : "ILBM")
        .bytes(chunks.data())
        .data();
}

} // namespace mv::imaging::test
