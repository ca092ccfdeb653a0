#include "fileio/DurableOutput.h"

#include "fileio/DisplacedFile.h"
#include "fileio/FdIo.h"
#include "fileio/RetryInterrupted.h"
#include "fileio/ZeroFill.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace mv::fileio {

namespace {

const char* const kCreateStep = "create temporary file";
const char* const kFlushStep = "flush new file";
const char* const kPlaceStep = "put in place";
const char* const kFolderStep = "flush folder";
constexpr int kAttempts = 100;

// ".mv-" + 12 random letters and digits + ".tmp"; the random bytes come from the kernel.
std::string randomTempName()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[12];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = retryInterrupted([&] { return ::getrandom(bytes + got, sizeof bytes - got, 0); });
        if (n <= 0)
            break; // a fixed name then; O_EXCL still keeps it unique
        got += std::size_t(n);
    }
    std::string name = kTempPrefix;
    for (unsigned char b : bytes)
        name += alphabet[b % (sizeof alphabet - 1)];
    return name + kTempSuffix;
}

} // namespace

DurableOutput::~DurableOutput()
{
    (void)discard();
}

// rename that never replaces: renameat2, or where the file system lacks it, link + unlink.
int DurableOutput::renameNoReplace(const char* from, const char* to)
{
    if (calls_.renameat2(dir_.get(), from, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    if (calls_.linkat(dir_.get(), from, dir_.get(), to, 0) < 0)
        return -1;
    return calls_.unlinkat(dir_.get(), from, 0);
}

Status DurableOutput::create(const std::string& folder, mode_t mode, bool clearOnDiscard)
{
    (void)discard();
    placed_ = false;
    folder_ = folder;
    clearOnDiscard_ = clearOnDiscard;
    dir_.reset(calls_.openat(AT_FDCWD, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (!dir_.valid())
        return Status::failure(kCreateStep, errno);
    // An unnamed file is given its name through /proc; without it, only a named one will do.
    if (::access("/proc/self/fd", X_OK) == 0)
        file_.reset(calls_.openat(dir_.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    else
        errno = EOPNOTSUPP;
    if (!file_.valid()) {
        // Older kernels say EISDIR, file systems without support EOPNOTSUPP.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return Status::failure(kCreateStep, errno);
        if (auto r = makeNamed(mode); !r)
            return r;
    }
    // The umask may have taken bits away; the file must be exactly as asked.
    if (::fchmod(file_.get(), mode) < 0) {
        Status r = Status::failure(kCreateStep, errno);
        r.leftover = discard();
        return r;
    }
    return Status::success();
}

Status DurableOutput::makeNamed(mode_t mode)
{
    for (int i = 0; i < kAttempts; ++i) {
        const std::string name = randomTempName();
        file_.reset(calls_.openat(dir_.get(), name.c_str(),
                                  O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!file_.valid()) {
            if (errno == EEXIST)
                continue;
            return Status::failure(kCreateStep, errno);
        }
        tempPath_ = folder_ + "/" + name;
        // Locked while written, so a later run knows it from a killed run's left-over.
        (void)tryLock(file_.get());
        return Status::success();
    }
    return Status::failure(kCreateStep, EEXIST);
}

Status DurableOutput::linkUnnamed(const std::string& name)
{
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", file_.get());
    if (calls_.linkat(AT_FDCWD, self, dir_.get(), name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return Status::success();
    if (errno == ENOENT && calls_.linkat(file_.get(), "", dir_.get(), name.c_str(), AT_EMPTY_PATH) == 0)
        return Status::success(); // no /proc; works with the privilege to do so
    return Status::failure(kPlaceStep, errno);
}

Status DurableOutput::putInPlace(const std::string& target, Existing existing)
{
    const std::string name = namePart(target);
    if (tempPath_.empty()) {
        if (existing == Existing::Keep)
            return linkUnnamed(name); // link never replaces: atomic "only if absent"
        // A name of our own first, then one rename over the target.
        Status linked = Status::failure(kPlaceStep, EEXIST);
        for (int i = 0; i < kAttempts && !linked && linked.error == EEXIST; ++i) {
            const std::string temp = randomTempName();
            linked = linkUnnamed(temp);
            if (linked)
                tempPath_ = folder_ + "/" + temp;
        }
        if (!linked)
            return linked;
    }
    const std::string temp = namePart(tempPath_);
    const int rc = existing == Existing::Keep ? renameNoReplace(temp.c_str(), name.c_str())
                                              : calls_.renameat2(dir_.get(), temp.c_str(), name.c_str(), 0);
    if (rc < 0)
        return Status::failure(kPlaceStep, errno);
    tempPath_.clear();
    return Status::success();
}

Status DurableOutput::commit(const std::string& target, Existing existing)
{
    if (calls_.fsync(file_.get()) < 0) {
        Status r = Status::failure(kFlushStep, errno);
        r.leftover = discard();
        return r;
    }
    UniqueFd displaced;
    if (existing == Existing::ReplaceAndClear) {
        if (auto r = openDisplaced(dir_.get(), namePart(target).c_str(), displaced); !r) {
            r.leftover = discard();
            return r;
        }
    }
    if (auto r = putInPlace(target, existing); !r) {
        r.leftover = discard();
        return r;
    }
    placed_ = true;
    if (!syncFolderFd(dir_.get(), calls_))
        return Status::failure(kFolderStep, errno);
    // Only once the new name is on disk may the old contents go.
    if (displaced.valid()) {
        if (auto r = clearDisplaced(displaced, calls_); !r)
            return r;
    }
    if (file_.close() < 0)
        return Status::failure(kFlushStep, errno);
    return Status::success();
}

std::string DurableOutput::discard()
{
    std::string leftover;
    if (!file_.valid() || placed_) {
        file_.reset();
        return leftover;
    }
    if (clearOnDiscard_)
        (void)zeroWholeFile(file_.get(), calls_);
    if (!tempPath_.empty()) {
        // Removed by name only while the name still means our file.
        struct stat mine {};
        struct stat named {};
        const std::string temp = namePart(tempPath_);
        if (::fstat(file_.get(), &mine) == 0 &&
            ::fstatat(dir_.get(), temp.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(mine, named) &&
            calls_.unlinkat(dir_.get(), temp.c_str(), 0) < 0)
            leftover = tempPath_;
        tempPath_.clear();
    }
    file_.reset();
    return leftover;
}

} // namespace mv::fileio
