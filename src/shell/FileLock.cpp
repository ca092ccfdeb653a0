#include "shell/FileLock.h"

#include "fileio/RetryInterrupted.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mv::shell {

FileLock::FileLock(const QString& path, Mode mode)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && mode == Mode::Shared)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error_ = fileutil::FileResult::failure(
            QCoreApplication::translate("mv::shell", "open lock file %1").arg(path).toStdString(), errno);
        return;
    }
    const int op = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
    if (fileio::retryInterrupted([&] { return ::flock(fd, op); }) != 0) {
        error_ = fileutil::FileResult::failure(
            QCoreApplication::translate("mv::shell", "lock %1").arg(path).toStdString(), errno);
        ::close(fd);
        return;
    }
    fd_ = fd;
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // closing the last descriptor releases the lock
}

} // namespace mv::shell
