#include "shell/RuntimeDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace mv::shell {

using fileutil::FileResult;

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::shell", text);
}

FileResult ownPrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const std::string step = tr("create folder %1").arg(path).toStdString();
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return FileResult::failure(step, errno);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return FileResult::failure(step, errno);
    if (!S_ISDIR(st.st_mode))
        return FileResult::failure(step, tr("it exists and is not a folder").toStdString());
    if (st.st_uid != ::geteuid())
        return FileResult::failure(step, tr("it belongs to another user").toStdString());
    if ((st.st_mode & 077) != 0)
        return FileResult::failure(step, tr("other users may use it (mode %1); it should be 0700")
                                             .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'))
                                             .toStdString());
    return FileResult::success();
}

} // namespace

FileResult runtimeDir(QString* dir)
{
    const QString base = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!base.isEmpty() && QDir::isAbsolutePath(base))
        *dir = QDir::cleanPath(base) + QStringLiteral("/mirravelnock");
    else
        *dir = QStringLiteral("/tmp/mirravelnock-%1").arg(::geteuid());
    return ownPrivateFolder(*dir);
}

} // namespace mv::shell
