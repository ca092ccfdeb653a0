// Small picture files that Qt cannot write for us, written byte by byte.
#pragma once

#include <QByteArray>
#include <QImage>

namespace mv::imaging::test {

// GIF87a with a 16-colour global table; image must be Indexed8 with at most 16 colours.
QByteArray writeGif(const QImage& indexed);

enum class TiffCompression {
    None = 1,
    PackBits = 32773,
    Deflate = 8
};
// Baseline RGB TIFF, 8 bits per sample, one strip.
QByteArray writeTiff(const QImage& image, TiffCompression compression, bool bigEndian = false);

// 8-bit palette BMP compressed with RLE8 (runs of equal pixels), bottom-up.
QByteArray writeRle8Bmp(const QImage& indexed);
// OS/2 1.x BMP (12-byte core header), 24 bits per pixel.
QByteArray writeOs2Bmp(const QImage& image);

} // namespace mv::imaging::test
