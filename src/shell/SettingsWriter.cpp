#include "shell/SettingsWriter.h"

#include "shell/RegDocument.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <algorithm>

namespace mv::shell {

using fileutil::FileResult;

namespace {
// A replaced store shows up as several events (the temporary file, the rename); one read
// after they settle is enough.
constexpr int kRereadDelayMs = 50;
} // namespace

SettingsWriter::SettingsWriter(const HiveStore& store, SettingsTiming timing)
    : store_(store), keyPath_(settingsKeyPath()), timing_(timing)
{
}

void SettingsWriter::start()
{
    writeTimer_ = new QTimer(this);
    writeTimer_->setSingleShot(true);
    connect(writeTimer_, &QTimer::timeout, this, [this] { (void)writeNow(); });
    rereadTimer_ = new QTimer(this);
    rereadTimer_->setSingleShot(true);
    rereadTimer_->setInterval(kRereadDelayMs);
    connect(rereadTimer_, &QTimer::timeout, this, &SettingsWriter::reread);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        watchStore();
        rereadTimer_->start();
    });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchStore();
        rereadTimer_->start();
    });
    watchStore();
    // What changed between the first read and the watch is caught here.
    reread();
}

void SettingsWriter::enqueue(const SettingChange& change)
{
    const std::lock_guard guard(mutex_);
    queue_.push_back(change);
    // One wake-up per batch of calls is enough: the worker looks at the whole queue.
    if (wakePosted_)
        return;
    wakePosted_ = true;
    QMetaObject::invokeMethod(
        this, [this] { schedule(); }, Qt::QueuedConnection);
}

void SettingsWriter::schedule()
{
    {
        const std::lock_guard guard(mutex_);
        wakePosted_ = false;
        if (queue_.empty())
            return;
    }
    if (!firstWaiting_.isValid())
        firstWaiting_.start();
    const auto left = std::max<qint64>(0, timing_.longest.count() - firstWaiting_.elapsed());
    writeTimer_->start(int(std::min<qint64>(timing_.quiet.count(), left)));
}

FileResult SettingsWriter::writeNow()
{
    writeTimer_->stop();
    firstWaiting_.invalidate();
    std::vector<SettingChange> batch;
    {
        const std::lock_guard guard(mutex_);
        batch.swap(queue_);
    }
    if (batch.empty())
        return FileResult::success();
    bool changed = false;
    const FileResult r = store_.modify([&](RegDocument& doc) {
        changed = applySettingChanges(doc, keyPath_, batch);
        return changed;
    });
    QList<int> done;
    if (r) {
        storeWrites_ += changed ? 1 : 0;
        for (const SettingChange& c : batch)
            done << int(c.which);
    } else {
        // Nothing of the batch reached the store; keep what still matters for the next
        // attempt (the next change or an explicit flush), ahead of anything queued since.
        const std::vector<size_t> needed = stillNeededChanges(batch);
        std::vector<SettingChange> keep;
        for (size_t i = 0, k = 0; i < batch.size(); ++i) {
            if (k < needed.size() && needed[k] == i) {
                keep.push_back(batch[i]);
                ++k;
            } else {
                done << int(batch[i].which);
            }
        }
        const std::lock_guard guard(mutex_);
        queue_.insert(queue_.begin(), keep.begin(), keep.end());
    }
    emit written(done, fileutil::resultText(r));
    watchStore();
    return r;
}

void SettingsWriter::watchStore()
{
    // The store is replaced by rename, which ends a watch on the file; the folder's watch
    // sees the new file arrive, and the file is watched again. Before the first write
    // anywhere the folder itself may be missing: the nearest folder above it that exists is
    // watched until it appears.
    const QString file = store_.filePath();
    QString dir = QFileInfo(file).absolutePath();
    while (!QFileInfo(dir).isDir() && dir != QLatin1String("/"))
        dir = QFileInfo(dir).absolutePath();
    QStringList wanted;
    if (!watcher_->directories().contains(dir))
        wanted << dir;
    if (QFileInfo::exists(file) && !watcher_->files().contains(file))
        wanted << file;
    if (!wanted.isEmpty())
        (void)watcher_->addPaths(wanted);
    QStringList stale = watcher_->directories();
    stale.removeAll(dir);
    if (!stale.isEmpty())
        (void)watcher_->removePaths(stale);
}

void SettingsWriter::reread()
{
    RegDocument doc;
    if (!store_.read(&doc))
        return; // a store we can't read now tells us nothing new
    QStringList values;
    values.reserve(kSettingCount);
    for (int i = 0; i < kSettingCount; ++i) {
        const RegValue* v = doc.findValue(keyPath_, settingInfo(Setting(i)).name);
        values << (v && v->isString ? v->text : QString());
    }
    emit storeSeen(values);
}

} // namespace mv::shell
