#include "imaging/FileBytes.h"

#include "imaging/base/Messages.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/mman.h>

namespace mv::imaging {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
const char* const kReadStep = "read file";

char* allocate(qint64 size)
{
    const auto bytes = std::size_t(std::max<qint64>(size, 1));
    if (bytes < kHugePage)
        return static_cast<char*>(std::malloc(bytes));
    void* buffer = nullptr;
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (posix_memalign(&buffer, kHugePage, rounded) != 0)
        return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(buffer, rounded, MADV_HUGEPAGE); // advice only: a refusal changes nothing
#endif
    return static_cast<char*>(buffer);
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
        out.data_.reset(allocate(size));
        if (!out.data_) {
            fail(reason(Reason::NoMemoryToRead));
            return out;
        }
        qint64 done = 0;
        while (done < size) {
            const qint64 n = file.read(out.data_.get() + done, size - done);
            if (n <= 0)
                break;
            done += n;
        }
        // A file that shrank while we read it is read as far as it goes now.
        if (done < size && file.error() != QFileDevice::NoError) {
            fail(reason(Reason::CannotRead).arg(file.errorString()));
            out.data_.reset();
            return out;
        }
        out.size_ = qsizetype(done);
    }
    return out;
}

} // namespace mv::imaging
