#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv::shell {

// An flock() held on a lock file for the lifetime of this object. The store itself is
// replaced by rename, so the lock lives on a file of its own that is never replaced.
// flock() locks belong to the open file, so two threads of one process also exclude each
// other as long as each makes its own FileLock.
class FileLock {
public:
    enum class Mode {
        Shared,
        Exclusive
    };

    // Opens (creating it with mode 0600 if needed) and locks `path`, waiting for the lock.
    FileLock(const QString& path, Mode mode);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool isLocked() const { return fd_ >= 0; }
    const fileutil::FileResult& error() const { return error_; }

private:
    int fd_ = -1;
    fileutil::FileResult error_;
};

} // namespace mv::shell
