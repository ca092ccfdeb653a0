// Depth-first walk of a folder tree: each folder's files come before its sub-folders, and
// both are taken in name order. Each folder is listed before any of its files is handed out,
// so files that the work itself creates (encrypted copies beside their sources) are not met.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace mv {

struct WalkEntry {
    QString path;
    enum Kind { File, Link, Other } kind; // links are never followed; Other: fifo, device...
};

// Returns false as soon as visit returns false (the caller cancelled). A folder that cannot
// be listed is reported through unreadable and the walk goes on with its siblings.
bool walkFolder(const QString& folder, bool recursive, const std::function<bool(const WalkEntry&)>& visit,
                const std::function<void(const QString& folder)>& unreadable);

} // namespace mv
