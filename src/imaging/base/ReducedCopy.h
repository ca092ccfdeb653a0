// A picture reduced to the size it is drawn at, cheaply enough for a 24-megapixel photo: the
// image control's cache and the viewing pipeline's worker make it the same way, so a copy
// made ahead on the worker is exactly what the control would have made itself.
#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>

namespace mv::imaging {

// source reduced to size (aspect as given). Halves by 2 x 2 box averages while the result is
// still at least twice the size asked for, then filters the last step smoothly. A size that
// is not smaller in both directions is filtered smoothly in one step; a null source or an
// empty size gives a null image. The copy has a device pixel ratio of 1. For a sensitive
// (decrypted) source the copy is made in protected memory and the steps between are zeroed.
QImage reducedCopy(const QImage& source, QSize size, bool sensitive = false);

// The device pixels covered by a size in logical pixels on a screen of ratio dpr.
QSize devicePixels(QSizeF logical, qreal dpr);

// A copy of image for drawing at `logical` size on a screen of ratio dpr: reduced to the
// device pixels it covers and carrying dpr, so it is drawn 1:1 on them. Null when that is not
// a reduction (the image is drawn enlarged or 1:1).
QImage reducedForScreen(const QImage& image, QSizeF logical, qreal dpr, bool sensitive = false);

} // namespace mv::imaging
