#include "fileutil/SafeReplace.h"

#include "fileio/DurableOutput.h"
#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"
#include "fileutil/Wipe.h"

#include <QCoreApplication>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::fileutil {

QString replaceStepText(ReplaceStep step)
{
    switch (step) {
    case ReplaceStep::CheckPaths: return QCoreApplication::translate("mv::fileutil", "check files");
    case ReplaceStep::Lock: return QCoreApplication::translate("mv::fileutil", "lock source");
    case ReplaceStep::CreateTemp: return QCoreApplication::translate("mv::fileutil", "create temporary file");
    case ReplaceStep::Produce: return QCoreApplication::translate("mv::fileutil", "write new file");
    case ReplaceStep::CheckSource: return QCoreApplication::translate("mv::fileutil", "check source");
    case ReplaceStep::CopyAttributes: return QCoreApplication::translate("mv::fileutil", "copy attributes");
    case ReplaceStep::PutInPlace: return QCoreApplication::translate("mv::fileutil", "put in place");
    case ReplaceStep::WipeSource: return QCoreApplication::translate("mv::fileutil", "wipe source");
    }
    return {};
}

namespace {

using fileio::UniqueFd;

// Why an existing target cannot be replaced, or nullptr when it can.
const char* targetProblem(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return "the target is a folder";
    if (S_ISLNK(st.st_mode))
        return "the target is a symbolic link";
    if (!S_ISREG(st.st_mode))
        return "the target is not a regular file";
    return nullptr;
}

class Replacement {
public:
    Replacement(const QString& source, const QString& target, const ReplaceOptions& options)
        : source_(source), src_(nativePath(source)), tgt_(nativePath(target)), options_(options),
          output_(options.calls ? *options.calls : fileio::systemCalls())
    {
    }

    ReplaceOutcome run(const Producer& produce);

private:
    FileResult fail(int error) const { return FileResult::failure(stepText(), error); }
    FileResult fail(const char* reason) const { return FileResult::failure(stepText(), reason); }
    std::string stepText() const { return replaceStepText(step_).toStdString(); }
    // Enters a step; returns the errno a test wants it to fail with, 0 normally.
    int enter(ReplaceStep step)
    {
        step_ = step;
        return options_.fault ? options_.fault(step) : 0;
    }
    ReplaceOutcome stop(ReplaceOutcome::Kind kind, FileResult error);
    FileResult producerFailure(FileResult why) const;

    ReplaceOutcome openSource();
    ReplaceOutcome checkTarget();
    FileResult copyAttributes();

