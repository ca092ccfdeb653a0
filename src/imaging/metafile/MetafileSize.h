// The natural size of a metafile in whole pixels, kept within what a raster picture may be.
#pragma once

#include <QSizeF>

namespace mv::imaging::metafile {

// Rounds; at least 1 x 1; the longer side at most the decode limit, the aspect kept.
QSizeF naturalPixels(QSizeF size);

} // namespace mv::imaging::metafile
