// The Secured Access List as the running program holds it: the entries, numbered from 1, with
// their memory-only keys and running marks. One object, owned by the main window and handed
// to the setup windows, the list jobs' callers and the launch.
#pragma once

#include "secured/QuickItem.h"
#include "secured/QuickListStore.h"

#include <QObject>

#include <vector>

namespace mv::secured {

class QuickListState : public QObject {
    Q_OBJECT

public:
    explicit QuickListState(QObject* parent = nullptr);
    ~QuickListState() override;

    // The entry count; entries are numbered 1..count().
    [[nodiscard]] int count() const { return int(items_.size()); }
    [[nodiscard]] bool isEntry(int n) const { return n >= 1 && n <= count(); }
    // Entry `n`, which must exist.
    [[nodiscard]] QuickItem& entry(int n) { return items_[size_t(n - 1)]; }
    [[nodiscard]] const QuickItem& entry(int n) const { return items_[size_t(n - 1)]; }

    // Appends an entry and returns its number.
    int appendEntry(QuickItem item);
    // Deletes entry `n`; every later entry moves down by one place. An entry whose program
    // is running is never deleted (false).
    bool deleteEntry(int n);

    // `LoadQuickList`: the entries from the store, none with a key or running.
    void LoadQuickList();
    // `SaveQuickList`: the whole list to the store (written on a worker).
    void SaveQuickList();
    [[nodiscard]] QuickListStore& store() { return store_; }

signals:
    // Entries were loaded, added or deleted: the combo box and the menus are built anew.
    void listChanged();

private:
    std::vector<QuickItem> items_;
    QuickListStore store_;
};

} // namespace mv::secured
