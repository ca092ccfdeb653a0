// Runs the viewer's loads on worker threads so the window never waits for a decoder. Only the
// latest request is delivered: one load runs at a time and a newer request replaces one that
// has not started, so holding an arrow key never piles up work; a load that finishes after a
// newer request is kept for later but not shown. While the user looks at a picture, its
// neighbours are prepared with the keys already in hand and kept in a memory-bounded cache.
#pragma once

#include "viewing/PictureLoad.h"
#include "viewing/PreparedCache.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <deque>
#include <optional>

namespace mv::viewing {

class PictureLoader : public QObject {
    Q_OBJECT

public:
    // Decodes through decoders (the program's helper pool), which must outlive the loader.
    explicit PictureLoader(sandbox::Decoders& decoders, QObject* parent = nullptr,
                           qint64 cacheBudget = qint64(512) << 20);
    ~PictureLoader() override;
    // Decodes through others from now on: for the benchmarks that put decoding in this process
    // beside the helpers. Only while nothing loads.
    void setDecoders(sandbox::Decoders& decoders) { decoders_ = &decoders; }
    [[nodiscard]] sandbox::Decoders& decoders() const { return *decoders_; }

    // The prepared picture for request, if there is one: shown at once, no worker needed.
    [[nodiscard]] SharedOutcome prepared(const PictureRequest& request);
    // Whether request's picture is being prepared now: a load() of it waits for that.
    [[nodiscard]] bool preparing(const PictureRequest& request) const
    {
        return isPreparing(preparedKey(request));
    }
    // Loads request; loaded() brings the outcome unless a newer load() or cancel() came first.
    // Returns the ticket loaded() will carry.
    quint64 load(PictureRequest request);
    // Drops whatever was asked; nothing more is delivered until the next load().
    void cancel();
    // The pictures to prepare next, nearest first; replaces the earlier list. Never shown and
    // never asking for a key.
    void prepare(std::vector<PictureRequest> requests);
    // How many preparations may run at once: one beside the window while the user looks, two
    // while the user travels through the list and no load is waited for.
    void setPreparingLanes(int lanes) { lanes_ = qBound(1, lanes, kMaxPreparingLanes); }
    // Forgets every prepared picture (the keys were cleared, the options changed).
    void forgetPrepared();

    [[nodiscard]] bool busy() const { return running_ || next_.has_value(); }
    // Nothing loads and nothing is being prepared.
    [[nodiscard]] bool idle() const { return !busy() && preparingKeys_.isEmpty() && toPrepare_.empty(); }
    [[nodiscard]] const PreparedCache& cache() const { return cache_; }

signals:
    void loaded(quint64 ticket, mv::viewing::SharedOutcome outcome);
    // Any load or preparation ended, shown or not, after `ms` on its worker.
    void loadTook(bool firstLook, qint64 ms);

private:
    struct Job {
        quint64 ticket = 0; // 0: a preparation
        QString key;
        PictureRequest request;
    };

    void start(Job job);
    void finished(const Job& job, const SharedOutcome& outcome, quint64 epoch);
    void startPreparing();
    [[nodiscard]] bool isPreparing(const QString& key) const;

    static constexpr int kMaxPreparingLanes = 2;

    sandbox::Decoders* decoders_;
    QThreadPool pool_;
    PreparedCache cache_;
    quint64 latest_ = 0;
    QString wantedKey_;         // the key of the latest load, while it is not delivered
    bool running_ = false;      // a load runs
    QString runningKey_;        // and this is its key
    quint64 delivered_ = 0;     // the last ticket loaded() brought
    QStringList preparingKeys_; // of the preparations running
    int lanes_ = 1;
    std::optional<Job> next_; // the load to start when the running one ends
    std::deque<Job> toPrepare_;
    quint64 epoch_ = 0; // bumped by forgetPrepared: older results are not kept
};

} // namespace mv::viewing
