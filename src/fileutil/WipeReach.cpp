#include "fileutil/WipeReach.h"

#include "fileutil/MountTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace mv::fileutil {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::fileutil", text);
}

struct KnownFileSystem {
    quint64 magic;
    const char* type; // as mountinfo names it
    const char* shown;
    WipeLimit limit;
};

// statfs(2) magic numbers (linux/magic.h, and ZFS's own) of the file systems that do not
// overwrite in place, with the names mountinfo gives them.
constexpr KnownFileSystem kKnown[] = {
    {0x9123683E, "btrfs", "Btrfs", WipeLimit::CopyOnWrite},
    {0x2FC12FC1, "zfs", "ZFS", WipeLimit::CopyOnWrite},
    {0xCA451A4E, "bcachefs", "bcachefs", WipeLimit::CopyOnWrite},
    {0xF2F52010, "f2fs", "F2FS", WipeLimit::LogStructured},
    {0x3434, "nilfs2", "NILFS", WipeLimit::LogStructured},
    {0x6969, "nfs", "NFS", WipeLimit::Network},
    {0x6969, "nfs4", "NFS", WipeLimit::Network},
    {0xFF534D42, "cifs", "SMB", WipeLimit::Network},
    {0xFE534D42, "smb3", "SMB", WipeLimit::Network},
    {0x517B, "smbfs", "SMB", WipeLimit::Network},
    {0x01021997, "9p", "9P", WipeLimit::Network},
    {0x00C36400, "ceph", "Ceph", WipeLimit::Network},
    {0x5346414F, "afs", "AFS", WipeLimit::Network},
    {0x6B414653, "afs", "AFS", WipeLimit::Network},
    {0x73757245, "coda", "Coda", WipeLimit::Network},
    {0x0BD00BD0, "lustre", "Lustre", WipeLimit::Network},
    {0x65735546, "fuse", "FUSE", WipeLimit::Fuse},
};
constexpr quint64 kExtMagic = 0xEF53; // ext2, ext3 and ext4 share it

const KnownFileSystem* byMagic(quint64 magic)
{
    for (const auto& k : kKnown)
        if (magic != 0 && k.magic == magic)
            return &k;
    return nullptr;
}

const KnownFileSystem* byType(const QString& type)
{
    // "fuse.sshfs", "fuseblk": FUSE whatever the program behind it.
    const QString base = type.startsWith(QLatin1String("fuse")) ? QStringLiteral("fuse") : type;
    for (const auto& k : kKnown)
        if (base == QLatin1String(k.type))
            return &k;
    return nullptr;
}

