// MacPaint pictures (.mac): 576 x 720 pixels of 1 bit (1 = black), 72 bytes a row packed with
// PackBits, after a 512-byte header (version and fill patterns). The file may start with a
// 128-byte MacBinary header, recognised by its file type "PNTG".
//
// looksLikeMacPaint is true only with that MacBinary header: a bare MacPaint file has no magic.
// A file whose rows end early is refused ("the file is truncated").
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

bool looksLikeMacPaint(QByteArrayView data);
DecodeResult decodeMacPaint(QByteArrayView data);

} // namespace mv::imaging
