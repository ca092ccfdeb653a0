#include "sandbox/HelperPool.h"

#include "fileio/MemoryFile.h"
#include "sandbox/RequestWire.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace mv::sandbox {

namespace {

fileio::Status refusal()
{
    return fileio::Status::failure(
        kDecoderStoppedStep,
        QCoreApplication::translate("mv::sandbox", "it stopped the decoder three times in a row; it is tried "
                                                   "again when the file changes")
            .toStdString());
}

fileio::Status reasonNotSent()
{
    return fileio::Status::failure(
        kDecoderStoppedStep,
        QCoreApplication::translate("mv::sandbox", "the decoder ended before it got the picture")
            .toStdString());
}

} // namespace

int wallMsFor(std::uint64_t bytes)
{
    // Time enough for a large photo on a slow machine that is busy with other work too.
    constexpr std::uint64_t kBaseMs = 5000;
    constexpr std::uint64_t kMsPerMiB = 2500;
    const std::uint64_t ms = kBaseMs + bytes / 1024 * kMsPerMiB / 1024;
    return int(std::min<std::uint64_t>(ms, kMaxWallMs));
}

HelperPool::HelperPool(PoolOptions options) : options_(std::move(options))
{
    if (options_.program.isEmpty())
        options_.program = helperProgram();
    maxHelpers_ = options_.maxHelpers > 0 ? options_.maxHelpers : std::max(1, QThread::idealThreadCount());
    if (options_.startWarm) {
        std::lock_guard lock(mutex_);
        keepOneWarm();
    }
}

HelperPool::~HelperPool()
{
    // Busy helpers belong to jobs still running; whoever owns this pool waits for those first.
    std::lock_guard lock(mutex_);
    idle_.clear();
}

void HelperPool::keepOneWarm()
{
    if (!idle_.empty() || count_ >= maxHelpers_ || failedStarts_ > 0)
        return;
    fileio::Status why;
    if (Helper spare = HelperProcess::start(options_.program, options_.cpuSeconds, &why)) {
        idle_.push_back(std::move(spare));
        ++count_;
    }
}

HelperPool::Helper HelperPool::acquire(bool urgent, fileio::Status* why)
{
    Helper helper;
    std::vector<Helper> spent; // ended when this returns, outside the lock
    {
        std::unique_lock lock(mutex_);
        if (urgent)
            ++urgentWaiting_;
        for (;;) {
            const bool myTurn = urgent || urgentWaiting_ == 0;
            if (myTurn && !idle_.empty()) {
                // The one that has waited longest is the likeliest to be warm.
                helper = std::move(idle_.front());
                idle_.erase(idle_.begin());
                if (helper->ready() && !helper->roomForAnotherJob()) {
                    // It burnt processor time while idle: it gets no picture.
                    spent.push_back(std::move(helper));
                    --count_;
                    continue;
                }
                break;
            }
            if (myTurn && count_ < maxHelpers_) {
                helper = HelperProcess::start(options_.program, options_.cpuSeconds, why);
                if (!helper) {
                    if (urgent)
                        --urgentWaiting_;
                    return nullptr;
                }
                ++count_;
                break;
            }
            freed_.wait(lock);
        }
        if (urgent)
            --urgentWaiting_;
        keepOneWarm();
    }
    if (helper->waitReady(options_.startTimeoutMs, why)) {
        std::lock_guard lock(mutex_);
        failedStarts_ = 0;
        protections_ = helper->protections();
        busy_.push_back(helper->pid());
        return helper;
    }
    {
        std::lock_guard lock(mutex_);
        ++failedStarts_;
    }
    release(std::move(helper), false);
    return nullptr;
}

void HelperPool::release(Helper helper, bool retire)
{
    Helper gone;
    {
        std::lock_guard lock(mutex_);
        busy_.erase(std::remove(busy_.begin(), busy_.end(), helper->pid()), busy_.end());
        if (!retire && helper->alive() && (!helper->ready() || helper->roomForAnotherJob())) {
            idle_.push_back(std::move(helper));
        } else {
            --count_;
            gone = std::move(helper);
            keepOneWarm(); // the spare starts while this one is ended
        }
    }
    // Killed and collected here, before its answer is handed on: once the view has moved on
    // from a decrypted picture, no process holds any of its bytes or pixels.
    gone.reset();
    freed_.notify_all();
}

