// Colour tables shared by the palette formats of this family. Every Indexed8 picture we make
// gets a table of 256 entries, so that any index a hostile file holds has a colour.
#pragma once

#include <QList>
#include <QRgb>

namespace mv::imaging {

// count shades from black to white (count >= 2).
QList<QRgb> greyRamp(int count);

// The 16 colours of the IBM EGA/VGA default palette.
QList<QRgb> egaPalette();

// table grown to 256 entries with opaque black (or cut to 256).
QList<QRgb> fullTable(QList<QRgb> table);

// Colours from packed 8-bit R, G, B triples.
QList<QRgb> rgbTriples(const unsigned char* bytes, int count);

} // namespace mv::imaging
