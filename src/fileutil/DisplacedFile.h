#pragma once

#include "fileutil/FileResult.h"
#include "fileutil/UniqueFd.h"

#include <QByteArray>

#include <sys/stat.h>

namespace mv {

// A file a rename is about to displace. Once displaced it has no name left to wipe by, so it
// is opened beforehand and its contents zeroed through the descriptor afterwards.

// Opens `path`, which lstat described as `seen`, for writing. A read-only file is made
// writable just long enough to open it. Fails if the path no longer names that file.
FileResult openDisplaced(const QByteArray& path, const struct stat& seen, UniqueFd& fd);

// Zeros the whole file, flushes, cuts it to zero length and closes it.
FileResult clearDisplaced(UniqueFd& fd);

} // namespace mv
