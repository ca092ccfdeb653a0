// Whole reads and writes on descriptors, riding out interruptions and short transfers, and
// the few other descriptor operations every file layer needs.
#pragma once

#include "fileio/SystemCalls.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/stat.h>
#include <sys/types.h>

namespace mv::fileio {

// Reads until len bytes or end of file; the count (short only at end of file), or -1 with
// errno set.
ssize_t readFull(int fd, void* buf, std::size_t len);
// The same at an offset, leaving the descriptor's own offset alone.
ssize_t preadFull(int fd, void* buf, std::size_t len, std::uint64_t offset);

// Writes all len bytes (at the current offset / at offset); false with errno set otherwise.
bool writeFull(int fd, const void* buf, std::size_t len, SystemCalls& calls = systemCalls());
bool pwriteFull(int fd, const void* buf, std::size_t len, std::uint64_t offset,
                SystemCalls& calls = systemCalls());

// The folder part of path without its last "/" ("." for a bare name, "/" for the root).
std::string folderPart(const std::string& path);
// The name after the last "/".
std::string namePart(const std::string& path);

// fsync of a folder, so a new or removed name in it survives a crash. File systems that
// cannot sync folders count as done.
bool syncFolderFd(int dirFd, SystemCalls& calls = systemCalls());
bool syncFolder(const std::string& folder);

bool sameFile(const struct stat& a, const struct stat& b);
// Same file with the same size and modification time: nobody wrote to it in between.
bool sameContentsStamp(const struct stat& a, const struct stat& b);

// Clears O_NONBLOCK, which opens use so a fifo planted at a path cannot hang them.
void clearNonBlocking(int fd);

// An advisory lock on the open file, not waiting: true when held, false when another
// open file (another run of this program) holds it. Every program that works on a file
// locks it this way, so the window and a script never work on one file together.
bool tryLock(int fd);

} // namespace mv::fileio
