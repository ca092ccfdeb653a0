// Picks libjpeg's downscaling factor for a picture that will be drawn into a smaller box.
#pragma once

#include <QSize>

namespace mv::imaging {

// The numerator n of n/8 (1..8): the strongest reduction whose result still covers the size
// at which a picture of `picture` pixels is drawn when fitted into `box` (never enlarged).
// An invalid or empty box, or one the picture already fits in, gives 8 (full size).
int jpegScaleNumerator(QSize picture, QSize box);

// The size libjpeg gives for a picture at n/8 (rounded up, as libjpeg does).
QSize jpegScaledSize(QSize picture, int numerator);

} // namespace mv::imaging