// "queue/rotational" of the disk behind a block device's folder in /sys: a partition's own
// folder has none, its disk's folder (the one above) has.
QString rotationalOf(const QString& blockFolder)
{
    QString folder = QFileInfo(blockFolder).canonicalFilePath();
    if (folder.isEmpty())
        return {};
    if (QFileInfo::exists(folder + QStringLiteral("/partition")))
        folder = QFileInfo(folder).absolutePath();
    QFile f(folder + QStringLiteral("/queue/rotational"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().trimmed() == "0" ? QFileInfo(folder).fileName() : QString();
}

// The name of the solid-state disk under the mount, or empty (rotational, or unknown).
QString solidStateDisk(const StorageFacts& facts, const MountEntry* mount)
{
    const QString byNumber =
        QStringLiteral("%1/dev/block/%2:%3").arg(facts.sysRoot).arg(facts.major).arg(facts.minor);
    if (QString disk = rotationalOf(byNumber); !disk.isEmpty())
        return disk;
    // Btrfs and others give files a device number of their own: go by the mounted device.
    if (mount && mount->source.startsWith(QLatin1String("/dev/"))) {
        const QString real = QFileInfo(mount->source).canonicalFilePath();
        const QString name = QFileInfo(real.isEmpty() ? mount->source : real).fileName();
        return rotationalOf(facts.sysRoot + QStringLiteral("/class/block/") + name);
    }
    return {};
}

} // namespace

StorageFacts readStorageFacts(const QString& folder)
{
    StorageFacts facts;
    facts.path = QFileInfo(folder).canonicalFilePath();
    if (facts.path.isEmpty())
        facts.path = QFileInfo(folder).absoluteFilePath();
    const QByteArray native = QFile::encodeName(facts.path);
    struct statfs fs {};
    if (::statfs(native.constData(), &fs) == 0)
        facts.magic = quint64(fs.f_type) & 0xFFFFFFFFu;
    struct stat st {};
    if (::stat(native.constData(), &st) == 0) {
        facts.major = ::major(st.st_dev);
        facts.minor = ::minor(st.st_dev);
    }
    QFile info(QStringLiteral("/proc/self/mountinfo"));
    if (info.open(QIODevice::ReadOnly))
        facts.mountInfo = info.readAll();
    return facts;
}

WipeReach wipeReach(const StorageFacts& facts)
{
    WipeReach reach;
    const QList<MountEntry> mounts = parseMountInfo(facts.mountInfo);
    const MountEntry* mount = mountOf(mounts, facts.path, facts.major, facts.minor);
    const QString type = mount ? mount->fsType : QString();
    if (mount)
        reach.mountPoint = mount->mountPoint;

    // The magic number is the truth about the folder; the table's name is nicer to show.
    const KnownFileSystem* known = byMagic(facts.magic);
    if (!known)
        known = byType(type);
    if (known) {
        reach.limit = known->limit;
        reach.fileSystem = QString::fromLatin1(known->shown);
        if (!type.isEmpty() && type.compare(reach.fileSystem, Qt::CaseInsensitive) != 0)
            reach.fileSystem += QStringLiteral(" (%1)").arg(type);
    } else if (mount && (facts.magic == kExtMagic || type.startsWith(QLatin1String("ext"))) &&
               (mount->superOptions.contains(QLatin1String("data=journal")) ||
                mount->mountOptions.contains(QLatin1String("data=journal")))) {
        reach.limit = WipeLimit::DataJournal;
        reach.fileSystem = type;
    }
    if (reach.limit != WipeLimit::Network && reach.limit != WipeLimit::Fuse)
        reach.solidStateDisk = solidStateDisk(facts, mount);
    return reach;
}

QString wipeReachWarning(const WipeReach& reach)
{
    QStringList parts;
    const QString fs = reach.fileSystem;
    switch (reach.limit) {
    case WipeLimit::None: break;
    case WipeLimit::CopyOnWrite:
        parts << tr("This folder is on %1, a file system that writes changes to new places on the disk "
                    "instead of over the old data. Overwriting a file there leaves its old contents "
                    "where they were until the space is used again, and snapshots may keep them longer.")
                     .arg(fs);
        break;
    case WipeLimit::LogStructured:
        parts << tr("This folder is on %1, a file system that writes every change to a new place on the "
                    "disk. Overwriting a file there leaves its old contents where they were until the "
                    "space is used again.")
                     .arg(fs);
        break;
    case WipeLimit::Network:
        parts << tr("This folder is on %1, a network file system. The overwriting is done by the server, "
                    "which may keep the old contents in its own copies, snapshots or backups.")
                     .arg(fs);
        break;
    case WipeLimit::Fuse:
        parts << tr("This folder is on %1, a file system run by a program that decides for itself where "
                    "the data goes. Overwriting a file there may not reach its old contents.")
                     .arg(fs);
        break;
    case WipeLimit::DataJournal:
        parts << tr("This folder is on %1 mounted with data=journal: file contents pass through the "
                    "journal first, so old contents may stay in the journal after the overwriting.")
                     .arg(fs);
        break;
    }
    if (!reach.solidStateDisk.isEmpty())
        parts << tr("The disk %1 says it is a solid-state disk. Such disks move written data around by "
                    "themselves, so old contents may stay in places no program can reach. (This is only "
                    "a hint: disks of virtual machines often say this wrongly.)")
                     .arg(reach.solidStateDisk);
    if (parts.isEmpty())
        return {};
    parts << tr("Safe delete still removes the files and their names, but it can't promise that their old "
                "contents are gone from the disk. The stronger delete is an encrypted file whose key is "
                "forgotten: without the key its contents can't be read, wherever copies of them remain.");
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace mv::fileutil
