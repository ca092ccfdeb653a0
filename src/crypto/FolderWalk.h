// Depth-first walk of a folder tree: each folder's files come before its sub-folders, and
// both are taken in name order. Each folder is listed before any of its files is handed out,
// so files that the work itself creates (encrypted copies beside their sources) are not met.
// Names are read as the bytes the file system keeps; one that does not survive the trip into
// text and back is reported as such, never matched to another file nor left out unsaid.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace mv::crypto {

struct WalkEntry {
    QString path;
    QByteArray nativePath; // the bytes the file system gave
    enum Kind {
        File,
        Link,            // never followed
        Other,           // fifo, device, socket
        Leftover,        // a temporary file of an earlier run (see isLeftoverName)
        Unrepresentable, // the name is not valid text; `path` is only an approximation
    } kind;
};

// Returns false as soon as visit returns false (the caller cancelled). A folder that cannot
// be listed is reported through unreadable, with the system's error number, and the walk
// goes on with its siblings.
bool walkFolder(const QString& folder, bool recursive, const std::function<bool(const WalkEntry&)>& visit,
                const std::function<void(const QString& folder, int error)>& unreadable);

} // namespace mv::crypto
