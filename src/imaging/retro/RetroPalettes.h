// Colour tables of old PC and Amiga pictures: the IBM CGA and EGA defaults, EGA register
// values, 6-bit VGA values and a grey ramp for pictures that store no colours.
#pragma once

#include <QList>
#include <QRgb>

#include <cstdint>

namespace mv::imaging {

// 0..63 to 0..255, so that 63 gives full white.
inline std::uint8_t scale6to8(std::uint8_t v)
{
    v &= 63;
    return std::uint8_t((v << 2) | (v >> 4));
}

// The 16 colours of the IBM text palette (IRGB order: 0 black, 1 blue ... 14 yellow, 15 white).
QList<QRgb> egaDefaultPalette();
// An EGA palette register value (bits rgbRGB: 0 blue, 1 green, 2 red, 3-5 the low intensities).
QRgb egaRegisterColour(std::uint8_t value);
// The four CGA colours: background (IRGB index), then palette 0 (green, red, brown/yellow) or
// palette 1 (cyan, magenta, light grey/white), bright when intense.
QList<QRgb> cgaPalette(int background, int palette, bool intense);
// count shades from black to white.
QList<QRgb> greyPalette(int count);

} // namespace mv::imaging
