// Delete to the desktop's trash, from where the file manager can put a file back.
#pragma once

#include "fileutil/FileResult.h"

#include <QString>

namespace mv::desktop {

struct TrashOutcome {
    fileutil::FileResult status;
    QString trashedAs; // where the file now lies: <trash>/files/<name>
    QString infoFile;  // the ".trashinfo" that says where it came from
};

// $XDG_DATA_HOME/Trash: the trash of files on the home's own disk.
QString homeTrash();

// Moves the file (or link, a dangling one too) at `path` into the trash, as the freedesktop
// trash rules say: the home trash, or for a file on another disk that disk's shared
// "<top>/.Trash/<uid>" (only with the sticky bit) or its own "<top>/.Trash-<uid>". The
// ".trashinfo" is written first, with its path percent-encoded so the desktop can restore names
// with spaces, "%" or line breaks; then the file is renamed into the trash, never over another
// and never copied. A name too long to take ".trashinfo" gets a shorter one in the trash (the
// information keeps the whole path). A file that can't go stays where it was, and the failure
// says why in words a user follows. Every attempt ends: a full trash gives up after a while.
TrashOutcome moveToTrash(const QString& path);

} // namespace mv::desktop
