// Colour tables shared by the decoders: the IBM EGA and CGA colours, EGA register values,
// 6-bit VGA values and a grey ramp for pictures that store no colours. Every Indexed8 picture
// a decoder makes gets a table of 256 entries (fullTable), so that any index a hostile file
// holds has a colour.
#pragma once

#include <QList>
#include <QRgb>

#include <cstdint>

namespace mv::imaging {

// count shades from black to white (one shade: black).
QList<QRgb> greyRamp(int count);

// The 16 colours of the IBM EGA/VGA default palette (IRGB order: 0 black, 1 blue ... 6 brown,
// 14 yellow, 15 white).
QList<QRgb> egaPalette();
// An EGA palette register value (bits rgbRGB: 0 blue, 1 green, 2 red, 3-5 the low intensities).
QRgb egaRegisterColour(std::uint8_t value);
// The four CGA colours: background (IRGB index), then palette 0 (green, red, brown/yellow) or
// palette 1 (cyan, magenta, light grey/white), bright when intense.
QList<QRgb> cgaPalette(int background, int palette, bool intense);

// 0..63 to 0..255, so that 63 gives full white.
inline std::uint8_t scale6to8(std::uint8_t v)
{
    v &= 63;
    return std::uint8_t((v << 2) | (v >> 4));
}

// table grown to 256 entries with opaque black (or cut to 256).
QList<QRgb> fullTable(QList<QRgb> table);

// Colours from packed 8-bit R, G, B triples.
QList<QRgb> rgbTriples(const unsigned char* bytes, int count);

} // namespace mv::imaging
