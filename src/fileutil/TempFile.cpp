#include "fileutil/TempFile.h"

#include "fileutil/RandomText.h"
#include "fileutil/UniqueFd.h"
#include "fileutil/Wipe.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace mv {

namespace {
constexpr int kAttempts = 100;
const QString kStep = QStringLiteral("create temporary file");
} // namespace

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

FileResult createTempBeside(const QString& targetPath, QString& tempPath)
{
    tempPath.clear();
    const QString folder = folderOf(targetPath);
    for (int i = 0; i < kAttempts; ++i) {
        const QString candidate =
            folder + QStringLiteral(".mv-") + randomText(12).toLower() + QStringLiteral(".tmp");
        UniqueFd fd(::open(QFile::encodeName(candidate).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST)
                continue;
            return FileResult::failure(kStep, errno);
        }
        // The umask may have taken bits away; the file must be exactly owner read/write.
        if (::fchmod(fd.get(), 0600) < 0) {
            const int e = errno;
            fd.reset();
            (void)WipeFile(candidate);
            return FileResult::failure(kStep, e);
        }
        tempPath = candidate;
        return FileResult::success();
    }
    return FileResult::failure(kStep, EEXIST);
}

} // namespace mv
