#include "viewing/PictureLoader.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>

namespace mv::viewing {

PictureLoader::PictureLoader(sandbox::Decoders& decoders, QObject* parent, qint64 cacheBudget)
    : QObject(parent), decoders_(&decoders), cache_(cacheBudget)
{
    qRegisterMetaType<mv::viewing::SharedOutcome>("mv::viewing::SharedOutcome");
    // Up to two preparations, and the picture the user asked for never waits for a thread.
    pool_.setMaxThreadCount(kMaxPreparingLanes + 1);
}

PictureLoader::~PictureLoader()
{
    pool_.waitForDone();
}

SharedOutcome PictureLoader::prepared(const PictureRequest& request)
{
    return cache_.find(preparedKey(request));
}

quint64 PictureLoader::load(PictureRequest request)
{
    Job job {++latest_, preparedKey(request), std::move(request)};
    wantedKey_ = job.key;
    // The same picture already on its way (prepared, or loaded for an earlier selection) is
    // waited for; this job runs only if that one does not bring a picture.
    const bool onItsWay =
        !job.key.isEmpty() && (isPreparing(job.key) || (running_ && runningKey_ == job.key));
    if (running_ || onItsWay)
        next_ = std::move(job);
    else
        start(std::move(job));
    return latest_;
}

void PictureLoader::cancel()
{
    delivered_ = ++latest_;
    wantedKey_.clear();
    next_.reset();
    toPrepare_.clear();
}

void PictureLoader::prepare(std::vector<PictureRequest> requests)
{
    toPrepare_.clear();
    for (PictureRequest& r : requests) {
        QString key = preparedKey(r);
        if (!key.isEmpty())
            toPrepare_.push_back({0, std::move(key), std::move(r)});
    }
    startPreparing();
}

void PictureLoader::forgetPrepared()
{
    ++epoch_;
    cache_.clear();
    toPrepare_.clear();
}

void PictureLoader::start(Job job)
{
    if (job.ticket) {
        running_ = true;
        runningKey_ = job.key;
    } else {
        preparingKeys_.push_back(job.key);
    }
    const quint64 epoch = epoch_;
    QPointer<PictureLoader> self(this);
    job.request.urgent = job.ticket != 0;
    sandbox::Decoders* decoders = decoders_;
    pool_.start([self, job = std::move(job), epoch, decoders]() mutable {
        QElapsedTimer took;
        took.start();
        auto made = std::make_shared<PictureOutcome>(loadPicture(job.request, *decoders));
        made->loadMs = took.elapsed();
        SharedOutcome outcome = std::move(made);
        // The loader outlives its pool's jobs (its destructor waits for them).
        QMetaObject::invokeMethod(
            self.data(),
            [self, job = std::move(job), outcome, epoch] {
                if (self)
                    self->finished(job, outcome, epoch);
            },
            Qt::QueuedConnection);
    });
}

void PictureLoader::finished(const Job& job, const SharedOutcome& outcome, quint64 epoch)
{
    if (job.ticket)
        running_ = false;
    else
        preparingKeys_.removeOne(job.key);
    // A picture begun before forgetPrepared() (keys cleared, say) is not kept, whatever job made it.
    if (epoch == epoch_)
        cache_.insert(job.key, outcome);
    // Kept first: whoever plans the next preparations on hearing of this one sees it done.
    emit loadTook(job.request.firstLook, outcome->loadMs);
    // The latest load's own outcome, or the same picture shown by an earlier job.
    const bool byKey = !wantedKey_.isEmpty() && job.key == wantedKey_ && outcome->shown();
    if (delivered_ != latest_ && (job.ticket == latest_ || byKey)) {
        delivered_ = latest_;
        wantedKey_.clear();
        if (next_ && next_->ticket == latest_)
            next_.reset();
        emit loaded(latest_, outcome);
    }
    if (next_ && !running_ && !isPreparing(next_->key)) {
        Job job2 = std::move(*next_);
        next_.reset();
        start(std::move(job2));
    }
    startPreparing();
}

bool PictureLoader::isPreparing(const QString& key) const
{
    return !key.isEmpty() && preparingKeys_.contains(key);
}

void PictureLoader::startPreparing()
{
    // While the user waits for a load, one preparation at most shares the processor with it.
    const qsizetype lanes = running_ ? 1 : lanes_;
    while (!toPrepare_.empty() && preparingKeys_.size() < lanes) {
        Job job = std::move(toPrepare_.front());
        toPrepare_.pop_front();
        if (cache_.find(job.key) || job.key == wantedKey_ || isPreparing(job.key))
            continue;
        start(std::move(job));
    }
}

} // namespace mv::viewing
