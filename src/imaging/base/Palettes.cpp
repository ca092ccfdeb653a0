#include "imaging/base/Palettes.h"

namespace mv::imaging {

QList<QRgb> greyRamp(int count)
{
    QList<QRgb> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int v = count > 1 ? i * 255 / (count - 1) : 0;
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

QRgb egaRegisterColour(std::uint8_t value)
{
    const auto channel = [value](int high, int low) {
        return ((value >> high) & 1) * 0xAA + ((value >> low) & 1) * 0x55;
    };
    return qRgb(channel(2, 5), channel(1, 4), channel(0, 3));
}

QList<QRgb> cgaPalette(int background, int palette, bool intense)
{
    const QList<QRgb> ega = egaPalette();
    const int bright = intense ? 8 : 0;
    QList<QRgb> colours {ega[background & 15]};
    if (palette == 0)
        colours << ega[2 + bright] << ega[4 + bright] << ega[6 + bright];
    else
        colours << ega[3 + bright] << ega[5 + bright] << ega[7 + bright];
    return colours;
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
