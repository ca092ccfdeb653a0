#include "desktop/TrashInfo.h"

#include <QByteArrayList>

namespace mv::desktop {

QByteArray trashInfoText(const TrashInfo& info)
{
    return "[Trash Info]\nPath=" + info.path.toPercentEncoding("/") +
           "\nDeletionDate=" + info.deletionDate.toUtf8() + '\n';
}

std::optional<TrashInfo> parseTrashInfo(const QByteArray& text)
{
    bool inGroup = false;
    std::optional<QByteArray> path;
    TrashInfo info;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Trash Info]";
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed();
        // The first of a key counts, as in the desktop's other key files.
        if (key == "Path" && !path)
            path = QByteArray::fromPercentEncoding(value);
        else if (key == "DeletionDate" && info.deletionDate.isEmpty())
            info.deletionDate = QString::fromUtf8(value);
    }
    if (!path || path->isEmpty())
        return std::nullopt;
    info.path = *path;
    return info;
}

} // namespace mv::desktop
