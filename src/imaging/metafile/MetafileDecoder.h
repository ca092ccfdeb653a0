// The entry points for Windows metafiles (.WMF) and enhanced metafiles (.EMF): a vector
// Picture whose drawing plays the file's records, 24 bits deep, its natural size in pixels.
// A damaged record list gives the picture drawn up to the damage; a damaged header an error.
#pragma once

#include "imaging/core/FormatTable.h"

namespace mv::imaging {

Picture decodeWmf(const DecodeRequest& request);
Picture decodeEmf(const DecodeRequest& request);

// Straight from bytes, for tests and tools.
Picture decodeWmfData(QByteArrayView data);
Picture decodeEmfData(QByteArrayView data);

} // namespace mv::imaging
