// Pictures the entry point, JPEG and image control tests share.
#pragma once

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

} // namespace mv::imaging::test