    QString source_;
    std::string src_, tgt_;
    const ReplaceOptions& options_;
    ReplaceStep step_ = ReplaceStep::CheckPaths;
    UniqueFd sourceFd_;
    struct stat sourceInfo_ {};
    fileio::DurableOutput output_;
    bool targetIsSource_ = false;
    bool placed_ = false;
    int producerCode_ = 0;
};

ReplaceOutcome Replacement::stop(ReplaceOutcome::Kind kind, FileResult error)
{
    // A new file that did not get its name goes now, while the reason can still say what
    // could not be removed.
    if (kind != ReplaceOutcome::Replaced && !placed_) {
        if (std::string left = output_.discard(); !left.empty())
            error.leftover = left;
    }
    ReplaceOutcome out;
    out.kind = kind;
    out.step = step_;
    out.status = std::move(error);
    out.producerCode = producerCode_;
    out.targetInPlace = placed_;
    return out;
}

// The producer's reason under this step's name; a step of its own becomes part of the reason.
FileResult Replacement::producerFailure(FileResult why) const
{
    why.ok = false;
    if (why.reason.empty())
        why.reason = "no reason given";
    if (!why.step.empty())
        return why.within(stepText());
    why.step = stepText();
    return why;
}

// Opens the source once, without following links, and locks it. Everything after reads
// this descriptor, so a file renamed over the name meanwhile is never read nor wiped.
ReplaceOutcome Replacement::openSource()
{
    if (const int e = enter(ReplaceStep::CheckPaths))
        return stop(ReplaceOutcome::Failed, fail(e));
    struct stat named {};
    if (::lstat(src_.c_str(), &named) < 0)
        return stop(ReplaceOutcome::Failed, fail(errno));
    if (S_ISLNK(named.st_mode))
        return stop(ReplaceOutcome::Failed, fail("the source is a symbolic link"));
    if (!S_ISREG(named.st_mode))
        return stop(ReplaceOutcome::Failed, fail("the source is not a regular file"));
    // Its other names would keep the old data after the wipe.
    if (named.st_nlink > 1)
        return stop(ReplaceOutcome::Failed, fail("the source has other hard links"));
    sourceFd_.reset(::open(src_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!sourceFd_.valid() || ::fstat(sourceFd_.get(), &sourceInfo_) < 0)
        return stop(ReplaceOutcome::Failed, fail(errno));
    if (!fileio::sameFile(sourceInfo_, named))
        return stop(ReplaceOutcome::Failed, fail("the file was replaced meanwhile"));
    fileio::clearNonBlocking(sourceFd_.get());

    if (const int e = enter(ReplaceStep::Lock))
        return stop(ReplaceOutcome::Failed, fail(e));
    if (!fileio::tryLock(sourceFd_.get()))
        return errno == EWOULDBLOCK ? stop(ReplaceOutcome::InUse, fail("in use by another run"))
                                    : stop(ReplaceOutcome::Failed, fail(errno));
    // The lock may have come free because another run just finished with this file and
    // wiped it: only a name that still holds what we opened is ours to work on.
    if (::lstat(src_.c_str(), &named) < 0)
        return stop(ReplaceOutcome::Failed, fail(errno));
    if (!fileio::sameFile(named, sourceInfo_))
        return stop(ReplaceOutcome::InUse, fail("in use by another run"));
    // The stamp reading starts from: size and modification time after the lock.
    if (::fstat(sourceFd_.get(), &sourceInfo_) < 0)
        return stop(ReplaceOutcome::Failed, fail(errno));
    return stop(ReplaceOutcome::Replaced, FileResult::success());
}

ReplaceOutcome Replacement::checkTarget()
{
    step_ = ReplaceStep::CheckPaths;
    struct stat st {};
    if (::lstat(tgt_.c_str(), &st) < 0) {
        // Found out now, not after the whole file has been encrypted.
        if (errno == ENAMETOOLONG)
            return stop(ReplaceOutcome::Failed, fail("the new name would be too long for this file system"));
        if (errno != ENOENT)
            return stop(ReplaceOutcome::Failed, fail(errno));
        return stop(ReplaceOutcome::Replaced, FileResult::success());
    }
    targetIsSource_ = fileio::sameFile(st, sourceInfo_);
    if (targetIsSource_)
        return stop(ReplaceOutcome::Replaced, FileResult::success());
    if (const char* problem = targetProblem(st))
        return stop(ReplaceOutcome::Failed, fail(problem));
    if (!options_.replaceExisting)
        return stop(ReplaceOutcome::TargetExists, fail("the target exists"));
    return stop(ReplaceOutcome::Replaced, FileResult::success());
}

FileResult Replacement::copyAttributes()
{
    if (const int e = enter(ReplaceStep::CopyAttributes))
        return fail(e);
    const int fd = output_.fd();
    struct stat st {};
    if (::fstat(fd, &st) < 0)
        return fail(errno);
    // Keep the owner where we may (running as root); an ordinary user cannot, and needn't.
    if (st.st_uid != sourceInfo_.st_uid || st.st_gid != sourceInfo_.st_gid)
        (void)::fchown(fd, sourceInfo_.st_uid, sourceInfo_.st_gid);
    if (::fchmod(fd, sourceInfo_.st_mode & 0777) < 0)
        return fail(errno);
    const struct timespec times[2] = {sourceInfo_.st_atim, sourceInfo_.st_mtim};
    if (::futimens(fd, times) < 0)
        return fail(errno);
    return FileResult::success();
}

ReplaceOutcome Replacement::run(const Producer& produce)
{
    for (auto step : {&Replacement::openSource, &Replacement::checkTarget}) {
        if (ReplaceOutcome r = (this->*step)(); r.kind != ReplaceOutcome::Replaced)
            return r;
    }
    if (const int e = enter(ReplaceStep::CreateTemp))
        return stop(ReplaceOutcome::Failed, fail(e));
    if (auto r = output_.create(fileio::folderPart(tgt_), 0600, options_.privateOutput); !r)
        return stop(ReplaceOutcome::Failed, r);
    if (const int e = enter(ReplaceStep::Produce))
        return stop(ReplaceOutcome::Failed, fail(e));
    ProduceResult made = produce(sourceFd_.get(), output_.fd());
    producerCode_ = made.code;
    if (made.kind != ProduceResult::Written)
        return stop(made.kind == ProduceResult::Declined ? ReplaceOutcome::Declined : ReplaceOutcome::Failed,
                    producerFailure(std::move(made.status)));

    struct stat now {};
    if (const int e = enter(ReplaceStep::CheckSource))
        return stop(ReplaceOutcome::Failed, fail(e));
    if (::fstat(sourceFd_.get(), &now) < 0)
        return stop(ReplaceOutcome::Failed, fail(errno));
    if (!fileio::sameContentsStamp(now, sourceInfo_))
        return stop(ReplaceOutcome::SourceChanged, fail("the file changed while being read"));
    if (auto r = copyAttributes(); !r)
        return stop(ReplaceOutcome::Failed, r);

    if (const int e = enter(ReplaceStep::PutInPlace))
        return stop(ReplaceOutcome::Failed, fail(e));
    const auto existing = targetIsSource_ || options_.replaceExisting ? fileio::Existing::ReplaceAndClear
                                                                      : fileio::Existing::Keep;
    const FileResult put = output_.commit(tgt_, existing);
    placed_ = output_.placed();
    if (!put) {
        // Someone made a file of that name since we looked: it is theirs.
        if (!placed_ && put.error == EEXIST && existing == fileio::Existing::Keep)
            return stop(ReplaceOutcome::TargetExists, fail("the target exists"));
        return stop(ReplaceOutcome::Failed, put.within(stepText()));
    }
    if (targetIsSource_)
        return stop(ReplaceOutcome::Replaced, FileResult::success()); // cleared by the commit

    if (const int e = enter(ReplaceStep::WipeSource))
        return stop(ReplaceOutcome::Failed, fail(e));
    bool changed = false;
    const FileResult wiped = wipeHeldFile(source_, sourceFd_.get(), sourceInfo_, changed);
    if (changed)
        return stop(ReplaceOutcome::SourceChanged, wiped.within(stepText()));
    if (!wiped)
        return stop(ReplaceOutcome::Failed, wiped.within(stepText()));
    return stop(ReplaceOutcome::Replaced, FileResult::success());
}

} // namespace

ReplaceOutcome replaceFile(const QString& source, const QString& target, const Producer& produce,
                           const ReplaceOptions& options)
{
    Replacement replacement(source, target, options);
    return replacement.run(produce);
}

} // namespace mv::fileutil
