#include "fileutil/ZeroFill.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace mv {
namespace {

const QString kStep = QStringLiteral("write zeros");
constexpr int64_t kWritebackStep = int64_t(8) << 20;

// Writes the whole buffer at `offset`, going on after short writes and interruptions.
int writeAll(int fd, const char* data, int length, int64_t offset)
{
    while (length > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(length), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;  // no progress and no error: do not spin
        data += n;
        length -= int(n);
        offset += n;
    }
    return 0;
}

} // namespace

FileResult zeroFill(int fd, int64_t size, const std::function<void(int)>& onChunk,
                    const std::function<int()>& fault)
{
    static const char zeros[kWipeChunk] = {};
    if (fault) {
        if (const int e = fault())
            return FileResult::failure(kStep, e);
    }
    for (int64_t offset = 0; offset < size;) {
        const int length = int(size - offset < kWipeChunk ? size - offset : kWipeChunk);
        if (const int e = writeAll(fd, zeros, length, offset))
            return FileResult::failure(kStep, e);
        if (onChunk)
            onChunk(length);
        offset += length;
        // The caller syncs the zeros before it goes on; starting their write-back as we go
        // lets the disk work meanwhile.
        if (offset % kWritebackStep < kWipeChunk)
            (void)::sync_file_range(fd, offset - kWritebackStep > 0 ? offset - kWritebackStep : 0, kWritebackStep,
                                    SYNC_FILE_RANGE_WRITE);
    }
    return FileResult::success();
}

} // namespace mv
