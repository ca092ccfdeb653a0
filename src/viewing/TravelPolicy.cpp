#include "viewing/TravelPolicy.h"

namespace mv::viewing {

namespace {

// The furthest ahead a journey prepares, in rows: beyond it a prepared picture would more
// likely be passed by than met.
constexpr int kMaxLead = 8;

} // namespace

bool TravelPolicy::select(int row, qint64 nowMs)
{
    const bool moved = lastRow_ >= 0 && row != lastRow_;
    if (moved) {
        direction_ = row > lastRow_ ? 1 : -1;
        // Only steps to the next entry make a journey; a jump elsewhere is a new selection.
        const bool nextEntry = qAbs(row - lastRow_) == 1;
        stepMs_ = nextEntry && lastStepAt_ >= 0 && nowMs - lastStepAt_ < kTravelMs
                      ? qMax<qint64>(1, nowMs - lastStepAt_)
                      : 0;
        lastStepAt_ = nowMs;
    }
    lastRow_ = row;
    return moved;
}

qint64 TravelPolicy::loadDelayMs() const
{
    return travelling() ? qMin<qint64>(kTravelMs, 2 * stepMs_) : 0;
}

Preparation TravelPolicy::toPrepare(int row) const
{
    const int d = direction_;
    if (!travelling())
        return {{row + d, row + 2 * d, row - d}, 1};
    // Held down, the key may outrun even a first look: prepare where the user will be when a
    // look ends, with a step to spare for a look slower than the estimate, so that the
    // pictures met on the way are shown at once.
    const int lead = qBound(1, int(lookMs_ / double(stepMs_)) + 2, kMaxLead);
    return {{row + lead * d, row + (lead + 1) * d}, 2};
}

} // namespace mv::viewing
