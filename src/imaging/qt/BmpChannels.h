// Qt's BMP reader shifts a 16-bit picture's 5- and 6-bit channels up without filling the low
// bits, so full white reads as (248, 252, 248). The stored values are widened here, as every
// other reader of the format does.
#pragma once

#include <QByteArrayView>
#include <QImage>

namespace mv::imaging {

// Widens the channels of `image`, decoded by Qt from the BMP file `data`, when the file holds
// 16-bit pixels; leaves every other picture as it is.
void widenBmpChannels(QByteArrayView data, QImage& image);

} // namespace mv::imaging
