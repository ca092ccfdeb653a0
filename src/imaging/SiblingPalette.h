// Dr. Halo pictures keep their colours in a .PAL file of the same base name beside them.
#pragma once

#include <QByteArray>
#include <QString>

namespace mv::imaging {

// The path of the palette beside picturePath (base name equal, extension "pal" in any case),
// or empty when there is none.
QString siblingPalettePath(const QString& picturePath);

// Its bytes (at most maxBytes; a larger file counts as none), empty when there is none.
QByteArray readSiblingPalette(const QString& picturePath, qint64 maxBytes = 64 * 1024);

} // namespace mv::imaging
