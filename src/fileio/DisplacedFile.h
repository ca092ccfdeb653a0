#pragma once

#include "fileio/Status.h"
#include "fileio/SystemCalls.h"
#include "fileio/UniqueFd.h"

#include <sys/stat.h>

namespace mv::fileio {

// A file a rename is about to displace. Once displaced it has no name left to wipe by, so
// it is opened beforehand and its contents zeroed through the descriptor afterwards.

// Opens the file `name` in folder `dirFd` for writing when it exists as a regular file with
// one name (another name keeps its data and must not be zeroed); `fd` stays invalid when
// there is nothing to clear. A read-only file is made writable just long enough to open it.
Status openDisplaced(int dirFd, const char* name, UniqueFd& fd);

// Zeros the whole file, flushes, cuts it to zero length and closes it.
Status clearDisplaced(UniqueFd& fd, SystemCalls& calls = systemCalls());

} // namespace mv::fileio
