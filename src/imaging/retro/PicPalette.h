// The colours of a PC Paint / Pictor picture: the palette stored in its header (the CGA colour
// set and background, PCjr or EGA registers, or red-green-blue triples of 6 or 8 bits), or the
// adapter's default colours when none is stored.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QRgb>

namespace mv::imaging {

enum class PicPaletteType {
    None = 0,
    Cga = 1,
    PcJr = 2,
    Ega = 3,
    Vga = 4,
    Rgb = 5
};

// One colour for each value of a pixel of bitsPerPixel (1 to 8) bits in all.
QList<QRgb> picPalette(int paletteType, QByteArrayView stored, int bitsPerPixel);

} // namespace mv::imaging
