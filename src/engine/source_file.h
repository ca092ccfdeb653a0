// The file an operation reads: opened once, checked to be a plain file.
#ifndef MVENGINE_SOURCE_FILE_H
#define MVENGINE_SOURCE_FILE_H

#include <cstdint>

#include <sys/stat.h>

#include "fd_io.h"

namespace mv::engine {

class SourceFile {
public:
    // what prefixes the reason on failure, e.g. "cannot read the source".
    bool open(const char* path, const char* what);

    int fd() const { return fd_.get(); }
    const struct stat& info() const { return info_; }
    std::uint64_t size() const { return static_cast<std::uint64_t>(info_.st_size); }

private:
    Fd fd_;
    struct stat info_{};
};

} // namespace mv::engine

#endif
