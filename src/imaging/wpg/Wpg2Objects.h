// The common head of version 2 object records (its "characterization"): flags, then, as the
// flags say, lock flags, object id, rotation, scale, skew, translation and taper. Taper is read
// past and not applied.
#pragma once

#include "imaging/base/ByteReader.h"

#include <QTransform>

namespace mv::imaging::wpg {

struct Wpg2Object {
    bool filled = false;
    bool closed = false;
    bool framed = true;
    bool windingRule = false;
    QTransform matrix; // file coordinates of the object to file coordinates of the picture
};

Wpg2Object readWpg2Object(ByteReader& in);

// A coordinate: 16-bit integer, or 32-bit with 16 bits of fraction in double precision.
inline double readWpg2Coordinate(ByteReader& in, bool doublePrecision)
{
    return doublePrecision ? in.s32le() / 65536.0 : double(in.s16le());
}

} // namespace mv::imaging::wpg
