#pragma once

#include "fileutil/FileResult.h"
#include "shell/HiveStore.h"
#include "shell/SettingChange.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

class QFileSystemWatcher;
class QTimer;

namespace mv::shell {

// How long the writer waits before it writes: `quiet` after the last change, but never more
// than `longest` after the first change still waiting.
struct SettingsTiming {
    std::chrono::milliseconds quiet {300};
    std::chrono::milliseconds longest {2000};
};

// The worker side of AppSettings; lives on AppSettings' thread. Changes are queued from any
// thread and written together in one durable store modification; the store file is
// watched and re-read when someone else replaces it.
class SettingsWriter : public QObject {
    Q_OBJECT
public:
    SettingsWriter(const HiveStore& store, SettingsTiming timing);

    // Thread-safe. Queues `change` and wakes the worker.
    void enqueue(const SettingChange& change);

    // Worker thread only: writes everything queued now.
    fileutil::FileResult writeNow();

    // Worker thread only: the number of store modifications that changed the file.
    int storeWritesForTesting() const { return storeWrites_.load(); }

public slots:
    // Worker thread: sets up the timers and the watch.
    void start();

signals:
    // `done` lists the Setting of each queued change that is now settled: written, or
    // replaced by a later change of the same value. `error` is empty after a success.
    void written(QList<int> done, QString error);
    // The section as the store holds it now, one text per Setting (empty when absent).
    void storeSeen(QStringList values);

private:
    void schedule();
    void watchStore();
    void reread();

    const HiveStore store_;
    const QString keyPath_;
    const SettingsTiming timing_;

    std::mutex mutex_;
    std::vector<SettingChange> queue_; // under mutex_
    bool wakePosted_ = false;          // under mutex_

    QElapsedTimer firstWaiting_;
    QTimer* writeTimer_ = nullptr;
    QTimer* rereadTimer_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    std::atomic<int> storeWrites_ = 0;
};

} // namespace mv::shell
