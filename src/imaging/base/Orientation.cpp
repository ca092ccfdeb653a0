#include "imaging/base/Orientation.h"

#include <QTransform>

namespace mv::imaging {

bool orientationSwapsAxes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QSize uprightSize(QSize stored, int orientation)
{
    return orientationSwapsAxes(orientation) ? stored.transposed() : stored;
}

QImage uprightImage(const QImage& image, int orientation)
{
    // Each orientation as a mirror (left-right, top-bottom) followed by an optional quarter
    // turn clockwise, the way the TIFF values are defined.
    struct Steps {
        bool mirror;
        bool flip;
        bool quarterTurn;
    };
    static constexpr Steps kSteps[9] = {
        {false, false, false}, // not an orientation
        {false, false, false}, // 1: upright
        {true, false, false},  // 2: mirrored
        {true, true, false},   // 3: upside down
        {false, true, false},  // 4: flipped
        {false, true, true},   // 5: mirrored and turned a quarter anticlockwise (transposed)
        {false, false, true},  // 6: turned a quarter anticlockwise
        {true, false, true},   // 7: mirrored and turned a quarter clockwise (transversed)
        {true, true, true},    // 8: turned a quarter clockwise
    };
    if (image.isNull() || orientation < 2 || orientation > 8)
        return image;
    const Steps s = kSteps[orientation];
    QImage out = (s.mirror || s.flip) ? image.mirrored(s.mirror, s.flip) : image;
    if (s.quarterTurn)
        out = out.transformed(QTransform().rotate(90));
    return out;
}

} // namespace mv::imaging
