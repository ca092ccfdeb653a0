// WordPerfect graphics (.wpg) as the viewer sees them: a file with vector records becomes a
// drawing (colour depth 24) that keeps its records and draws at any size; a file with only
// bitmaps stays a raster picture of its largest bitmap, as decodeWpg gives it.
//
// The natural size comes from the start record: 1/1200 inch (version 1), or the extent in the
// stated units per inch (version 2), shown at 96 dpi. A start record of zero size or units is
// refused. A damaged record ends the drawing with what came before it.
#pragma once

#include "imaging/core/Picture.h"

#include <QByteArrayView>

namespace mv::imaging {

Picture decodeWpgPicture(QByteArrayView data);

} // namespace mv::imaging
