// The small copy of itself a JPEG may carry in its EXIF block, used in its place when it is
// large enough for the size the picture will be drawn at: a thumbnail then costs a few
// kilobytes of decoding instead of megapixels. The file's markers are walked with bounds
// checks up to its frame header; nothing after it is needed, so the data may be just the start
// of the file.
#pragma once

#include "imaging/base/DecodeOptions.h"
#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

#include <optional>

namespace mv::imaging {

// The picture decoded from its embedded copy, turned upright, when that copy covers the
// picture fitted into options.targetSize and has its proportions (a copy padded with bars is
// not taken); width, height and colour depth are the picture's own. None otherwise.
std::optional<DecodeResult> decodeEmbeddedPreview(QByteArrayView data, const DecodeOptions& options);

} // namespace mv::imaging