HelperPool::Answer HelperPool::run(const DecodeJob& job, wire::JobKind kind)
{
    Answer answer;
    // Bytes already in a memory file go as they are: a plain file's sealed against writing, or
    // decrypted bytes through a read-only descriptor of their own, so the helper can neither
    // change them nor keep them past their owner's wipe. Anything else is copied into a memory
    // file, sealed against writing unless it is to be wiped.
    int bytes = -1;
    fileio::UniqueFd readOnly;
    if (job.bytesFile >= 0 && job.palette.empty()) {
        if (!job.sensitive && fileio::contentsAreSealed(job.bytesFile))
            bytes = job.bytesFile;
        else if (job.sensitive && fileio::sizeIsSealed(job.bytesFile) &&
                 (readOnly = fileio::readOnlyDescriptor(job.bytesFile)).valid())
            bytes = readOnly.get();
    }
    fileio::UniqueFd copy;
    if (bytes < 0) {
        const fileio::Part parts[] = {{job.bytes.data(), std::uint64_t(job.bytes.size())},
                                      {job.palette.data(), std::uint64_t(job.palette.size())}};
        copy = fileio::sealedMemoryFile("mv-picture", parts, job.sensitive);
        if (!copy.valid()) {
            answer.failure = fileio::Status::failure(kDecoderStoppedStep, errno);
            return answer;
        }
        bytes = copy.get();
    }
    const std::vector<char> request = requestMessage(job, kind);
    const JobLimits limits {options_.wallMs > 0 ? options_.wallMs
                                                : wallMsFor(job.bytes.size() + job.palette.size())};
    // A helper that died while idle never saw the job: another one gets it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Helper helper = acquire(job.urgent, &answer.failure);
        if (!helper)
            break;
        answer.exchange = helper->run(request, bytes, limits);
        HelperProcess::Exchange& e = answer.exchange;
        if (e.outcome == HelperProcess::Exchange::Answered) {
            // Read while the helper is still ours: one whose answer is refused may have been
            // taken over, and gets no other job.
            if (kind == wire::JobKind::Probe)
                answer.info = readInfo(e.reply);
            else if (e.reply.header.kind == wire::ReplyKind::Failed)
                answer.picture = imaging::Picture::failure(readFailure(e.reply));
            else
                answer.picture = readPicture(e.reply, std::move(e.pixels), job);
            if (decoderStopped(kind == wire::JobKind::Probe ? answer.info.status : answer.picture.status))
                helper->dismiss();
        }
        release(std::move(helper), job.sensitive);
        if (answer.exchange.outcome != HelperProcess::Exchange::NotSent)
            break;
    }
    if (job.sensitive && copy.valid())
        fileio::wipeMemoryFile(copy.get(), std::uint64_t(job.bytes.size() + job.palette.size()));
    if (answer.failure.ok && answer.exchange.outcome == HelperProcess::Exchange::NotSent)
        answer.failure = reasonNotSent();
    return answer;
}

imaging::Picture HelperPool::decode(const DecodeJob& job)
{
    if (refused(job.strikeKey))
        return imaging::Picture::failure(refusal());
    Answer answer = run(job, wire::JobKind::Decode);
    if (!answer.failure.ok)
        return imaging::Picture::failure(answer.failure);
    imaging::Picture picture = answer.exchange.outcome == HelperProcess::Exchange::Stopped
                                   ? imaging::Picture::failure(answer.exchange.stop)
                                   : std::move(answer.picture);
    countStrike(job.strikeKey, decoderStopped(picture.status));
    return picture;
}

imaging::PictureInfo HelperPool::probe(const DecodeJob& job)
{
    imaging::PictureInfo info;
    if (refused(job.strikeKey)) {
        info.status = refusal();
        return info;
    }
    Answer answer = run(job, wire::JobKind::Probe);
    if (!answer.failure.ok)
        info.status = answer.failure;
    else if (answer.exchange.outcome == HelperProcess::Exchange::Stopped)
        info.status = answer.exchange.stop;
    else
        info = std::move(answer.info);
    countStrike(job.strikeKey, decoderStopped(info.status));
    return info;
}

Protections HelperPool::protections()
{
    std::lock_guard lock(mutex_);
    if (!protections_.reported) {
        fileio::Status ignored;
        for (Helper& helper : idle_) {
            if (helper->waitReady(0, &ignored)) {
                protections_ = helper->protections();
                break;
            }
        }
    }
    return protections_;
}

std::vector<pid_t> HelperPool::busyHelpers() const
{
    std::lock_guard lock(mutex_);
    return busy_;
}

std::vector<pid_t> HelperPool::helperPids() const
{
    std::lock_guard lock(mutex_);
    std::vector<pid_t> pids = busy_;
    for (const Helper& helper : idle_)
        pids.push_back(helper->pid());
    return pids;
}

int HelperPool::helperCount() const
{
    std::lock_guard lock(mutex_);
    return count_;
}

bool HelperPool::refused(const QString& key) const
{
    std::lock_guard lock(mutex_);
    return !key.isEmpty() && strikes_.value(key) >= kStrikesBeforeRefusal;
}

void HelperPool::countStrike(const QString& key, bool stopped)
{
    if (key.isEmpty())
        return;
    std::lock_guard lock(mutex_);
    if (!stopped) {
        strikes_.remove(key);
        return;
    }
    if (strikes_.size() > 1000) // a bound, not a policy: no run of the program meets that many
        strikes_.clear();
    ++strikes_[key];
}

} // namespace mv::sandbox
