#include "viewing/TravelPolicy.h"

#include <cmath>

namespace mv::viewing {

namespace {

// The furthest ahead a journey prepares, in rows: beyond it a prepared picture would more
// likely be passed by than met.
constexpr int kMaxLead = 12;
// Rows offered to the workers at once: the lanes' next rows and a spare for each, for rows
// already prepared or being prepared.
constexpr int kRowsOffered = 4;
// A look is planned to land this much of a step before the user leaves its row, so that one a
// little slower than the estimate still lands in time.
constexpr double kStepSlack = 0.5;

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

void TravelPolicy::lookTook(qint64 ms)
{
    lookSpreadMs_ = 0.7 * lookSpreadMs_ + 0.3 * std::abs(double(ms) - lookMs_);
    lookMs_ = 0.7 * lookMs_ + 0.3 * double(ms);
}

qint64 TravelPolicy::loadDelayMs() const
{
    return travelling() ? qMin<qint64>(kTravelMs, 2 * stepMs_) : 0;
}

Preparation TravelPolicy::toPrepare(int row, qint64 nowMs) const
{
    const int d = direction_;
    if (!travelling())
        return {{row + d, row + 2 * d, row - d}, 1};
    // Held down, the key may outrun even a first look. The user reaches row + k at
    // lastStepAt_ + k steps and leaves it a step later; a look begun now lands at now plus a
    // look. The nearest k whose look lands in time is the first worth a worker: a nearer one
    // would be shown to nobody, a farther one leaves rows unseen that could have been shown.
    // Looks vary (two share the processor with the window), so the plan allows for a slow
    // one: one that lands early waits in the cache, one that lands late is lost.
    const double step = double(stepMs_);
    const double slowLook = lookMs_ + 2 * lookSpreadMs_;
    const double lands = double(nowMs - lastStepAt_) + slowLook + kStepSlack * step;
    const int lead = qBound(1, int(std::ceil(lands / step)) - 1, kMaxLead);
    Preparation plan {{}, 2};
    for (int k = lead; k < lead + kRowsOffered; ++k)
        plan.rows.push_back(row + k * d);
    return plan;
}

} // namespace mv::viewing
