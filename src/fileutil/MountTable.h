// The system's table of mounted file systems, as /proc/self/mountinfo gives it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace mv::fileutil {

struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    QString mountPoint;
    QStringList mountOptions; // of this mount: "rw", "noatime", ...
    QString fsType;           // "ext4", "btrfs", "fuse.sshfs", ...
    QString source;           // "/dev/sda2", "server:/export", ...
    QStringList superOptions; // of the file system: "data=journal", ...
};

// Reads the lines of a mountinfo text; lines that do not fit the format are passed over.
// The escapes of spaces, tabs, line breaks and backslashes ("\040") are undone.
QList<MountEntry> parseMountInfo(const QByteArray& text);

// The mount that holds `path` (a full path with links resolved): the longest mount point above
// it, preferring those of the device `major`:`minor`, and of equals the one mounted last, which
// covers the others. Null when none does.
const MountEntry* mountOf(const QList<MountEntry>& mounts, const QString& path, unsigned major,
                          unsigned minor);

} // namespace mv::fileutil
