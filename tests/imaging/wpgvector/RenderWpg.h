// Draws a decoded WPG drawing into an image for pixel checks.
#pragma once

#include "imaging/core/Picture.h"
#include "imaging/wpg/WpgVectorDecoder.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace mv::imaging::test {

// Text needs fonts, which need a GUI application (offscreen in the tests).
inline void ensureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "imaging_wpgvector_tests";
    static char* argv[] = { name, nullptr };
    static QGuiApplication app(argc, argv);
}

inline QImage drawPicture(const Picture& p, QSize size, QRgb background = qRgb(255, 255, 255))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    if (!p.drawing)
        return image;
    QPainter painter(&image);
    p.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

inline QImage renderWpg(const QByteArray& file, QSize size, QRgb background = qRgb(255, 255, 255))
{
    const Picture p = decodeWpgPicture(file);
    EXPECT_TRUE(p.ok()) << p.error.toStdString();
    EXPECT_TRUE(p.isVector());
    return drawPicture(p, size, background);
}

inline testing::AssertionResult colourNear(const QImage& image, int x, int y, QRgb want, int tolerance = 40)
{
    const QRgb got = image.pixel(x, y);
    if (std::abs(qRed(got) - qRed(want)) <= tolerance && std::abs(qGreen(got) - qGreen(want)) <= tolerance
        && std::abs(qBlue(got) - qBlue(want)) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                       << ", expected about " << want;
}

// Pixels of the rectangle darker than mid grey.
inline int darkPixels(const QImage& image, const QRect& box)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

} // namespace mv::imaging::test
