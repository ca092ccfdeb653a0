#include "crypto/ViewCopies.h"

#include "fileio/UniqueFd.h"
#include "fileutil/RandomText.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::crypto {

using fileutil::FileResult;
using fileutil::nativePath;

namespace {

constexpr int kAttempts = 100;
constexpr int kLongestExtension = 32;
const char* const kFolderStep = "prepare private folder";
const char* const kCopyStep = "create viewing copy";

QString absoluteEnv(const char* name)
{
    const QString value = QFile::decodeName(qgetenv(name));
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

// A folder that is ours and closed to everyone else.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// The folders to make private, outermost first; the last is the one copies go in.
// Empty when there is nowhere to put them.
QStringList chosenFolders()
{
    const QString runtime = absoluteEnv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return {runtime + QStringLiteral("/mirravelnock")};
    QString cache = absoluteEnv("XDG_CACHE_HOME");
    if (cache.isEmpty()) {
        const QString home = absoluteEnv("HOME");
        if (home.isEmpty())
            return {};
        cache = home + QStringLiteral("/.cache");
    }
    const QString ours = cache + QStringLiteral("/mirravelnock");
    return {ours, ours + QStringLiteral("/view")};
}

// Creates `path` (0700) unless it exists; then insists it is a folder of ours, and closes
// it to others if it was open.
FileResult makePrivate(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) < 0 && errno != EEXIST)
        return FileResult::failure(kFolderStep, errno);
    struct stat st {};
    if (::lstat(name.constData(), &st) < 0)
        return FileResult::failure(kFolderStep, errno);
    if (!S_ISDIR(st.st_mode))
        return FileResult::failure(kFolderStep, nativePath(path) + " is not a folder");
    if (st.st_uid != ::geteuid())
        return FileResult::failure(kFolderStep, nativePath(path) + " belongs to someone else");
    if ((st.st_mode & 0777) != 0700 && ::chmod(name.constData(), 0700) < 0)
        return FileResult::failure(kFolderStep, errno);
    return FileResult::success();
}

// ".jpg" for "photo.jpg"; empty for "readme", ".profile" or an absurdly long extension.
QString extensionOf(const QString& plainName)
{
    const QString name = plainName.mid(plainName.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || name.size() - dot > kLongestExtension)
        return {};
    return name.mid(dot);
}

} // namespace

FileResult privateViewFolder(QString& folder)
{
    folder.clear();
    const QStringList chain = chosenFolders();
    if (chain.isEmpty())
        return FileResult::failure(kFolderStep, "no home folder is set");
    // The cache folder itself is shared with other programs: create it if need be, no more.
    const QString parent = chain.front().left(chain.front().lastIndexOf(QLatin1Char('/')));
    if (::mkdir(QFile::encodeName(parent).constData(), 0700) < 0 && errno != EEXIST)
        return FileResult::failure(kFolderStep, errno);
    for (const QString& path : chain) {
        if (auto r = makePrivate(path); !r)
            return r;
    }
    folder = chain.back();
    return FileResult::success();
}

FileResult createViewCopy(const QString& plainName, QString& copyPath)
{
    copyPath.clear();
    QString folder;
    if (auto r = privateViewFolder(folder); !r)
        return r;
    const QString extension = extensionOf(plainName);
    for (int i = 0; i < kAttempts; ++i) {
        const QString candidate = folder + QStringLiteral("/view-") + fileutil::randomHex(8) + extension;
        fileio::UniqueFd fd(::open(QFile::encodeName(candidate).constData(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.valid() && errno == EEXIST)
            continue;
        if (!fd.valid() || ::fchmod(fd.get(), 0600) < 0)
            return FileResult::failure(kCopyStep, errno);
        copyPath = candidate;
        return FileResult::success();
    }
    return FileResult::failure(kCopyStep, EEXIST);
}

} // namespace mv::crypto
