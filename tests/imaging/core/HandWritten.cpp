#include "HandWritten.h"

#include "../pc/Encoders.h"

#include <QBuffer>
#include <QDataStream>

#include <zlib.h>

namespace mv::imaging::test {

namespace {

// LSB-first bit packing of GIF codes.
struct BitWriter {
    QByteArray bytes;
    quint32 acc = 0;
    int bits = 0;
    void put(int code, int size)
    {
        acc |= quint32(code) << bits;
        bits += size;
        while (bits >= 8) {
            bytes.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    void flush()
    {
        if (bits > 0)
            bytes.append(char(acc & 0xFF));
        acc = 0;
        bits = 0;
    }
};

QByteArray rgbRows(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray out;
    for (int y = 0; y < rgb.height(); ++y)
        out.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return out;
}

// PackBits, row by row.
QByteArray packBitsRows(const QByteArray& raw, int rowBytes)
{
    QByteArray out;
    for (qsizetype row = 0; row < raw.size(); row += rowBytes)
        out += packBits(std::vector<std::uint8_t>(raw.begin() + row, raw.begin() + row + rowBytes));
    return out;
}

QByteArray deflate(const QByteArray& raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              uLong(raw.size()), 6);
    out.resize(qsizetype(size));
    return out;
}

} // namespace

QByteArray writeGif(const QImage& indexed)
{
    ByteWriter b;
    b.bytes("GIF87a").u16le(indexed.width()).u16le(indexed.height()).u8(0x80 | (3 << 4) | 3).u8(0).u8(0);
    for (int i = 0; i < 16; ++i) { // a 16-entry table
        const QRgb c = i < indexed.colorCount() ? indexed.color(i) : 0;
        b.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
    // No local table; LZW minimum code size 4.
    b.u8(',').u16le(0).u16le(0).u16le(indexed.width()).u16le(indexed.height()).u8(0).u8(4);
    // Codes stay 5 bits wide: a clear code before every two literals keeps the table small.
    BitWriter w;
    int sinceClear = 2;
    for (int y = 0; y < indexed.height(); ++y) {
        for (int x = 0; x < indexed.width(); ++x) {
            if (sinceClear == 2) {
                w.put(16, 5);
                sinceClear = 0;
            }
            w.put(indexed.pixelIndex(x, y), 5);
            ++sinceClear;
        }
    }
    w.put(17, 5);
    w.flush();
    for (qsizetype i = 0; i < w.bytes.size(); i += 255)
        b.u8(int(w.bytes.mid(i, 255).size())).bytes(w.bytes.mid(i, 255));
    return b.u8(0).u8(';').data();
}

QByteArray writeTiff(const QImage& image, TiffCompression compression, bool bigEndian)
{
    const QByteArray raw = rgbRows(image);
    QByteArray strip = raw;
    if (compression == TiffCompression::PackBits)
        strip = packBitsRows(raw, image.width() * 3);
    else if (compression == TiffCompression::Deflate)
        strip = deflate(raw);

    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QDataStream s(&buffer);
    s.setByteOrder(bigEndian ? QDataStream::BigEndian : QDataStream::LittleEndian);
    const int entries = 10;
    const quint32 ifd = 8;
    const quint32 bitsAt = ifd + 2 + entries * 12 + 4;
    const quint32 stripAt = bitsAt + 6;
    s.writeRawData(bigEndian ? "MM" : "II", 2);
    s << quint16(42) << ifd << quint16(entries);
    auto entry = [&](quint16 tag, quint16 type, quint32 count, quint32 value) {
        s << tag << type << count;
        if (type == 3 && count == 1)
            s << quint16(value) << quint16(0);
        else
            s << value;
    };
    entry(256, 4, 1, quint32(image.width()));
    entry(257, 4, 1, quint32(image.height()));
    entry(258, 3, 3, bitsAt);
    entry(259, 3, 1, quint32(compression));
    entry(262, 3, 1, 2); // RGB
    entry(273, 4, 1, stripAt);
    entry(277, 3, 1, 3);
    entry(278, 4, 1, quint32(image.height()));
    entry(279, 4, 1, quint32(strip.size()));
    entry(284, 3, 1, 1);
    s << quint32(0);
    s << quint16(8) << quint16(8) << quint16(8);
    s.writeRawData(strip.constData(), int(strip.size()));
    return out;
}

// A BMP file: the file header, then a bare DIB whose pixels follow its colour table.
QByteArray bmpFile(const QByteArray& dib, int headerSize, int tableBytes)
{
    ByteWriter b;
    b.bytes("BM").u32le(std::uint32_t(14 + dib.size())).u32le(0);
    return b.u32le(std::uint32_t(14 + headerSize + tableBytes)).bytes(dib).data();
}

QByteArray writeRle8Bmp(const QImage& indexed)
{
    IndexedPicture p {indexed.width(), indexed.height(), {}, indexed.colorTable()};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.index.push_back(std::uint8_t(indexed.pixelIndex(x, y)));
    DibOptions o;
    o.compression = 1;
    return bmpFile(encodeDib(o, &p), 40, 256 * 4);
}

QByteArray writeOs2Bmp(const QImage& image)
{
    RgbPicture p {image.width(), image.height(), {}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels.push_back(image.pixel(x, y));
    DibOptions o;
    o.headerSize = 12, o.bits = 24;
    return bmpFile(encodeDib(o, nullptr, &p), 12, 0);
}

} // namespace mv::imaging::test
