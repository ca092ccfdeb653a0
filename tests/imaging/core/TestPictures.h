// Pictures the entry point, JPEG and image control tests share, and small files of the types Qt
// reads for us that Qt cannot write, written byte by byte (HandWritten.cpp).
#pragma once

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

namespace mv::imaging::test {

// Eight flat colours in a pattern no two neighbouring pixels share, so that a flipped,
// shifted or mis-coloured pixel shows.
inline QImage pattern(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    static const QRgb colours[8] = {qRgb(255, 0, 0),     qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                    qRgb(255, 255, 0),   qRgb(0, 255, 255), qRgb(255, 0, 255),
                                    qRgb(255, 255, 255), qRgb(10, 20, 30)};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(x * 3 + y * 5 + x * y) % 8]);
    return image.convertToFormat(format, Qt::ThresholdDither);
}

// The same pattern as an 8-colour Indexed8 image with a 16-entry table.
inline QImage indexedPattern(int width, int height)
{
    QImage indexed = pattern(width, height).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QList<QRgb> table = indexed.colorTable();
    table.resize(16, qRgb(0, 0, 0));
    indexed.setColorTable(table);
    return indexed;
}

// Every pixel equal, compared as opaque RGB.
inline void expectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    const QImage a = actual.convertToFormat(QImage::Format_RGB32),
                 e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x)
            ASSERT_EQ(a.pixel(x, y) | 0xFF000000u, e.pixel(x, y) | 0xFF000000u) << "at " << x << "," << y;
}

inline int maxChannelDifference(QRgb a, QRgb b)
{
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// GIF87a with a 16-colour global table; image must be Indexed8 with at most 16 colours.
QByteArray writeGif(const QImage& indexed);
// Baseline RGB TIFF, 8 bits per sample, one strip, raw or PackBits.
QByteArray writeTiff(const QImage& image, bool packed, bool bigEndian = false);
// 8-bit palette BMP compressed with RLE8 (runs of equal pixels), bottom-up.
QByteArray writeRle8Bmp(const QImage& indexed);
// OS/2 1.x BMP (12-byte core header), 24 bits per pixel.
QByteArray writeOs2Bmp(const QImage& image);

} // namespace mv::imaging::test
