#include "TestPictures.h"

#include "../pc/Encoders.h"

#include <iterator>

namespace mv::imaging::test {

namespace {

// A BMP file: the file header, then a bare DIB whose pixels follow its colour table.
QByteArray bmpFile(const QByteArray& dib, int headerSize, int tableBytes)
{
    ByteWriter b;
    b.bytes("BM").u32le(std::uint32_t(14 + dib.size())).u32le(0);
    return b.u32le(std::uint32_t(14 + headerSize + tableBytes)).bytes(dib).data();
}

IndexedPicture indexedOf(const QImage& indexed)
{
    IndexedPicture p {indexed.width(), indexed.height(), {}, indexed.colorTable()};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.index.push_back(std::uint8_t(indexed.pixelIndex(x, y)));
    return p;
}

} // namespace

QByteArray writeGif(const QImage& indexed)
{
    ByteWriter b;
    b.bytes("GIF87a").u16le(indexed.width()).u16le(indexed.height()).u8(0x80 | (3 << 4) | 3).u8(0).u8(0);
    for (int i = 0; i < 16; ++i) // a 16-entry table
        rgbTriple(b, i < indexed.colorCount() ? indexed.color(i) : 0);
    // No local table; LZW minimum code size 4.
    b.u8(',').u16le(0).u16le(0).u16le(indexed.width()).u16le(indexed.height()).u8(0).u8(4);
    // Codes stay 5 bits wide: a clear code (16) before every two literals keeps the table small.
    // They are packed LSB first.
    QByteArray codes;
    quint32 acc = 0;
    int bits = 0, sinceClear = 2;
    const auto put = [&](int code) {
        acc |= quint32(code) << bits;
        for (bits += 5; bits >= 8; bits -= 8, acc >>= 8)
            codes.append(char(acc & 0xFF));
    };
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x, ++sinceClear) {
            if (sinceClear == 2)
                put(16), sinceClear = 0;
            put(indexed.pixelIndex(x, y));
        }
    put(17);
    if (bits > 0)
        codes.append(char(acc & 0xFF));
    for (qsizetype i = 0; i < codes.size(); i += 255)
        b.u8(int(codes.mid(i, 255).size())).bytes(codes.mid(i, 255));
    return b.u8(0).u8(';').data();
}

QByteArray writeTiff(const QImage& image, bool packBitsStrip, bool bigEndian)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    ByteWriter strip;
    for (int y = 0; y < rgb.height(); ++y) {
        const std::vector<std::uint8_t> row(rgb.constScanLine(y), rgb.constScanLine(y) + rgb.width() * 3);
        packBitsStrip ? strip.bytes(packBits(row)) : strip.bytes(row);
    }
    // The header, ten entries at 8, the three bits-per-sample words, then the one strip.
    const std::uint32_t bitsAt = 8 + 2 + 10 * 12 + 4, stripAt = bitsAt + 6;
    const std::uint32_t width = std::uint32_t(image.width()), height = std::uint32_t(image.height());
    ByteWriter w;
    w.bytes(bigEndian ? "MM" : "II").u16(42, bigEndian).u32(8, bigEndian).u16(10, bigEndian);
    // Tag, type, count, value: width, height, bits per sample, compression, RGB, strip offset,
    // samples per pixel, rows per strip, strip size, one plane.
    const std::uint32_t entries[] = {256, 4, 1, width,
                                     257, 4, 1, height,
                                     258, 3, 3, bitsAt,
                                     259, 3, 1, packBitsStrip ? 32773u : 1u,
                                     262, 3, 1, 2,
                                     273, 4, 1, stripAt,
                                     277, 3, 1, 3,
                                     278, 4, 1, height,
                                     279, 4, 1, std::uint32_t(strip.size()),
                                     284, 3, 1, 1};
    for (size_t i = 0; i < std::size(entries); i += 4) {
        const std::uint32_t type = entries[i + 1], count = entries[i + 2];
        w.u16(int(entries[i]), bigEndian).u16(int(type), bigEndian).u32(count, bigEndian);
        if (type == 3 && count == 1)
            w.u16(int(entries[i + 3]), bigEndian).u16(0, bigEndian);
        else
            w.u32(entries[i + 3], bigEndian);
    }
    w.u32(0, bigEndian).u16(8, bigEndian).u16(8, bigEndian).u16(8, bigEndian);
    return w.bytes(strip.data()).data();
}

QByteArray writeRle8Bmp(const QImage& indexed)
{
    const IndexedPicture p = indexedOf(indexed);
    return bmpFile(encodeDib({.compression = 1}, &p), 40, 256 * 4);
}

QByteArray writeOs2Bmp(const QImage& image)
{
    RgbPicture p {image.width(), image.height(), {}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels.push_back(image.pixel(x, y));
    return bmpFile(encodeDib({.headerSize = 12, .bits = 24}, nullptr, &p), 12, 0);
}

} // namespace mv::imaging::test
