// Memory for the pixels of decrypted pictures: a mapping of its own, left out of core dumps
// (MADV_DONTDUMP) and blank in forked children (MADV_WIPEONFORK) where the system allows it,
// and overwritten with zeros before it is given back, when the last QImage sharing it goes.
// It is not locked: a picture may be far larger than a process may lock, so with swap its
// pixels may still reach the disk. Copies another holder makes of such an image (converted,
// scaled) are ordinary memory unless that holder protects them too.
//
// Cost, for a 24-megapixel picture (96 MB) on the development machine under load: the copy
// into fresh memory about 21 ms (on huge pages where the system has them, so no slower than
// a plain memcpy of the same bytes there; the first after start up to 60 ms), zeroing the
// decoder's own buffer as it is dropped about 12 ms, zeroing and unmapping the protected one
// when the picture goes about 8 ms.
#pragma once

#include "imaging/base/Picture.h"

#include <QImage>

#include <functional>

namespace mv::imaging {

// Told of a protected buffer just zeroed, before it is given back: a test's way to see the
// release without reading freed memory. Never set in production.
using PixelsReleased = std::function<void(const uchar* data, qsizetype length)>;

// A copy of image whose pixels live in protected memory (its colour table, colour space and
// pixel ratio kept). Null for a null image, and when no such memory can be had.
QImage protectedCopy(const QImage& image, PixelsReleased released = {});

// protectedCopy, and the pixels image held are zeroed when no one else shares them: for a copy
// made of a decrypted picture that nobody else will draw. Returns image as it is when no
// protected memory can be had.
QImage protectedTake(QImage image);

// Overwrites the pixels of an image nobody else shares with zeros; a shared one is left alone.
void zeroPixels(QImage& image);

// Moves a decrypted picture's pixels (image, reduced copy, animation frames) into protected
// memory and marks it sensitive, so whoever copies it later knows to protect the copy.
void protectPicture(Picture& picture);

} // namespace mv::imaging
