#include "secured/QuickListState.h"

#include <algorithm>

namespace mv::secured {

QuickListState::QuickListState(QObject* parent) : QObject(parent) {}

QuickListState::~QuickListState() = default;

int QuickListState::appendEntry(QuickItem item)
{
    items_.push_back(std::move(item));
    emit listChanged();
    return count();
}

bool QuickListState::deleteEntry(int n)
{
    if (!isEntry(n) || entry(n).Running)
        return false;
    items_.erase(items_.begin() + (n - 1));
    for (PendingApp& app : pending_) {
        if (app.Entry > n)
            --app.Entry;
    }
    emit listChanged();
    return true;
}

quint64 QuickListState::addPending(int n, crypto::SecretText key)
{
    PendingApp app;
    app.id = ++lastId_;
    app.Entry = n;
    if (isEntry(n)) {
        app.Data = entry(n).Data;
        entry(n).Running = true;
    }
    app.Key = std::move(key);
    pending_.push_back(std::move(app));
    emit pendingChanged(PendingCount());
    return lastId_;
}

std::optional<PendingApp> QuickListState::takePending(quint64 id)
{
    const auto found =
        std::find_if(pending_.begin(), pending_.end(), [id](const PendingApp& app) { return app.id == id; });
    if (found == pending_.end())
        return std::nullopt;
    PendingApp app = std::move(*found);
    pending_.erase(found);
    if (isEntry(app.Entry))
        entry(app.Entry).Running =
            std::any_of(pending_.begin(), pending_.end(),
                        [&](const PendingApp& other) { return other.Entry == app.Entry; });
    emit pendingChanged(PendingCount());
    return app;
}

void QuickListState::chooseEntry(int n)
{
    emit entryChosen(n);
}

void QuickListState::LoadQuickList()
{
    items_.clear();
    for (StoredQuickItem& stored : store_.load()) {
        QuickItem item;
        static_cast<StoredQuickItem&>(item) = std::move(stored);
        items_.push_back(std::move(item));
    }
    emit listChanged();
}

void QuickListState::SaveQuickList()
{
    std::vector<StoredQuickItem> stored;
    stored.reserve(items_.size());
    for (const QuickItem& item : items_)
        stored.push_back(item);
    store_.save(std::move(stored));
}

} // namespace mv::secured
