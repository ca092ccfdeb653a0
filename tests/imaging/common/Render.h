// Drawing a decoded vector picture into an image, and looking at its pixels.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace mv::imaging::test {

inline QImage render(const DecodeResult& p, QSize size, QColor background = Qt::white)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    if (p.drawing) {
        QPainter painter(&image);
        p.drawing->draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return image;
}

inline bool near(QRgb a, QColor b, int tolerance = 40)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

struct Probe {
    int x, y;
    QColor colour;
    int tolerance = 40;
};

// Each probe's pixel within its tolerance of its colour.
inline testing::AssertionResult pixelsAre(const QImage& image, const std::vector<Probe>& probes)
{
    for (const Probe& p : probes)
        if (!near(image.pixel(p.x, p.y), p.colour, p.tolerance))
            return testing::AssertionFailure() << "pixel (" << p.x << ", " << p.y << ") is "
                                               << qPrintable(QColor(image.pixel(p.x, p.y)).name())
                                               << ", expected about " << qPrintable(p.colour.name());
    return testing::AssertionSuccess();
}

// Pixels of the box whose colour passes `test`; darkPixels: those darker than mid grey.
template <typename Test>
int countPixels(const QImage& image, const QRect& box, Test test)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}
inline int darkPixels(const QImage& image, const QRect& box)
{
    return countPixels(image, box, [](QRgb c) { return qGray(c) < 128; });
}

} // namespace mv::imaging::test
