#include "viewing/SlideshowPlan.h"

#include "browser/TypeTable.h"
#include "crypto/EncryptedNames.h"

#include <algorithm>
#include <utility>

namespace mv::viewing {

int SlideshowPlan::intervalOrDefault(qint64 seconds)
{
    const bool offered =
        std::find(kIntervalSeconds.begin(), kIntervalSeconds.end(), seconds) != kIntervalSeconds.end();
    return offered ? int(seconds) : kDefaultSeconds;
}

SlideshowPlan::SlideshowPlan(QStringList names, int startRow, int intervalSeconds, bool keysInHand,
                             Clock clock)
    : names_(std::move(names)), start_(qMax(0, startRow)), intervalUs_(qint64(intervalSeconds) * 1000000),
      keysInHand_(keysInHand), clock_(std::move(clock))
{
    current_ = start_ - 1;
    dueAt_ = clock_();
}

bool SlideshowPlan::showable(const QString& name) const
{
    if (crypto::HasEncryptedName(name))
        return keysInHand_ && browser::IsViewableName(crypto::PlainName(name));
    return browser::IsViewableName(name);
}

int SlideshowPlan::nextFrom(int row) const
{
    for (int at = qMax(0, row); at < names_.size(); ++at)
        if (showable(names_[at]))
            return at;
    return -1;
}

void SlideshowPlan::shown(int row)
{
    current_ = row;
    dueAt_ = clock_() + intervalUs_;
}

void SlideshowPlan::passedOver(int row)
{
    current_ = row;
    dueAt_ = clock_();
}

qint64 SlideshowPlan::untilNextUs() const
{
    return qMax<qint64>(0, dueAt_ - clock_());
}

} // namespace mv::viewing
