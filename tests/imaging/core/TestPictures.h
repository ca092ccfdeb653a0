// Pictures and file helpers the imaging core tests share.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace mv::imaging::test {

// Eight flat colours in a pattern no two neighbouring pixels share, so that a flipped,
// shifted or mis-coloured pixel shows.
inline QImage pattern(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    static const QRgb colours[8] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                    qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255),
                                    qRgb(255, 255, 255), qRgb(10, 20, 30)};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(x * 3 + y * 5 + x * y) % 8]);
    return format == QImage::Format_RGB32 ? image : image.convertToFormat(format, Qt::ThresholdDither);
}

// The same pattern as an 8-colour Indexed8 image with a 16-entry table.
inline QImage indexedPattern(int width, int height)
{
    QImage rgb = pattern(width, height);
    QImage indexed(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb c = rgb.pixel(x, y);
            qsizetype i = table.indexOf(c);
            if (i < 0) {
                table.append(c);
                i = table.size() - 1;
            }
            indexed.setColorCount(int(table.size()));
            indexed.setColor(int(i), c);
            indexed.setPixel(x, y, uint(i));
        }
    while (table.size() < 16)
        table.append(qRgb(0, 0, 0));
    indexed.setColorTable(table);
    return indexed;
}

// Every pixel equal, compared as opaque RGB.
inline void expectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x)
            ASSERT_EQ(a.pixel(x, y) | 0xFF000000u, e.pixel(x, y) | 0xFF000000u) << "at " << x << "," << y;
}

inline int maxChannelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

inline QString writeFile(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace mv::imaging::test
