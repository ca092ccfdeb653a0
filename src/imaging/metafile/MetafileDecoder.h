// The entry points for Windows metafiles (.WMF) and enhanced metafiles (.EMF): a vector
// drawing whose drawing plays the file's records, 24 bits deep, its natural size in pixels.
// A damaged record list gives the picture drawn up to the damage; a damaged header an error.
#pragma once

#include "imaging/base/DecodeRequest.h"
#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeWmf(QByteArrayView data);
bool looksLikeEmf(QByteArrayView data);

DecodeResult decodeWmf(const DecodeRequest& request);
DecodeResult decodeEmf(const DecodeRequest& request);

// Straight from bytes, for tests and tools.
DecodeResult decodeWmfData(QByteArrayView data);
DecodeResult decodeEmfData(QByteArrayView data);

} // namespace mv::imaging
