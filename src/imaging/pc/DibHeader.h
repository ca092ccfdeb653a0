// The header of a bare device-independent bitmap: BITMAPCOREHEADER (12 bytes), OS/2 2.x
// (16 to 64 bytes), BITMAPINFOHEADER (40) and its V2/V3/V4/V5 forms (52, 56, 108, 124).
// Compression codes are mapped to the Windows ones; OS/2's Huffman and RLE24 are refused.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QRgb>
#include <QString>

#include <cstdint>

namespace mv::imaging {

enum DibCompression : std::uint32_t {
    kDibRgb = 0,
    kDibRle8 = 1,
    kDibRle4 = 2,
    kDibBitfields = 3
};

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0, height = 0; // height > 0 when the rows are stored bottom-up
    int planes = 0, bits = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha
    bool useAlpha = false;
    QList<QRgb> colours;      // as stored, not padded
    qsizetype bitsOffset = 0; // where the pixels start

    [[nodiscard]] bool bottomUp() const { return height > 0; }
    [[nodiscard]] std::int64_t rows() const { return height < 0 ? -height : height; }
    [[nodiscard]] std::int64_t stride() const { return ((width * bits + 31) / 32) * 4; }
};

// Parses and validates the header; the reason in plain words when the file is not usable.
QString readDibHeader(QByteArrayView data, DibHeader* out);

} // namespace mv::imaging
