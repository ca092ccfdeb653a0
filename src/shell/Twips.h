// Window positions and sizes are stored in twips (1/1440 inch) and converted with the screen's
// logical resolution, so a window saved on one screen comes back the same physical size.
#pragma once

#include <QRect>

#include <cmath>

namespace mv::shell {

inline constexpr double kTwipsPerInch = 1440.0;

inline int twipsToPixels(int twips, double logicalDpi)
{
    return int(std::lround(twips * logicalDpi / kTwipsPerInch));
}

inline int pixelsToTwips(int pixels, double logicalDpi)
{
    return int(std::lround(pixels * kTwipsPerInch / logicalDpi));
}

inline QRect twipsToPixels(const QRect& r, double logicalDpi)
{
    const int left = twipsToPixels(r.left(), logicalDpi);
    const int top = twipsToPixels(r.top(), logicalDpi);
    // Edges are converted, not sizes, so neighbouring panes never gain or lose a pixel between them.
    const int right = twipsToPixels(r.left() + r.width(), logicalDpi);
    const int bottom = twipsToPixels(r.top() + r.height(), logicalDpi);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace mv::shell
