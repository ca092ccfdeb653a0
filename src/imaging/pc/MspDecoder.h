// Microsoft Paint: version 1 ("DanM", raw 1-bit rows) and version 2 ("LinS", a table of
// row lengths, then each row run-length encoded). Set bits are white. A version 2 row of
// length 0 is all white; a row whose runs fall short is filled with white.
// A file that ends before the last row is refused as truncated (no partial picture).
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeMsp(QByteArrayView data);
DecodeResult decodeMsp(QByteArrayView data);

} // namespace mv::imaging
