#include "imaging/pc/Palettes.h"

namespace mv::imaging {

QList<QRgb> greyRamp(int count)
{
    QList<QRgb> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int v = i * 255 / (count - 1);
        table.append(qRgb(v, v, v));
    }
    return table;
}

QList<QRgb> egaPalette()
{
    static const QRgb colours[16] = {
        0xff000000, 0xff0000aa, 0xff00aa00, 0xff00aaaa, 0xffaa0000, 0xffaa00aa, 0xffaa5500, 0xffaaaaaa,
        0xff555555, 0xff5555ff, 0xff55ff55, 0xff55ffff, 0xffff5555, 0xffff55ff, 0xffffff55, 0xffffffff,
    };
    return QList<QRgb>(std::begin(colours), std::end(colours));
}

QList<QRgb> fullTable(QList<QRgb> table)
{
    table.resize(256, qRgb(0, 0, 0));
    return table;
}

QList<QRgb> rgbTriples(const unsigned char* bytes, int count)
{
    QList<QRgb> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i)
        table.append(qRgb(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]));
    return table;
}

} // namespace mv::imaging
