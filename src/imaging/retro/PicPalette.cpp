#include "imaging/retro/PicPalette.h"

#include "imaging/base/Palettes.h"

#include <algorithm>
#include <cstdint>

namespace mv::imaging {
namespace {

std::uint8_t at(QByteArrayView bytes, qsizetype i)
{
    return static_cast<std::uint8_t>(bytes[i]);
}

// PC Paint numbers the CGA four-colour sets 0 to 5: palette 1, palette 0, and the set of
// mode 5 (cyan, red, grey), first dim, then bright. Colour 0 is the background.
QList<QRgb> pcPaintCga(int set, int background)
{
    static constexpr int kSets[3][3] = {{3, 5, 7}, {2, 4, 6}, {3, 4, 7}};
    if (set < 0 || set > 5)
        set = 2;
    const QList<QRgb> ega = egaPalette();
    const int bright = set >= 3 ? 8 : 0;
    QList<QRgb> colours {ega[background & 15]};
    for (int index : kSets[set % 3])
        colours.append(ega[index + bright]);
    return colours;
}

// The CGA record: the colour set, then the background colour.
QList<QRgb> fromCgaRecord(QByteArrayView stored)
{
    return pcPaintCga(at(stored, 0), stored.size() > 1 ? at(stored, 1) : 0);
}

QList<QRgb> fromVga(QByteArrayView stored, QList<QRgb> colours)
{
    const qsizetype count = std::min<qsizetype>(stored.size() / 3, colours.size());
    const bool sixBit =
        std::all_of(stored.begin(), stored.begin() + count * 3, [](char c) { return std::uint8_t(c) < 64; });
    for (qsizetype i = 0; i < count; ++i) {
        std::uint8_t rgb[3] = {at(stored, 3 * i), at(stored, 3 * i + 1), at(stored, 3 * i + 2)};
        if (sixBit)
            for (auto& c : rgb)
                c = scale6to8(c);
        colours[i] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
    return colours;
}

QList<QRgb> defaults(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    case 2: return pcPaintCga(2, 0);
    case 8: return greyRamp(256);
    default: return egaPalette();
    }
}

} // namespace

QList<QRgb> picPalette(int paletteType, QByteArrayView stored, int bitsPerPixel)
{
    QList<QRgb> colours = defaults(bitsPerPixel);
    colours.resize(qsizetype(1) << bitsPerPixel, qRgb(0, 0, 0));
    if (stored.isEmpty())
        return colours;
    const QList<QRgb> ega = egaPalette();
    const qsizetype registers = std::min<qsizetype>(stored.size(), colours.size());
    switch (PicPaletteType(paletteType)) {
    case PicPaletteType::Cga:
        if (bitsPerPixel == 2)
            colours = fromCgaRecord(stored);
        break;
    case PicPaletteType::PcJr:
        for (qsizetype i = 0; i < registers; ++i)
            colours[i] = ega[at(stored, i) & 15];
        break;
    case PicPaletteType::Ega:
        for (qsizetype i = 0; i < registers; ++i)
            colours[i] = egaRegisterColour(at(stored, i));
        break;
    case PicPaletteType::Vga:
    case PicPaletteType::Rgb: colours = fromVga(stored, colours); break;
    case PicPaletteType::None: break;
    }
    return colours;
}

} // namespace mv::imaging
