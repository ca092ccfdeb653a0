// Turning a picture upright from the orientation it was stored in (the EXIF and TIFF values
// 1..8: 1 upright, 2 mirrored, 3 upside down, 4 flipped, 5..8 on its side).
#pragma once

#include <QImage>
#include <QSize>

namespace mv::imaging {

// True for the orientations stored on their side (5..8): upright, width and height swap.
bool orientationSwapsAxes(int orientation);

// size as it shows upright.
QSize uprightSize(QSize stored, int orientation);

// image, stored in orientation, turned upright; any other value leaves it as it is.
QImage uprightImage(const QImage& image, int orientation);

} // namespace mv::imaging
