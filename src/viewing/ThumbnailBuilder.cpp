#include "viewing/ThumbnailBuilder.h"

#include "crypto/EncryptedNames.h"
#include "crypto/Signature.h"

#include <QDir>
#include <QDirIterator>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <utility>

namespace mv::viewing {

namespace {

// Whether a folder holds an encrypted file: by its name, or by what it begins with, whatever
// its name says. Looked at on a worker, as a large folder takes a while.
bool holdsEncryptedFiles(const QString& folder)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (crypto::HasEncryptedName(it.fileName()))
            return true;
        // Fifos and devices are passed over: reading one could wait or disturb it.
        if (it.fileInfo().isFile() && crypto::BeginsWithSignature(it.filePath()))
            return true;
    }
    return false;
}

} // namespace

ThumbnailBuilder::ThumbnailBuilder(QObject* parent, int threads) : QObject(parent)
{
    pool_.setMaxThreadCount(threads > 0 ? threads : qMax(1, QThread::idealThreadCount()));
}

ThumbnailBuilder::~ThumbnailBuilder()
{
    ++build_;
    pool_.clear();
    pool_.waitForDone();
}

void ThumbnailBuilder::start(Job job)
{
    ++build_;
    pool_.clear();
    job_ = std::move(job);
    ready_.clear();
    retry_.clear();
    next_ = 0;
    launched_ = 0;
    waitingForKey_ = false;
    running_ = true;
    cache_.reset();
    if (job_.entries.isEmpty()) {
        end();
        return;
    }
    if (!job_.cache) {
        dispatch();
        return;
    }
    surveying_ = true;
    const quint64 build = build_;
    QPointer<ThumbnailBuilder> self(this);
    pool_.start([self, build, folder = job_.folder] {
        const bool encrypted = holdsEncryptedFiles(folder);
        QMetaObject::invokeMethod(
            self.data(),
            [self, build, encrypted] {
                if (self)
                    self->surveyed(build, encrypted);
            },
            Qt::QueuedConnection);
    });
}

void ThumbnailBuilder::surveyed(quint64 build, bool encryptedFiles)
{
    if (build != build_)
        return;
    surveying_ = false;
    if (!encryptedFiles)
        cache_ = job_.cache;
    dispatch();
}

void ThumbnailBuilder::dispatch()
{
    if (!running_ || surveying_)
        return;
    for (const int index : std::exchange(retry_, {}))
        launch(index);
    const int until = qMin(int(job_.entries.size()), next_ + kLookAhead);
    while (launched_ < until)
        launch(launched_++);
}

void ThumbnailBuilder::launch(int index)
{
    ThumbnailRequest request;
    request.path = job_.entries[index].path;
    request.listedName = job_.entries[index].name;
    request.box = job_.box;
    request.options = job_.options;
    if (keys)
        request.keys = keys();
    request.cache = cache_;
    request.decoders = job_.decoders;
    const quint64 build = build_;
    const quint64 round = keyRound_;
    QPointer<ThumbnailBuilder> self(this);
    pool_.start([self, build, index, round, request = std::move(request)] {
        ThumbnailOutcome outcome = loadThumbnail(request);
        QMetaObject::invokeMethod(
            self.data(),
            [self, build, index, round, outcome = std::move(outcome)]() mutable {
                if (self)
                    self->arrived(build, index, round, std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

void ThumbnailBuilder::arrived(quint64 build, int index, quint64 keyRound, ThumbnailOutcome outcome)
{
    if (build != build_ || !running_)
        return;
    if (outcome.kind == ThumbnailOutcome::NeedsKey && keyRound != keyRound_) {
        // Asked with fewer keys than there are now.
        retry_.push_back(index);
        dispatch();
        return;
    }
    // A file ours by its signature under a plain name: its neighbours may be private too.
    if (outcome.encrypted)
        cache_.reset();
    ready_.emplace(index, std::move(outcome));
    handOver();
}

void ThumbnailBuilder::handOver()
{
    while (running_ && !waitingForKey_) {
        const auto it = ready_.find(next_);
        if (it == ready_.end())
            break;
        if (it->second.kind == ThumbnailOutcome::NeedsKey) {
            waitingForKey_ = true;
            emit keyNeeded(next_);
            return;
        }
        const ThumbnailOutcome outcome = std::move(it->second);
        ready_.erase(it);
        const int index = next_++;
        emit cellReady(index, outcome);
    }
    if (!running_)
        return;
    if (next_ >= job_.entries.size()) {
        end();
        return;
    }
    dispatch();
}

void ThumbnailBuilder::keyAdded()
{
    if (!running_)
        return;
    ++keyRound_;
    // Every file that came back needing a key is tried again; those on their way with the old
    // keys are retried when they come back.
    for (auto it = ready_.begin(); it != ready_.end();) {
        if (it->second.kind == ThumbnailOutcome::NeedsKey) {
            retry_.push_back(it->first);
            it = ready_.erase(it);
        } else {
            ++it;
        }
    }
    waitingForKey_ = false;
    dispatch();
}

void ThumbnailBuilder::stop()
{
    if (!running_)
        return;
    ++build_;
    pool_.clear();
    end();
}

void ThumbnailBuilder::end()
{
    running_ = false;
    surveying_ = false;
    waitingForKey_ = false;
    ready_.clear();
    retry_.clear();
    emit finished();
}

} // namespace mv::viewing
