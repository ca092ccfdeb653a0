// The destination of an operation. Given by path, it is provisional until commit()
// succeeds: whatever happens, a failed operation leaves no destination behind. Given as a
// descriptor, the engine only writes into it; flushing, naming and discarding belong to the
// caller, who made it.
#ifndef MVENGINE_OUTPUT_FILE_H
#define MVENGINE_OUTPUT_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/stat.h>

#include "fileio/UniqueFd.h"
#include "files.h"

namespace mv::engine {

class OutputFile {
public:
    // wipe: overwrite what was written before removing it (it may be plain text).
    OutputFile(const Files& files, bool wipe);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // By path: creates or truncates the destination, mode 0600. Refuses the source itself,
    // a symbolic link, anything but a regular file, and a file with other hard links.
    // By descriptor: the same checks, and the file must be empty.
    bool open(const struct stat& source);
    bool write(const void* data, std::size_t len);
    // By path: fsync of the file and its folder; after this the file is the caller's.
    bool commit();

private:
    bool openPath(const struct stat& source);
    bool checkTarget(const struct stat& target, const struct stat& source) const;
    void discard();
    void removePlaceholder() const;
    void startWriteback(std::size_t len);

    std::string path_;
    std::string sourcePath_;
    int borrowedFd_;
    bool wipe_;
    bool committed_ = false;
    mv::fileio::UniqueFd fd_;
    struct stat info_ {};
    std::uint64_t written_ = 0;   // bytes written so far
    std::uint64_t flushedTo_ = 0; // write-back started up to here
};

} // namespace mv::engine

#endif
