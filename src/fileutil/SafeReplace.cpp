#include "fileutil/SafeReplace.h"

#include "fileutil/DisplacedFile.h"
#include "fileutil/TempFile.h"
#include "fileutil/UniqueFd.h"
#include "fileutil/Wipe.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

QString replaceStepText(ReplaceStep step)
{
    switch (step) {
    case ReplaceStep::CheckPaths: return QStringLiteral("check files");
    case ReplaceStep::CreateTemp: return QStringLiteral("create temporary file");
    case ReplaceStep::Produce: return QStringLiteral("write new file");
    case ReplaceStep::CopyAttributes: return QStringLiteral("copy attributes");
    case ReplaceStep::FlushTemp: return QStringLiteral("flush new file");
    case ReplaceStep::Rename: return QStringLiteral("rename into place");
    case ReplaceStep::FlushFolder: return QStringLiteral("flush folder");
    case ReplaceStep::WipeOldTarget: return QStringLiteral("wipe replaced file");
    case ReplaceStep::WipeSource: return QStringLiteral("wipe source");
    }
    return {};
}

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Why an existing target cannot be replaced, or empty when it can.
QString targetProblem(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("the target is a folder");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("the target is a symbolic link");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("the target is not a regular file");
    return {};
}

class Replacement {
public:
    Replacement(const QString& source, const QString& target, const FaultInjector* faults)
        : source_(source), target_(target), src_(QFile::encodeName(source)),
          tgt_(QFile::encodeName(target)), faults_(faults)
    {
    }

    ReplaceOutcome run(const Producer& produce);

private:
    FileResult fail(int error) const { return FileResult::failure(replaceStepText(step_), error); }
    FileResult fail(const QString& reason) const
    {
        return FileResult::failure(replaceStepText(step_), reason);
    }
    // An inner operation's failure, told as this step's: "wipe source: write zeros: ...".
    FileResult wrap(const FileResult& inner) const
    {
        FileResult f = fail(inner.message());
        f.error = inner.error;
        return f;
    }
    // Enters a step; returns the errno a test wants it to fail with, 0 normally.
    int enter(ReplaceStep step)
    {
        step_ = step;
        return faults_ && *faults_ ? (*faults_)(step) : 0;
    }

    FileResult checkPaths();
    FileResult checkTarget(struct stat& st, bool& exists) const;
    FileResult copyAttributes();
    FileResult flushTemp();
    FileResult renameIntoPlace();
    FileResult flushFolder();
    FileResult zeroHeld();
    bool sourceWasReplaced() const;
    FileResult wipeSource();
    ReplaceOutcome finished(ReplaceOutcome::Kind kind, FileResult error);

    QString source_, target_, temp_;
    QByteArray src_, tgt_;
    const FaultInjector* faults_;
    ReplaceStep step_ = ReplaceStep::CheckPaths;
    struct stat sourceInfo_ {};
    struct stat newInfo_ {};
    UniqueFd tempFile_;
    UniqueFd oldTarget_;  // the file the rename displaces, kept open to zero it afterwards
    bool renamed_ = false;
    int producerCode_ = 0;
};

