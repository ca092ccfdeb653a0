#include "HandWritten.h"

#include <QBuffer>
#include <QDataStream>

#include <zlib.h>

namespace mv::imaging::test {

namespace {

void put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, quint32 v)
{
    put16(b, int(v & 0xFFFF));
    put16(b, int(v >> 16));
}

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

// PackBits with literal runs only: valid, and enough to exercise the decoder.
QByteArray packBits(const QByteArray& raw, int rowBytes)
{
    QByteArray out;
    for (qsizetype row = 0; row < raw.size(); row += rowBytes) {
        for (qsizetype i = row; i < row + rowBytes; i += 128) {
            const qsizetype n = qMin<qsizetype>(128, row + rowBytes - i);
            out.append(char(n - 1)).append(raw.mid(i, n));
        }
    }
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
    QByteArray b("GIF87a");
    put16(b, indexed.width());
    put16(b, indexed.height());
    b.append(char(0x80 | (3 << 4) | 3)).append('\0').append('\0'); // 16-entry global table
    for (int i = 0; i < 16; ++i) {
        const QRgb c = i < indexed.colorCount() ? indexed.color(i) : 0;
        b.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    b.append(',');
    put16(b, 0);
    put16(b, 0);
    put16(b, indexed.width());
    put16(b, indexed.height());
    b.append('\0').append(char(4)); // no local table; LZW minimum code size 4
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
    for (qsizetype i = 0; i < w.bytes.size(); i += 255) {
        const QByteArray block = w.bytes.mid(i, 255);
        b.append(char(block.size())).append(block);
    }
    b.append('\0').append(';');
    return b;
}

QByteArray writeTiff(const QImage& image, TiffCompression compression, bool bigEndian)
{
    const QByteArray raw = rgbRows(image);
    QByteArray strip = raw;
    if (compression == TiffCompression::PackBits)
        strip = packBits(raw, image.width() * 3);
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

QByteArray writeRle8Bmp(const QImage& indexed)
{
    QByteArray pixels;
    for (int y = indexed.height() - 1; y >= 0; --y) {
        int x = 0;
        while (x < indexed.width()) {
            const int index = indexed.pixelIndex(x, y);
            int run = 1;
            while (x + run < indexed.width() && run < 255 && indexed.pixelIndex(x + run, y) == index)
                ++run;
            pixels.append(char(run)).append(char(index));
            x += run;
        }
        pixels.append('\0').append('\0'); // end of line
    }
    pixels.append('\0').append('\1'); // end of bitmap
    const int colors = 256;
    QByteArray b("BM");
    put32(b, quint32(14 + 40 + colors * 4 + pixels.size()));
    put32(b, 0);
    put32(b, quint32(14 + 40 + colors * 4));
    put32(b, 40);
    put32(b, quint32(indexed.width()));
    put32(b, quint32(indexed.height()));
    put16(b, 1);
    put16(b, 8);
    put32(b, 1); // BI_RLE8
    put32(b, quint32(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, quint32(colors));
    put32(b, 0);
    for (int i = 0; i < colors; ++i) {
        const QRgb c = i < indexed.colorCount() ? indexed.color(i) : 0;
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    return b + pixels;
}

QByteArray writeOs2Bmp(const QImage& image)
{
    const int rowBytes = (image.width() * 3 + 3) & ~3;
    QByteArray b("BM");
    put32(b, quint32(14 + 12 + rowBytes * image.height()));
    put32(b, 0);
    put32(b, 14 + 12);
    put32(b, 12);
    put16(b, image.width());
    put16(b, image.height());
    put16(b, 1);
    put16(b, 24);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            row[3 * x] = char(qBlue(c));
            row[3 * x + 1] = char(qGreen(c));
            row[3 * x + 2] = char(qRed(c));
        }
        b.append(row);
    }
    return b;
}

} // namespace mv::imaging::test
