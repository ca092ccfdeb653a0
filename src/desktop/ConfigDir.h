#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv::desktop {

// The folder that holds this user's settings: $XDG_CONFIG_HOME/mirravelnock, or
// ~/.config/mirravelnock when XDG_CONFIG_HOME is unset, empty or not absolute.
// Read from the environment at every call, so a changed environment takes effect at once.
QString configDir();

// Where the journals of running list entries lie: "running" in the settings folder.
QString runJournalDir();

// Creates `path` and any missing parents with mode 0700. Returns false and sets `error`
// when a folder can't be made (a file in the way, a read-only or virtual file system).
fileutil::FileResult makePrivateDirs(const QString& path);

} // namespace mv::desktop
