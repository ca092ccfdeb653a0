// The order and timing of a slideshow, without a window or a timer: from the picture it
// starts on, each picture of the file list in turn, one every interval, to the end of the list.
// Names that are not pictures are passed over; so are encrypted pictures while no key is in
// hand, and those the keys in hand do not open (the show never stops to ask for one). Times come
// from the clock it is given, in microseconds of one steady clock.
#pragma once

#include <QStringList>

#include <array>
#include <functional>

namespace mv::viewing {

class SlideshowPlan {
public:
    using Clock = std::function<qint64()>;

    // The intervals offered, in seconds; the first is the shortest.
    static constexpr std::array<int, 4> kIntervalSeconds = {2, 4, 8, 16};
    static constexpr int kDefaultSeconds = 4;
    // A stored interval that is not one of those offered reads as the default.
    [[nodiscard]] static int intervalOrDefault(qint64 seconds);

    SlideshowPlan(QStringList names, int startRow, int intervalSeconds, bool keysInHand, Clock clock);

    // The row to show first, or -1 when nothing from startRow on can be shown.
    [[nodiscard]] int first() const { return nextFrom(start_); }
    // The row to show after the one on show, -1 at the end of the list.
    [[nodiscard]] int upcoming() const { return nextFrom(current_ + 1); }
    [[nodiscard]] int current() const { return current_; }

    // The picture of `row` went on show now: the next one is due an interval later.
    void shown(int row);
    // `row` could not be shown: the next one is due at once.
    void passedOver(int row);
    // Microseconds until the next picture is due, 0 when it is due now.
    [[nodiscard]] qint64 untilNextUs() const;

private:
    [[nodiscard]] int nextFrom(int row) const;
    [[nodiscard]] bool showable(const QString& name) const;

    QStringList names_;
    int start_;
    qint64 intervalUs_;
    bool keysInHand_;
    Clock clock_;
    int current_ = -1;
    qint64 dueAt_ = 0;
};

} // namespace mv::viewing
