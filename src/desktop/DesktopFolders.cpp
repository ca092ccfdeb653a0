#include "desktop/DesktopFolders.h"

#include <QDir>

namespace mv::desktop {

namespace {

QString absoluteFromEnv(const char* var, const QString& fallbackUnderHome)
{
    const QString value = qEnvironmentVariable(var);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + fallbackUnderHome;
}

} // namespace

QString xdgDataHome()
{
    return absoluteFromEnv("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString xdgConfigHome()
{
    return absoluteFromEnv("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QStringList xdgDataDirs()
{
    QStringList dirs;
    for (const QString& dir :
         qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            dirs << QDir::cleanPath(dir);
    if (dirs.isEmpty())
        dirs << QStringLiteral("/usr/local/share") << QStringLiteral("/usr/share");
    return dirs;
}

QString userApplicationsDir()
{
    return xdgDataHome() + QStringLiteral("/applications");
}

QString userMimeDir()
{
    return xdgDataHome() + QStringLiteral("/mime");
}

QString mimeAppsListPath()
{
    return xdgConfigHome() + QStringLiteral("/mimeapps.list");
}

} // namespace mv::desktop
