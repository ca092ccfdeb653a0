// PackBits (Amiga ByteRun1) rows: a control byte n, then n+1 literal bytes for n in 0..127, or
// one byte repeated 1-n times for n in -127..-1; -128 does nothing. Used by IFF, MacPaint and ART.
#pragma once

#include "imaging/base/ByteReader.h"

#include <cstdint>

namespace mv::imaging {

// Fills exactly n bytes of out from the packed stream. A run that goes past the end of the row
// is cut there (its surplus is dropped, so it cannot spill into the next row). False when the
// stream ends before the row is full.
bool unpackBitsRow(ByteReader& in, std::uint8_t* out, qsizetype n);

// Unpacks until the stream ends or cap bytes are out (a run is cut at cap); a run cut short by
// the end of the stream is dropped. Returns the number of bytes written.
qsizetype unpackBitsStream(ByteReader& in, std::uint8_t* out, qsizetype cap);

} // namespace mv::imaging
