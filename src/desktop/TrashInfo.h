// The ".trashinfo" file the desktop's trash keeps beside each trashed file: where it came from
// and when it went, so that the desktop can put it back.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace mv::desktop {

struct TrashInfo {
    // The original place as the file system spells it: a full path for the home trash, a
    // path below the disk's top folder for a disk's own trash.
    QByteArray path;
    // Local time, "YYYY-MM-DDThh:mm:ss".
    QString deletionDate;
};

// The file's text. The path is percent-encoded as in URLs: every byte but letters, digits,
// "-._~" and "/" becomes "%XX", so spaces, "%", line breaks and names that are not UTF-8 come
// back exactly.
QByteArray trashInfoText(const TrashInfo& info);

// Reads a ".trashinfo" text; nothing when it has no "[Trash Info]" group or no Path.
std::optional<TrashInfo> parseTrashInfo(const QByteArray& text);

} // namespace mv::desktop
