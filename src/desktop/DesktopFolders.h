// Where the desktop looks for this user's applications, file types and default choices,
// after the XDG base directory rules.
#pragma once

#include <QString>
#include <QStringList>

namespace mv::desktop {

// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or not absolute.
QString xdgDataHome();
// $XDG_CONFIG_HOME, or ~/.config likewise.
QString xdgConfigHome();
// $XDG_DATA_DIRS (its absolute entries), or /usr/local/share and /usr/share.
QStringList xdgDataDirs();

// The user's desktop entries, shared-mime-info database and default applications.
QString userApplicationsDir();
QString userMimeDir();
QString mimeAppsListPath();

} // namespace mv::desktop
