// The Secured Access List as the running program holds it: the entries, numbered from 1, with
// their memory-only keys and running marks. One object, owned by the main window and handed
// to the setup windows, the list jobs' callers and the launch.
#pragma once

#include "secured/QuickItem.h"
#include "secured/QuickListStore.h"

#include <QObject>

#include <optional>
#include <vector>

namespace mv::secured {

// One program started from an entry and watched until it, and all it started, has ended.
struct PendingApp {
    quint64 id = 0; // this start's own number, never used again
    int Entry = 0;  // the entry's number (kept right when an earlier entry is deleted)
    QString Data;   // the entry's files at the start: the files to encrypt again
    // The key to encrypt them with, in guarded memory until the re-lock. "Clear Passwords"
    // and the forget-on-lock rule empty the key cache, never this key: the files would stay
    // plain.
    crypto::SecretText Key;
};

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

    // `PendingApps`: the programs started from the list and still watched, in start order.
    [[nodiscard]] const std::vector<PendingApp>& PendingApps() const { return pending_; }
    // `PendingCount`: while above 0 the main window refuses to close and the setup to open.
    [[nodiscard]] int PendingCount() const { return int(pending_.size()); }
    // A program of entry `n` has started and is watched from now on: entry `n` is `Running`
    // and keeps `key` for the re-lock. Returns the record's id.
    quint64 addPending(int n, crypto::SecretText key);
    // The program of record `id` has ended: its record leaves the list (with the key, for
    // the re-lock) and its entry is no longer `Running`. Nothing when there is no such record.
    std::optional<PendingApp> takePending(quint64 id);

    // Choosing entry `n` from the combo box or a menu: starts it once the launch is wired to
    // entryChosen(); until then this does nothing but emit the signal.
    void chooseEntry(int n);

    // `LoadQuickList`: the entries from the store, none with a key or running.
    void LoadQuickList();
    // `SaveQuickList`: the whole list to the store (written on a worker).
    void SaveQuickList();
    [[nodiscard]] QuickListStore& store() { return store_; }

signals:
    // Entries were loaded, added or deleted: the combo box and the menus are built anew.
    void listChanged();
    // PendingCount() changed.
    void pendingChanged(int count);
    // The user chose entry `n` to start (see chooseEntry).
    void entryChosen(int n);

private:
    std::vector<QuickItem> items_;
    std::vector<PendingApp> pending_;
    quint64 lastId_ = 0;
    QuickListStore store_;
};

} // namespace mv::secured
