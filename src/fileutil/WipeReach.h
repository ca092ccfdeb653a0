// How far overwriting reaches where a folder lies. Zeros written over a file destroy its old
// contents only where the file system writes in place on a disk that does the same; elsewhere
// safe delete still removes the file and its name, and the user should know what it can't do.
#pragma once

#include <QByteArray>
#include <QString>

namespace mv::fileutil {

enum class WipeLimit {
    None,          // writes in place, as far as can be told
    CopyOnWrite,   // Btrfs, ZFS, bcachefs: changes go to new blocks, snapshots keep old ones
    LogStructured, // F2FS, NILFS: every write goes to a new place
    Network,       // NFS, SMB, 9P, Ceph, AFS ...: the server decides
    Fuse,          // a program decides where the data goes
    DataJournal,   // ext3/ext4 mounted with data=journal: contents pass through the journal
};

// What is known of the storage under a folder; read from the system, or made up by a test.
struct StorageFacts {
    QString path;       // the folder, links resolved
    quint64 magic = 0;  // statfs' f_type; 0 when unknown
    unsigned major = 0; // the folder's device
    unsigned minor = 0;
    QByteArray mountInfo;                     // the text of /proc/self/mountinfo
    QString sysRoot = QStringLiteral("/sys"); // where the disks' queue/rotational are read
};

struct WipeReach {
    WipeLimit limit = WipeLimit::None;
    QString fileSystem; // as shown to the user: "Btrfs", "NFS (nfs4)", "FUSE (fuse.sshfs)"
    QString mountPoint;
    QString solidStateDisk; // the disk's name when it says it is not rotational
};

// Reads the facts of `folder` from statfs, stat, mountinfo and /sys. Can block on a network
// file system that does not answer: call it off the user-interface thread.
StorageFacts readStorageFacts(const QString& folder);

WipeReach wipeReach(const StorageFacts& facts);

// The plain words the safe-delete question adds; empty when there is nothing to say.
QString wipeReachWarning(const WipeReach& reach);

} // namespace mv::fileutil
