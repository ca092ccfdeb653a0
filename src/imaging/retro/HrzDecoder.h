// Slow Scan TV pictures (.hrz): 256 x 240 pixels, three bytes (red, green, blue) of 6 bits each,
// no header. Only a file of exactly 184,320 bytes is one; looksLikeHrz checks that size alone.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeHrz(QByteArrayView data);
DecodeResult decodeHrz(QByteArrayView data);

} // namespace mv::imaging
