// Turns the BODY of an IFF picture into pixels: bit planes (1 to 8, or 24 for true colour),
// Deluxe Paint's chunky PBM rows, ByteRun1 rows, extra half-brite and hold-and-modify.
#pragma once

#include "imaging/base/DecodeResult.h"
#include "imaging/retro/IffChunks.h"

namespace mv::imaging {

DecodeResult decodeIffBody(const IffPicture& picture);

} // namespace mv::imaging
