// The file an operation reads: opened once (or handed over open), checked to be a plain
// file, and read by offset so a descriptor shared with the caller keeps its own position.
#ifndef MVENGINE_SOURCE_FILE_H
#define MVENGINE_SOURCE_FILE_H

#include <cstddef>
#include <cstdint>

#include <sys/stat.h>
#include <sys/types.h>

#include "fileio/UniqueFd.h"

namespace mv::engine {

class SourceFile {
public:
    // what prefixes the reason on failure, e.g. "cannot read the source".
    bool open(const char* path, const char* what);
    // Reads a file the caller holds open; the caller keeps its descriptor.
    bool adopt(int fd, const char* what);

    // The next len bytes (fewer only at the end of the file), or -1 with errno set.
    ssize_t read(void* buf, std::size_t len);
    // True once every byte was read and the file still measures what it did when opened,
    // with the same modification time: a file written to meanwhile must not give a short
    // or mixed result. Sets the reason otherwise.
    bool unchangedToTheEnd() const;

    const struct stat& info() const { return info_; }
    std::uint64_t size() const { return static_cast<std::uint64_t>(info_.st_size); }

private:
    bool check(const char* what);

    mv::fileio::UniqueFd fd_;
    struct stat info_ {};
    std::uint64_t offset_ = 0;
};

} // namespace mv::engine

#endif
