// Listing one folder for the file list: the files that match a pattern list and the
// sub-folders, each in natural order, read from the folder in one pass.
#pragma once

#include "fileutil/FileResult.h"

#include <QString>
#include <QStringList>

namespace mv::fileutil {

struct Listing {
    QString folder; // as the caller gave it
    QString spec;   // the pattern list the caller gave
    // A file whose name is not valid text is listed as nameFromNative() carries it, so that it
    // can be seen, deleted and wiped (isTextName() tells such a name).
    QStringList files;
    QStringList folders;
    // Sub-folders whose names are not valid text: a way into them could not be named.
    int unlisted = 0;
    // Temporary files an interrupted run left in the folder (isLeftoverName), whatever the
    // patterns: they may hold private data, so the user is told of them.
    QStringList leftovers;
    // Set when the folder could not be read; both lists are then empty.
    FileResult error;
};

// The bare names of the folder's files that match any pattern of the ";"-separated list
// (see PatternSet), each once, and the names of all its sub-folders.
//
// "." and ".." never appear. A file is anything that is not a folder: a link counts as what it
// points to, a dangling link as a file. Hidden names are listed like any other. Pipes,
// sockets and devices are left out: opening one to show or encrypt it would block or never
// end. Runs on the calling thread.
Listing ListFiles(const QString& folder, const QString& patterns);

} // namespace mv::fileutil
