// BI_RLE8 and BI_RLE4 pixel data of a DIB: encoded runs, absolute runs (padded to 16 bits),
// end of line, end of bitmap and delta escapes. Runs are clipped at the row end; pixels that
// the data skips keep index 0.
#pragma once

#include <QByteArrayView>
#include <QImage>

namespace mv::imaging {

// Decodes into image (Indexed8, already filled with 0); rows are counted from the bottom when
// bottomUp. False when the data ends before the picture is complete.
bool decodeDibRle(QByteArrayView bits, bool rle4, bool bottomUp, QImage& image);

} // namespace mv::imaging
