#pragma once

#include "fileutil/FileResult.h"
#include "shell/SettingChange.h"
#include "shell/SettingsWriter.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace mv::shell {

// The "Settings" section of this user's store, held in memory for the life of the program.
//
// The section is read once, when the object is made. Readers never touch the disk. Writers
// change memory at once and hand the change to a worker thread, which writes a burst of
// changes (a window being resized writes thirteen values per step) in one durable store
// modification, in the order they were made, once the burst has been quiet for a moment
// (SettingsTiming), and never much later than its first change. The calling thread never
// waits for the disk, except in flush().
//
// Values another copy of the program writes are picked up: the store file is watched, read
// again on the worker, and every value with no write of ours still waiting takes the
// stored text; changedElsewhere() then names what changed.
//
// Use from the thread that made the object.
class AppSettings : public QObject {
    Q_OBJECT
public:
    explicit AppSettings(QObject* parent = nullptr, SettingsTiming timing = {});
    // Writes what is still waiting (as flush() does) before it goes.
    ~AppSettings() override;

    // Why the first read found nothing to use (an unreadable or damaged store); empty when
    // it went well. Values then read as absent, as every reader expects.
    const fileutil::FileResult& loadResult() const { return loadResult_; }

    // Absent and empty are the same: empty text.
    QString text(Setting which) const { return values_[size_t(which)]; }
    // The stored value read as its kind; nothing when absent or not understood.
    std::optional<qint64> number(Setting which) const;
    std::optional<bool> truth(Setting which) const;
    // The stored value, else the catalogue's default, else nothing (values whose default
    // is the window's or the image control's own).
    std::optional<qint64> numberOrDefault(Setting which) const;
    std::optional<bool> truthOrDefault(Setting which) const;

    void setText(Setting which, const QString& text);
    void setNumber(Setting which, qint64 value);
    void setTruth(Setting which, bool value);
    // DeleteSetting: queued in order with the writes.
    void remove(Setting which);
    // Removes the value only if it still holds `expected` when the store is written, so a
    // value another copy put there meanwhile survives: the "hWnd" marker of a later first
    // copy, or a newer file in the "StartupImage" mailbox.
    void removeIfEquals(Setting which, const QString& expected);
    // Applies a list of writes (see saveSettingsWrites) in order.
    void apply(const std::vector<SettingChange>& changes);

    // Reads the value from the store now, on the calling thread (a short read of one small
    // file): another process may have written it just before it signalled us. A change of
    // ours to the same value still waiting is flushed first. Memory takes the stored value.
    QString readFresh(Setting which);

    // Blocks until everything queued so far is on disk, or has failed: at exit, and before a
    // hand-over message that the other copy answers by reading the store.
    fileutil::FileResult flush();

    int storeWritesForTesting() const { return writer_->storeWritesForTesting(); }

signals:
    // Values another copy of the program changed in the store.
    void changedElsewhere(QList<mv::shell::Setting> which);
    // A write to the store failed; the changes stay queued for the next write or flush().
    void writeFailed(QString reason);

private:
    void queue(const SettingChange& change);
    void takeStored(const QStringList& stored);
    void settle(const QList<int>& done, const QString& error);

    HiveStore store_;
    fileutil::FileResult loadResult_;
    std::array<QString, kSettingCount> values_;
    // Changes of each value handed to the worker and not yet settled.
    std::array<int, kSettingCount> waiting_ {};
    QThread thread_;
    SettingsWriter* writer_ = nullptr;
};

} // namespace mv::shell