FileResult Replacement::checkTarget(struct stat& st, bool& exists) const
{
    exists = ::lstat(tgt_.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        return fail(errno);
    if (exists) {
        if (const QString problem = targetProblem(st); !problem.isEmpty())
            return fail(problem);
    }
    return FileResult::success();
}

FileResult Replacement::checkPaths()
{
    if (const int e = enter(ReplaceStep::CheckPaths))
        return fail(e);
    if (::lstat(src_.constData(), &sourceInfo_) < 0)
        return fail(errno);
    if (S_ISLNK(sourceInfo_.st_mode))
        return fail(QStringLiteral("the source is a symbolic link"));
    if (!S_ISREG(sourceInfo_.st_mode))
        return fail(QStringLiteral("the source is not a regular file"));
    // Its other names would keep the old data after the wipe.
    if (sourceInfo_.st_nlink > 1)
        return fail(QStringLiteral("the source has other hard links"));
    struct stat st {};
    bool exists = false;
    return checkTarget(st, exists);
}

FileResult Replacement::copyAttributes()
{
    if (const int e = enter(ReplaceStep::CopyAttributes))
        return fail(e);
    tempFile_.reset(::open(QFile::encodeName(temp_).constData(),
                           O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!tempFile_.valid() || ::fstat(tempFile_.get(), &st) < 0)
        return fail(errno);
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("the new file is not a regular file"));
    // Keep the owner where we may (running as root); an ordinary user cannot, and needn't.
    if (st.st_uid != sourceInfo_.st_uid || st.st_gid != sourceInfo_.st_gid)
        (void)::fchown(tempFile_.get(), sourceInfo_.st_uid, sourceInfo_.st_gid);
    if (::fchmod(tempFile_.get(), sourceInfo_.st_mode & 0777) < 0)
        return fail(errno);
    const struct timespec times[2] = {sourceInfo_.st_atim, sourceInfo_.st_mtim};
    if (::futimens(tempFile_.get(), times) < 0)
        return fail(errno);
    return FileResult::success();
}

FileResult Replacement::flushTemp()
{
    if (const int e = enter(ReplaceStep::FlushTemp))
        return fail(e);
    if (::fsync(tempFile_.get()) < 0 || ::fstat(tempFile_.get(), &newInfo_) < 0)
        return fail(errno);
    if (tempFile_.close() < 0)
        return fail(errno);
    return FileResult::success();
}

FileResult Replacement::renameIntoPlace()
{
    if (const int e = enter(ReplaceStep::Rename))
        return fail(e);
    struct stat st {};
    bool exists = false;
    if (auto r = checkTarget(st, exists); !r)
        return r;
    // A file with other names keeps its data under them; only a sole name is zeroed.
    if (exists && st.st_nlink == 1) {
        if (auto r = openDisplaced(tgt_, st, oldTarget_); !r)
            return wrap(r);
    }
    if (::rename(QFile::encodeName(temp_).constData(), tgt_.constData()) < 0)
        return fail(errno);
    renamed_ = true;
    return FileResult::success();
}

FileResult Replacement::flushFolder()
{
    if (const int e = enter(ReplaceStep::FlushFolder))
        return fail(e);
    const QString folder = folderOf(target_);
    UniqueFd dir(::open(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid() || ::fsync(dir.get()) < 0)
        return fail(errno);
    return FileResult::success();
}

// Zeros the displaced old target through the descriptor held since before the rename.
FileResult Replacement::zeroHeld()
{
    if (auto r = clearDisplaced(oldTarget_); !r)
        return wrap(r);
    return FileResult::success();
}

// True when the rename put the new file under the source's own name.
bool Replacement::sourceWasReplaced() const
{
    struct stat st {};
    return ::lstat(src_.constData(), &st) == 0 && sameFile(st, newInfo_);
}

FileResult Replacement::wipeSource()
{
    if (const int e = enter(ReplaceStep::WipeSource))
        return fail(e);
    if (sourceWasReplaced())
        return oldTarget_.valid() ? zeroHeld() : FileResult::success();
    if (auto r = WipeFile(source_); !r)
        return wrap(r);
    return FileResult::success();
}

ReplaceOutcome Replacement::finished(ReplaceOutcome::Kind kind, FileResult error)
{
    ReplaceOutcome out;
    out.kind = kind;
    out.step = step_;
    out.error = std::move(error);
    out.producerCode = producerCode_;
    out.targetInPlace = renamed_;
    tempFile_.reset();
    oldTarget_.reset();  // not zeroed: the rename did not happen or may not be on disk
    if (!renamed_ && !temp_.isEmpty()) {
        struct stat st {};
        if (::lstat(QFile::encodeName(temp_).constData(), &st) == 0 && !WipeFile(temp_))
            out.leftover = temp_;
    }
    return out;
}

ReplaceOutcome Replacement::run(const Producer& produce)
{
    if (auto r = checkPaths(); !r)
        return finished(ReplaceOutcome::Failed, r);
    if (const int e = enter(ReplaceStep::CreateTemp))
        return finished(ReplaceOutcome::Failed, fail(e));
    if (auto r = createTempBeside(target_, temp_); !r)
        return finished(ReplaceOutcome::Failed, r);
    if (const int e = enter(ReplaceStep::Produce))
        return finished(ReplaceOutcome::Failed, fail(e));
    const ProduceResult made = produce(temp_);
    producerCode_ = made.code;
    const QString why = made.reason.isEmpty() ? QStringLiteral("no reason given") : made.reason;
    if (made.kind == ProduceResult::Declined)
        return finished(ReplaceOutcome::Declined, fail(why));
    if (made.kind == ProduceResult::Failed)
        return finished(ReplaceOutcome::Failed, fail(why));
    for (auto step : {&Replacement::copyAttributes, &Replacement::flushTemp,
                      &Replacement::renameIntoPlace, &Replacement::flushFolder}) {
        if (auto r = (this->*step)(); !r)
            return finished(ReplaceOutcome::Failed, r);
    }
    if (oldTarget_.valid() && !sourceWasReplaced()) {
        if (const int e = enter(ReplaceStep::WipeOldTarget))
            return finished(ReplaceOutcome::Failed, fail(e));
        if (auto r = zeroHeld(); !r)
            return finished(ReplaceOutcome::Failed, r);
    }
    if (auto r = wipeSource(); !r)
        return finished(ReplaceOutcome::Failed, r);
    return finished(ReplaceOutcome::Replaced, FileResult::success());
}

} // namespace

ReplaceOutcome replaceFile(const QString& source, const QString& target, const Producer& produce,
                           const FaultInjector* faults)
{
    Replacement replacement(source, target, faults);
    return replacement.run(produce);
}

} // namespace mv
