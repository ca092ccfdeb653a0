#include "imaging/metafile/GdiRasterOps.h"

#include <QPaintEngine>

namespace mv::imaging::metafile {

namespace {

using Mode = QPainter::CompositionMode;

// A two-input function by its truth table: bit (x << 1 | d) holds f(x, d).
RasterOp fromTable(unsigned table, RopInput input)
{
    static constexpr Mode kModes[16] = {
        QPainter::RasterOp_ClearDestination,           // 0
        QPainter::RasterOp_NotSourceAndNotDestination, // ~(x | d)
        QPainter::RasterOp_NotSourceAndDestination,    // ~x & d
        QPainter::RasterOp_NotSource,                  // ~x
        QPainter::RasterOp_SourceAndNotDestination,    // x & ~d
        QPainter::RasterOp_NotDestination,             // ~d
        QPainter::RasterOp_SourceXorDestination,       // x ^ d
        QPainter::RasterOp_NotSourceOrNotDestination,  // ~(x & d)
        QPainter::RasterOp_SourceAndDestination,       // x & d
        QPainter::RasterOp_NotSourceXorDestination,    // ~(x ^ d)
        QPainter::CompositionMode_DestinationOver,     // d: unused, see leavesDestination
        QPainter::RasterOp_NotSourceOrDestination,     // ~x | d
        QPainter::CompositionMode_SourceOver,          // x
        QPainter::RasterOp_SourceOrNotDestination,     // x | ~d
        QPainter::RasterOp_SourceOrDestination,        // x | d
        QPainter::RasterOp_SetDestination,             // 1
    };
    table &= 0xF;
    RasterOp op;
    op.input = input;
    op.mode = kModes[table];
    op.bitwise = table != 0xC;
    op.leavesDestination = table == 0xA;
    // Functions of the destination alone (or constants) need nothing to draw with.
    const bool usesInput = ((table >> 2) & 3) != (table & 3);
    if (!usesInput)
        op.input = RopInput::None;
    return op;
}

} // namespace

RasterOp binaryRop(int rop2)
{
    if (rop2 < 1 || rop2 > 16)
        return fromTable(0xC, RopInput::Pattern);
    return fromTable(unsigned(rop2 - 1), RopInput::Pattern);
}

RasterOp ternaryRop(std::uint32_t rop3)
{
    // Bit (p << 2 | s << 1 | d) of the index holds f(p, s, d).
    const unsigned index = (rop3 >> 16) & 0xFF;
    const unsigned withoutPattern = index & 0xF;
    if ((index >> 4) == withoutPattern)
        return fromTable(withoutPattern, RopInput::Source);
    const unsigned pd = (index & 0x3) | ((index >> 2) & 0xC);
    const bool ignoresSource = ((index >> 2) & 0x33) == (index & 0x33);
    if (ignoresSource)
        return fromTable(pd, RopInput::Pattern);
    return fromTable(0xC, RopInput::Source);
}

bool applyRasterOp(QPainter& painter, const RasterOp& op)
{
    if (!op.bitwise) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return true;
    }
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || !engine->hasFeature(QPaintEngine::RasterOpModes)) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return false;
    }
    painter.setCompositionMode(op.mode);
    return true;
}

} // namespace mv::imaging::metafile
