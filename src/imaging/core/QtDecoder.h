// The types Qt's own readers decode (PNG, GIF's first frame, TIFF, BMP with its RLE and OS/2
// variants), with our decode limits applied before the pixels are allocated.
#pragma once

#include "imaging/DecodeResult.h"

#include <QByteArrayView>

namespace mv::imaging {

// format is Qt's name for the reader: "png", "gif", "tiff", "bmp". colorDepth is that of
// the decoded buffer; the caller replaces it with the stored depth where it knows better.
DecodeResult decodeWithQt(QByteArrayView data, const char* format);

// The size from the header alone; invalid when the reader cannot tell.
QSize sizeWithQt(QByteArrayView data, const char* format, QString* error);

} // namespace mv::imaging
