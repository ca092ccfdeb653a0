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

// Moves the file (or link) at `path` into the trash: the home trash, or for a file on another
// disk that disk's own "<top>/.Trash-<uid>" (or "<top>/.Trash/<uid>"). A file that can't go
// there stays where it was, and the failure says why.
//
// The move itself is Qt's, with three mends around it: the home trash folders are made first
// (where the data folder is missing, Qt would otherwise file the trashed file under the
// current folder and call that success); a file that ended up anywhere but a trash folder is
// put back; and the ".trashinfo" is written again with its path percent-encoded, so the
// desktop can restore names with spaces, "%" or line breaks.
TrashOutcome moveToTrash(const QString& path);

} // namespace mv::desktop
