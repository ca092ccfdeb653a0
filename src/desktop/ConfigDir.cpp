#include "desktop/ConfigDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::desktop {

namespace {

QString homeDir()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty())
        return QFile::decodeName(home);
    // Without HOME, Qt would answer "/"; the password database knows better.
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? QFile::decodeName(pw->pw_dir) : QDir::homePath();
}

} // namespace

QString configDir()
{
    QString base = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    // The XDG rules say a relative value is invalid and must be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = homeDir() + QStringLiteral("/.config");
    return base + QStringLiteral("/mirravelnock");
}

fileutil::FileResult makePrivateDirs(const QString& path)
{
    using fileutil::FileResult;
    const QString clean = QDir::cleanPath(path);
    qsizetype pos = 1;
    while (pos <= clean.size()) {
        qsizetype next = clean.indexOf(QLatin1Char('/'), pos);
        if (next < 0)
            next = clean.size();
        const QByteArray part = QFile::encodeName(clean.left(next));
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return FileResult::failure(QCoreApplication::translate("mv::shell", "create folder %1")
                                           .arg(clean.left(next))
                                           .toStdString(),
                                       errno);
        pos = next + 1;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(clean).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return FileResult::failure(
            QCoreApplication::translate("mv::shell", "create folder %1").arg(clean).toStdString(),
            QCoreApplication::translate("mv::shell", "not a folder").toStdString());
    return FileResult::success();
}

QString runJournalDir()
{
    return configDir() + QStringLiteral("/running");
}

} // namespace mv::desktop
