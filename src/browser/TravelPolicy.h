// How the viewer looks ahead while the user moves through the file list. A key held down steps
// faster than a picture decodes: then a step's own picture is loaded only if the user stays on
// it a moment, and the pictures where the user will be when a decode ends are prepared instead,
// the lead following the measured load time. Once the user stops, the neighbours are prepared:
// two ahead in the direction of travel and one behind. Times are passed in (milliseconds of
// one steady clock), so the rules run without a window or timers.
#pragma once

#include <QtGlobal>

#include <vector>

namespace mv::browser {

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
    // How long a load of the selection's picture takes here, a moving estimate.
    [[nodiscard]] double loadMs() const { return loadMs_; }

    // How long the selection's own load waits for the user to stay on it: 0 (at once) when
    // not travelling, else two step intervals, at most kTravelMs.
    [[nodiscard]] qint64 loadDelayMs() const;

    // A load of the selection's own picture started at `nowMs`; the next one shown ended it.
    void loadStarted(qint64 nowMs) { requestedAt_ = nowMs; }
    void loadShown(qint64 nowMs);

    // What to prepare while `row` is selected: travelling, the two rows where the user will
    // be when a load ends, on two lanes; otherwise the neighbours, one at a time.
    [[nodiscard]] Preparation toPrepare(int row) const;

private:
    int lastRow_ = -1;
    int direction_ = 1;
    qint64 lastStepAt_ = -1;
    qint64 stepMs_ = 0;
    qint64 requestedAt_ = 0;
    double loadMs_ = 100;
};

} // namespace mv::browser
