// Pictures decoded ahead of the user, kept while they fit in a memory budget: the least
// recently used go first. A key names the file as it was (path, size, modification time) and
// how it was decoded, so a changed file or other options never get a stale picture.
#pragma once

#include "viewing/PictureLoad.h"

#include <QString>

#include <list>
#include <memory>

namespace mv::viewing {

using SharedOutcome = std::shared_ptr<const PictureOutcome>;

// The cache key of a request: empty when the file cannot be looked at.
QString preparedKey(const PictureRequest& request);

class PreparedCache {
public:
    explicit PreparedCache(qint64 budgetBytes) : budget_(budgetBytes) {}

    // The picture under key, now the most recently used; null when there is none.
    [[nodiscard]] SharedOutcome find(const QString& key);
    // Keeps a shown picture; pictures that alone exceed the budget are not kept.
    void insert(const QString& key, SharedOutcome outcome);
    void clear();
    [[nodiscard]] qint64 bytesHeld() const { return held_; }
    [[nodiscard]] int count() const { return int(entries_.size()); }

private:
    struct Entry {
        QString key;
        SharedOutcome outcome;
        qint64 bytes = 0;
    };

    qint64 budget_;
    qint64 held_ = 0;
    std::list<Entry> entries_; // most recently used first
};

} // namespace mv::viewing
