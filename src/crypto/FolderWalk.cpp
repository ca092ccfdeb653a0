#include "crypto/FolderWalk.h"

#include <QDir>
#include <QFileInfo>

namespace mv {

namespace {

WalkEntry::Kind kindOf(const QFileInfo& info)
{
    if (info.isSymLink())
        return WalkEntry::Link;
    return info.isFile() ? WalkEntry::File : WalkEntry::Other;
}

} // namespace

bool walkFolder(const QString& folder, bool recursive, const std::function<bool(const WalkEntry&)>& visit,
                const std::function<void(const QString&)>& unreadable)
{
    const QDir dir(folder);
    if (!dir.exists() || !QFileInfo(folder).isReadable()) {
        unreadable(folder);
        return true;
    }
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QFileInfoList entries = dir.entryInfoList(all, QDir::Name);

    QStringList subfolders;
    QList<WalkEntry> files;
    for (const QFileInfo& info : entries) {
        if (info.isDir() && !info.isSymLink())
            subfolders << info.filePath();
        else
            files.append({info.filePath(), kindOf(info)});
    }
    for (const WalkEntry& entry : files) {
        if (!visit(entry))
            return false;
    }
    if (!recursive)
        return true;
    for (const QString& sub : subfolders) {
        if (!walkFolder(sub, true, visit, unreadable))
            return false;
    }
    return true;
}

} // namespace mv
