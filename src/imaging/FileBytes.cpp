#include "imaging/FileBytes.h"

#include "fileio/FdIo.h"
#include "fileio/RetryInterrupted.h"
#include "imaging/base/Messages.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/sendfile.h>

namespace mv::imaging {

namespace {

const char* const kReadStep = "read file";

// Fills the first size bytes of memory from fd at its current offset: by the kernel, from the
// page cache into the memory file's pages. Returns how many bytes came; fewer when the file
// shrank; -1, with errno, on a read error.
qint64 fill(int fd, const fileio::MappedMemoryFile& memory, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = fileio::retryInterrupted(
            [&] { return ::sendfile(memory.fd(), fd, nullptr, std::size_t(size - done)); });
        if (n < 0 && done == 0 && (errno == EINVAL || errno == ENOSYS))
            break; // no sendfile between these two: read into the mapping instead
        if (n <= 0)
            return n < 0 ? -1 : done;
        done += n;
    }
    if (done == size)
        return done;
    const ssize_t rest = fileio::readFull(fd, memory.data(), std::size_t(size));
    return rest < 0 ? -1 : rest;
}

} // namespace

FileBytes FileBytes::read(const QString& path, qint64 maxBytes, fileio::Status* status)
{
    FileBytes out;
    // The reasons are our own words (Qt keeps no error number to give).
    const auto fail = [status](const QString& why) {
        *status = fileio::Status::failure(kReadStep, why.toStdString());
    };
    *status = fileio::Status::success();
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists()) {
        fail(reason(Reason::FileMissing));
    } else if (!info.isFile()) {
        fail(reason(Reason::NotAFile));
    } else if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        fail(reason(Reason::CannotOpen).arg(file.errorString()));
    } else if (file.size() > maxBytes) {
        fail(reason(Reason::FileTooLarge));
    } else {
        const qint64 size = file.size();
        out.memory_ = fileio::MappedMemoryFile::create("mv-picture", std::uint64_t(size));
        if (!out.memory_.valid()) {
            fail(reason(Reason::NoMemoryToRead));
            return out;
        }
        const qint64 done = fill(file.handle(), out.memory_, size);
        // A file that shrank while we read it is read as far as it goes now.
        if (done < 0 || !out.memory_.shrink(std::uint64_t(done)) || !out.memory_.seal(false)) {
            fail(done < 0 ? reason(Reason::CannotRead).arg(QString::fromLocal8Bit(std::strerror(errno)))
                          : reason(Reason::NoMemoryToRead));
            out.memory_ = {};
            return out;
        }
    }
    return out;
}

} // namespace mv::imaging
