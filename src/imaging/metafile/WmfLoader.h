// Reads an old Windows metafile (with or without the placeable header) into a checked record
// list. The natural size is the placeable header's box at its units per inch, else the window
// extent (one unit a pixel), else the bounds of the shapes. Records end at the first record
// whose size is zero or runs past the file: the picture is then what came before.
#pragma once

#include "imaging/metafile/MetafileRecords.h"

#include <QString>

namespace mv::imaging::metafile {

struct WmfLoad {
    MetafileRecords file;
    QString error; // empty on success
};

WmfLoad loadWmf(QByteArrayView data);

} // namespace mv::imaging::metafile
