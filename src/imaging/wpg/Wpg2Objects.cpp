#include "imaging/wpg/Wpg2Objects.h"

namespace mv::imaging::wpg {
namespace {

enum Flag : unsigned {
    kTaper = 0x01,
    kTranslate = 0x02,
    kSkew = 0x04,
    kScale = 0x08,
    kRotate = 0x10,
    kObjectId = 0x20,
    kEditLock = 0x80,
    kWinding = 0x1000,
    kFilled = 0x2000,
    kClosed = 0x4000,
    kFramed = 0x8000,
};

double fixed(std::int32_t value)
{
    return value / 65536.0;
}

} // namespace

Wpg2Object readWpg2Object(ByteReader& in)
{
    Wpg2Object object;
    const unsigned flags = in.u16le();
    object.windingRule = flags & kWinding;
    object.filled = flags & kFilled;
    object.closed = flags & kClosed;
    object.framed = flags & kFramed;
    if (flags & kEditLock)
        in.skip(4);
    if (flags & kObjectId && (in.u16le() & 0x8000))
        in.skip(2);
    if (flags & kRotate)
        in.skip(4); // the angle; the matrix below carries it
    double sx = 1, sy = 1, kx = 0, ky = 0, tx = 0, ty = 0;
    if (flags & (kRotate | kScale)) {
        sx = fixed(in.s32le());
        sy = fixed(in.s32le());
    }
    if (flags & (kRotate | kSkew)) {
        kx = fixed(in.s32le());
        ky = fixed(in.s32le());
    }
    if (flags & kTranslate) {
        const double fx = in.u16le() / 65536.0;
        tx = in.s32le() + fx;
        const double fy = in.u16le() / 65536.0;
        ty = in.s32le() + fy;
    }
    if (flags & kTaper)
        in.skip(8);
    object.matrix = QTransform(sx, ky, kx, sy, tx, ty);
    return object;
}

} // namespace mv::imaging::wpg
