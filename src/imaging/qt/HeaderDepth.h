// Bits per pixel as stored, read from the headers of the types Qt decodes for us (Qt only
// tells the format of the decoded buffer). 0 when the header does not say.
#pragma once

#include <QByteArrayView>

namespace mv::imaging {

int pngStoredDepth(QByteArrayView data);  // IHDR bit depth x channels
int gifStoredDepth(QByteArrayView data);  // size of the global colour table, else colour resolution
int bmpStoredDepth(QByteArrayView data);  // biBitCount (Windows and OS/2 headers)
int tiffStoredDepth(QByteArrayView data); // BitsPerSample x SamplesPerPixel of the first image

} // namespace mv::imaging
