// The old drawing interface combined what it drew with what was there by bitwise raster
// operations: binary ones for pens and brushes (SetROP2), ternary ones for blits. Those that
// depend on at most two of source, pattern and destination map onto QPainter's raster-op
// composition modes.
#pragma once

#include <QPainter>

#include <cstdint>

namespace mv::imaging::metafile {

// What a blit or a shape combines with the destination.
enum class RopInput {
    None,
    Source,
    Pattern
};

struct RasterOp {
    RopInput input = RopInput::Source;
    // Copying when false: the plain source-over drawing every paint device has.
    bool bitwise = false;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    bool leavesDestination = false; // nothing to draw at all
};

inline constexpr int kR2CopyPen = 13;

// A SetROP2 value (1 to 16); others copy.
RasterOp binaryRop(int rop2);
// The ternary operation of a blit (its index in bits 16 to 23). One that needs source, pattern
// and destination together is drawn as a plain copy of the source.
RasterOp ternaryRop(std::uint32_t rop3);

// Puts the operation on the painter; false when the painter cannot do it (not a raster
// device) and the shape had better be drawn by copying.
bool applyRasterOp(QPainter& painter, const RasterOp& op);

} // namespace mv::imaging::metafile
