// Listing one folder for the file list: the files that match a pattern list and the
// sub-folders, each in natural order, read from the folder in one pass.
#pragma once

#include "fileutil/FileResult.h"

#include <QFuture>
#include <QString>
#include <QStringList>

namespace mv::browser {

struct Listing {
    QString folder; // as the caller gave it
    QString spec;   // the pattern list the caller gave (for listForView, the filter's own)
    QStringList files;
    QStringList folders;
    // Names that are not valid text and so cannot be named or opened through the list, of
    // entries that would otherwise have been listed (as a file that matches, or a sub-folder).
    int unlisted = 0;
    // Set when the folder could not be read; both lists are then empty.
    fileutil::FileResult error;
};

// The bare names of the folder's files that match any pattern of the ";"-separated list
// (see PatternSet), each once, and the names of all its sub-folders.
//
// "." and ".." never appear. A file is anything that is not a folder: a link counts as what it
// points to, a dangling link as a file. Hidden names are listed like any other. Pipes,
// sockets and devices are left out: opening one to show or encrypt it would block or never
// end. Runs on the calling thread; use startListing from a window.
Listing ListFiles(const QString& folder, const QString& patterns);

// The main window's listing: the filter's pattern list together with the patterns the same
// files have under their encrypted names, so that photo.jpg and photo_jpg.mv$ show side by side.
Listing listForView(const QString& folder, const QString& spec);

// listForView on a worker thread. The result names the folder and spec it was made for, so the
// window can drop a result that a newer request has overtaken.
QFuture<Listing> startListing(const QString& folder, const QString& spec);

} // namespace mv::browser
