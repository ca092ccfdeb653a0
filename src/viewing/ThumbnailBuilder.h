// Builds the thumbnail grid's cells off the user-interface thread, on every core, and hands
// them over strictly in grid order, so the grid grows cell by cell from the top as if built
// one file at a time: a cell appears only once all before it have. Work runs a little ahead of
// the last cell handed over, so the cells the user is about to see are made first.
//
// A file none of the keys opens stops the hand-over at its cell until the grid has asked for
// a key: a key added makes every file that needed one be tried again with all keys, and a
// cancel stops the build with the cells before it. Stopping drops everything not handed over;
// the cells handed over stay.
//
// The desktop's thumbnail cache is used only in a folder that holds no encrypted files: every
// file's name and first bytes are looked at before the first file is made, and a file found
// encrypted later (one written meanwhile) turns the cache off for the rest of the build.
#pragma once

#include "viewing/ThumbnailLoad.h"

#include <QList>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace mv::sandbox {
class Decoders;
} // namespace mv::sandbox

namespace mv::viewing {

class ThumbnailBuilder : public QObject {
    Q_OBJECT

public:
    struct Entry {
        QString path;
        QString name; // as listed
    };
    struct Job {
        QList<Entry> entries; // in grid order
        QString folder;       // where they are listed
        QSize box;            // device pixels
        imaging::DecodeOptions options;
        // The desktop's cache, for a folder without encrypted files; none: memory only.
        std::shared_ptr<const desktop::ThumbnailCache> cache;
        sandbox::Decoders* decoders = nullptr; // the window's decoder helpers
    };

    // threads: how many files are made at once (every core by default).
    explicit ThumbnailBuilder(QObject* parent = nullptr, int threads = 0);
    ~ThumbnailBuilder() override;

    // The keys to try on encrypted files, asked for whenever a file is started; none by default.
    std::function<std::vector<crypto::SecretText>()> keys;

    // Starts a build; one under way is dropped first.
    void start(Job job);
    // A key was added after keyNeeded(): the files that needed one are tried again.
    void keyAdded();
    // Stops the build: nothing more is handed over, and finished() is emitted.
    void stop();

    [[nodiscard]] bool running() const { return running_; }
    // Cells handed over in this build.
    [[nodiscard]] int delivered() const { return next_; }
    // The cell whose key is being waited for, or -1.
    [[nodiscard]] int waitingForKeyAt() const { return waitingForKey_ ? next_ : -1; }
    // Whether this build uses the disk cache (known once the folder was looked at).
    [[nodiscard]] bool usesDiskCache() const { return cache_ != nullptr; }

    // How far ahead of the last cell handed over files are made.
    static constexpr int kLookAhead = 48;

signals:
    // Cell `index` of the job's entries is ready, in order.
    void cellReady(int index, const mv::viewing::ThumbnailOutcome& outcome);
    // Cell `index` is encrypted and no key opens it: answer with keyAdded() or stop().
    void keyNeeded(int index);
    // The build ended: every cell handed over, or stopped.
    void finished();

private:
    void surveyed(quint64 build, bool encryptedFiles);
    void dispatch();
    void launch(int index);
    void arrived(quint64 build, int index, quint64 keyRound, ThumbnailOutcome outcome);
    void handOver();
    void end();

    QThreadPool pool_;
    Job job_;
    std::shared_ptr<const desktop::ThumbnailCache> cache_;
    quint64 build_ = 0;    // bumped by start() and stop(): older results are dropped
    quint64 keyRound_ = 0; // bumped by keyAdded(): older "needs a key" answers are retried
    bool running_ = false;
    bool surveying_ = false;
    bool waitingForKey_ = false;
    int next_ = 0;     // the next cell to hand over
    int launched_ = 0; // cells below this were started (or are done)
    std::map<int, ThumbnailOutcome> ready_;
    std::vector<int> retry_; // cells whose "needs a key" came from an older key round
};

} // namespace mv::viewing
