#include "fileio/ZeroFill.h"

#include "fileio/FdIo.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::fileio {

namespace {

const char* const kStep = "write zeros";
constexpr std::int64_t kWritebackStep = std::int64_t(8) << 20;

// The next stretch of data at or after `from`, as [start, end); false when only holes are
// left. A file system without SEEK_DATA is taken as all data.
bool nextData(int fd, std::int64_t from, std::int64_t size, std::int64_t& start, std::int64_t& end)
{
    const off_t data = ::lseek(fd, from, SEEK_DATA);
    if (data < 0) {
        if (errno == ENXIO)
            return false; // nothing but a hole up to the end
        start = from;
        end = size;
        return from < size;
    }
    const off_t hole = ::lseek(fd, data, SEEK_HOLE);
    start = data;
    end = hole < 0 ? size : std::min<std::int64_t>(hole, size);
    return start < size;
}

} // namespace

Status zeroFill(int fd, std::int64_t size, const std::function<void(int)>& onChunk, SystemCalls& calls)
{
    static const char zeros[kWipeChunk] = {};
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int64_t flushedTo = 0;
    for (std::int64_t from = 0; from < size && nextData(fd, from, size, start, end); from = end) {
        for (std::int64_t offset = start; offset < end;) {
            const int length = int(end - offset < kWipeChunk ? end - offset : kWipeChunk);
            if (!pwriteFull(fd, zeros, std::size_t(length), std::uint64_t(offset), calls))
                return Status::failure(kStep, errno);
            if (onChunk)
                onChunk(length);
            offset += length;
            // The caller syncs the zeros before it goes on; starting their write-back as we
            // go lets the disk work meanwhile.
            if (offset - flushedTo >= kWritebackStep) {
                (void)::sync_file_range(fd, flushedTo, offset - flushedTo, SYNC_FILE_RANGE_WRITE);
                flushedTo = offset;
            }
        }
    }
    return Status::success();
}

Status zeroWholeFile(int fd, SystemCalls& calls)
{
    struct stat st {};
    if (::fstat(fd, &st) < 0)
        return Status::failure(kStep, errno);
    if (auto r = zeroFill(fd, st.st_size, {}, calls); !r)
        return r;
    if (calls.fdatasync(fd) < 0)
        return Status::failure(kStep, errno);
    return Status::success();
}

} // namespace mv::fileio
