#include "imaging/retro/RetroPalettes.h"

namespace mv::imaging {

QList<QRgb> egaDefaultPalette()
{
    QList<QRgb> colours;
    colours.reserve(16);
    for (int i = 0; i < 16; ++i) {
        const int low = (i & 8) ? 0x55 : 0;
        int r = ((i & 4) ? 0xAA : 0) + low;
        int g = ((i & 2) ? 0xAA : 0) + low;
        const int b = ((i & 1) ? 0xAA : 0) + low;
        if (i == 6)
            g = 0x55; // brown, as the monitors showed it
        colours.append(qRgb(r, g, b));
    }
    return colours;
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
    const QList<QRgb> ega = egaDefaultPalette();
    const int bright = intense ? 8 : 0;
    QList<QRgb> colours { ega[background & 15] };
    if (palette == 0)
        colours << ega[2 + bright] << ega[4 + bright] << ega[6 + bright];
    else
        colours << ega[3 + bright] << ega[5 + bright] << ega[7 + bright];
    return colours;
}

QList<QRgb> greyPalette(int count)
{
    QList<QRgb> colours;
    colours.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int v = count > 1 ? i * 255 / (count - 1) : 0;
        colours.append(qRgb(v, v, v));
    }
    return colours;
}

} // namespace mv::imaging
