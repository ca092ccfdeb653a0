// Drawing a decoded metafile into a white QImage and looking at its pixels.
#pragma once

#include "imaging/core/Picture.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace mv::imaging::test {

inline QImage render(const Picture& p, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    if (!p.drawing)
        return img;
    QPainter painter(&img);
    p.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

inline bool near(QRgb a, QColor b, int tolerance = 40)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance
        && std::abs(qBlue(a) - b.blue()) <= tolerance;
}

#define EXPECT_PIXEL(img, x, y, colour)                                                                      \
    EXPECT_TRUE(near((img).pixel(x, y), colour)) << "at " << (x) << "," << (y) << ": "                      \
                                                  << qPrintable(QColor((img).pixel(x, y)).name())

inline int darkPixels(const QImage& img, QRect box)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += qGray(img.pixel(x, y)) < 128;
    return n;
}

} // namespace mv::imaging::test
