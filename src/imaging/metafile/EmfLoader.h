// Reads an enhanced metafile into a checked record list. The natural size is the header's
// frame (hundredths of a millimetre) at 96 dpi, its position on the reference device from the
// device's pixels and millimetres; the bounds (device pixels) when the frame is unusable.
// Records end at EOF, at the header's record count, or at the first record whose size is
// not a multiple of four, below eight or past the file: the picture is then what came before.
#pragma once

#include "imaging/metafile/MetafileRecords.h"

namespace mv::imaging::metafile {

MetafileLoad loadEmf(QByteArrayView data);

} // namespace mv::imaging::metafile
