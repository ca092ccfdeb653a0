#include "secured/QuickListState.h"

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
    emit listChanged();
    return true;
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
