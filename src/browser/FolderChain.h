// What the folder list shows, and which entry it highlights after the user moved up.
#pragma once

#include <QString>
#include <QStringList>

namespace mv::browser {

struct FolderChain {
    // Full paths: the drive's root, each folder down to the current one, then the current
    // folder's sub-folders.
    QStringList entries;
    int current = 0; // index of the current folder; the sub-folders follow it
};

// The chain for `path` on the drive mounted at `driveRoot`, with `subFolders` (bare names in
// the order to show, as Listing::folders has them). A path outside the drive is chained from
// "/" instead.
FolderChain folderChain(const QString& path, const QString& driveRoot, const QStringList& subFolders);

// After opening `newPath` when `lastPath` was open: when the user moved up (newPath is a folder
// above lastPath), the entry of newPath's sub-folder on the way back to lastPath; otherwise
// empty. From /a/b/c up to /a that is /a/b; from /a/b up to / it is /a.
QString upHighlight(const QString& newPath, const QString& lastPath);

} // namespace mv::browser
