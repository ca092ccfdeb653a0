// Reads an old Windows metafile (with or without the placeable header) into a checked record
// list. The natural size is the placeable header's box at its units per inch, else the window
// extent (one unit a pixel), else the bounds of the shapes. In the fixed-scale map modes y
// counts upwards: the frame is the box or the bounds turned over, and a file without the box
// is as large as its units say. Records end at the first record whose size is zero or runs
// past the file: the picture is then what came before.
#pragma once

#include "imaging/metafile/MetafileRecords.h"

namespace mv::imaging::metafile {

MetafileLoad loadWmf(QByteArrayView data);

} // namespace mv::imaging::metafile
