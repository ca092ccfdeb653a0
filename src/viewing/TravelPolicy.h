// How the viewer looks ahead while the user moves through the file list. A key held down steps
// faster than a picture decodes sharp: then each step shows a first look (a small picture,
// from the file's embedded preview or a reduced decode), the sharp picture is loaded only if
// the user stays on it a moment, and the workers prepare first looks ahead. Whenever a worker
// is free it takes the nearest row whose look, at the measured time a look takes, lands before
// the user has passed that row, even one as slow as looks have lately been: a look that would
// land behind the user is never begun, and none waits for the next step to be planned. A
// step's own look is loaded at once only when looks are quicker than steps; slower, it would
// be shown after the user has moved on. Once the user stops, the neighbours are prepared
// sharp: two ahead in the direction of travel and one behind. Times are passed in
// (milliseconds of one steady clock), so the rules run without a window or timers.
#pragma once

#include <QtGlobal>

#include <vector>

namespace mv::viewing {

// Rows to prepare beside the window, nearest first, and how many preparations may run at once.
struct Preparation {
    std::vector<int> rows;
    int lanes = 1;

    friend bool operator==(const Preparation&, const Preparation&) = default;
};

class TravelPolicy {
public:
    // Steps closer than this are one journey through the list (an arrow key held down).
    static constexpr qint64 kTravelMs = 250;

    // The selection is now `row`, at `nowMs`. Only a step to the next entry soon after the
    // last step is travel; a jump elsewhere, or a first step, is a new selection. Returns
    // whether the row changed: travel then ends unless another step comes within kTravelMs
    // (the caller's timer calls stop()).
    bool select(int row, qint64 nowMs);
    // No step came for kTravelMs: the user has stopped.
    void stop() { stepMs_ = 0; }

    [[nodiscard]] bool travelling() const { return stepMs_ > 0; }
    // +1 down the list, -1 up: the way the last step went.
    [[nodiscard]] int direction() const { return direction_; }
    // The time between the last two steps of a journey, 0 when not travelling.
    [[nodiscard]] qint64 stepMs() const { return stepMs_; }
    // How long a first look takes here, a moving estimate.
    [[nodiscard]] double lookMs() const { return lookMs_; }

    // How long the selection's sharp load waits for the user to stay on it: 0 (at once) when
    // not travelling, else two step intervals, at most kTravelMs.
    [[nodiscard]] qint64 loadDelayMs() const;
    // Travelling, whether a step's own first look is loaded at once: only when looks take
    // less than a step.
    [[nodiscard]] bool lookAtOnce() const { return lookMs_ < double(stepMs_); }

    // A first look took `ms` to load, whether it was shown, prepared or came too late.
    void lookTook(qint64 ms);

    // What to prepare at `nowMs` while `row` is selected: travelling, first looks on two lanes,
    // from the nearest row whose look would still land while the user is on it (the keyboard's
    // steps and the looks' time as measured so far); otherwise the neighbours, sharp, one at a
    // time.
    [[nodiscard]] Preparation toPrepare(int row, qint64 nowMs) const;

private:
    int lastRow_ = -1;
    int direction_ = 1;
    qint64 lastStepAt_ = -1;
    qint64 stepMs_ = 0;
    double lookMs_ = 50;
    double lookSpreadMs_ = 0; // how far a look's time strays from lookMs_, a moving estimate
};

} // namespace mv::viewing
