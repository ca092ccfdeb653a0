// The drives of the drive list: the mounted file systems a user would browse, with a name to
// show for each.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace mv::browser {

struct Drive {
    QString name;       // what the drive list shows
    QString mountPoint; // where the drive's folders start
};
using DriveTable = QList<Drive>;

// One line of the kernel's mount table, as far as the drive list needs it.
struct MountInfo {
    QString mountPoint;
    QString fsType;
    QString device; // "/dev/sdb1", or the file system's own source text
    QString label;  // the volume label, when the device has one
};

// The mount table in the format of /proc/self/mountinfo, in its order; lines it cannot read
// are skipped.
QList<MountInfo> parseMountInfo(const QByteArray& text);

// Picks the drives from a mount table: "/" ("File System"), the file system that holds `home`
// ("Home" unless it has a label, or nothing more when that is "/"), and what is mounted below
// /media, /run/media and /mnt. Kernel and system file systems are never among them. A mount
// point mounted over twice counts once. Sorted with "/" first, then by mount point.
DriveTable browsableDrives(const QList<MountInfo>& mounts, const QString& home);

// browsableDrives of this process's mount table and $HOME, with the labels of
// /dev/disk/by-label. Reads only kernel tables, so it never waits for a slow or dead drive.
DriveTable mountedDrives();

// The mount point of the drive that holds `path` (the longest one that is `path` or a folder
// above it), or empty when none does.
QString driveOf(const QString& path, const DriveTable& drives);

} // namespace mv::browser
