// What the safe-delete question says about the storage, from a made-up mount table, statfs
// magic number and /sys tree.
#include "fileutil/WipeReach.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace mv::fileutil;

namespace {

const QByteArray kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 0:45 / /home rw,relatime shared:2 - btrfs /dev/sda2 rw,ssd,subvol=/\n"
    "31 22 259:3 / /mnt/f2 rw - f2fs /dev/nvme0n1p3 rw\n"
    "33 22 0:50 / /tank rw - zfs tank rw,xattr\n"
    "34 22 0:51 / /net/share rw - nfs4 server:/export rw,vers=4.2\n"
    "36 30 0:53 / /home/u/remote rw,nosuid shared:9 - fuse.sshfs u@host:/ rw,user_id=1000\n"
    "37 22 8:6 / /mnt/journal rw - ext4 /dev/sda6 rw,data=journal\n"
    "38 22 8:7 / /mnt/my\\040disk rw - ext4 /dev/sda7 rw\n"
    "39 22 8:8 / /mnt/stack rw - ext4 /dev/sda8 rw\n"
    "40 39 0:60 / /mnt/stack rw - btrfs /dev/sdb1 rw\n"
    "a line that is not one\n";

StorageFacts facts(const char* path, quint64 magic, unsigned major, unsigned minor,
                   const QString& sysRoot = QStringLiteral("/nonexistent"))
{
    StorageFacts f;
    f.path = QString::fromUtf8(path);
    f.magic = magic;
    f.major = major;
    f.minor = minor;
    f.mountInfo = kMountInfo;
    f.sysRoot = sysRoot;
    return f;
}

const QString kStronger = QStringLiteral("The stronger delete is an encrypted file whose key is forgotten");

// Each kind of file system that does not overwrite in place is found and named once, the
// warning ending with the stronger delete; ext4 on a disk of unknown kind says nothing.
TEST(WipeReachTest, EachKindOfFileSystemIsNamedFromTheMountTableAndMagic)
{
    struct Case {
        StorageFacts facts;
        WipeLimit limit;
        const char* fileSystem;
        const char* mountPoint;
        const char* words;
    };
    const Case cases[] = {
        {facts("/home/u/Pictures", 0x9123683E, 0, 45), WipeLimit::CopyOnWrite, "Btrfs", "/home", "snapshots"},
        {facts("/tank/x", 0, 0, 50), WipeLimit::CopyOnWrite, "ZFS", "/tank", "new places"},
        {facts("/mnt/f2/a", 0xF2F52010, 259, 3), WipeLimit::LogStructured, "F2FS", "/mnt/f2", "every change"},
        {facts("/net/share/p", 0x6969, 0, 51), WipeLimit::Network, "NFS (nfs4)", "/net/share", "server"},
        {facts("/home/u/remote/x", 0x65735546, 0, 53), WipeLimit::Fuse, "FUSE (fuse.sshfs)", "/home/u/remote",
         "run by a program"},
        {facts("/mnt/journal/p", 0xEF53, 8, 6), WipeLimit::DataJournal, "ext4", "/mnt/journal",
         "data=journal"},
        {facts("/mnt/stack/p", 0x9123683E, 0, 60), WipeLimit::CopyOnWrite, "Btrfs", "/mnt/stack", "Btrfs"},
        {facts("/mnt/stack/p", 0xEF53, 8, 8), WipeLimit::None, "", "/mnt/stack", ""},
        {facts("/mnt/my disk/p", 0xEF53, 8, 7), WipeLimit::None, "", "/mnt/my disk", ""},
        {facts("/mnt/my/p", 0xEF53, 8, 1), WipeLimit::None, "", "/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.facts.path.toStdString() + " " + std::to_string(c.facts.minor));
        const WipeReach reach = wipeReach(c.facts);
        EXPECT_EQ(reach.limit, c.limit);
        EXPECT_EQ(reach.fileSystem, c.fileSystem);
        EXPECT_EQ(reach.mountPoint, c.mountPoint);
        EXPECT_TRUE(reach.solidStateDisk.isEmpty());
        const QString warning = wipeReachWarning(reach);
        if (c.limit == WipeLimit::None) {
            EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
            continue;
        }
        EXPECT_TRUE(warning.startsWith("This folder is on " + QString::fromUtf8(c.fileSystem) + ", ") ||
                    warning.startsWith("This folder is on " + QString::fromUtf8(c.fileSystem) + " mounted"))
            << warning.toStdString();
        EXPECT_TRUE(warning.contains(QLatin1String(c.words))) << warning.toStdString();
        EXPECT_EQ(warning.count(kStronger), 1);
    }
}

// A disk whose queue/rotational says 0 is named as solid-state, as a hint, found through the
// device number or, where the file system gives files a number of its own, the mounted device.
TEST(WipeReachTest, SolidStateDiskIsNamedAsAHint)
{
    QTemporaryDir sys;
    QDir root(sys.path());
    ASSERT_TRUE(root.mkpath("block/sda/queue") && root.mkpath("block/sda/sda1") &&
                root.mkpath("block/sda/sda2") && root.mkpath("block/sdb/queue") &&
                root.mkpath("block/sdb/sdb1") && root.mkpath("dev/block") && root.mkpath("class/block"));
    ASSERT_TRUE(mvtest::writeAll(sys.filePath("block/sda/queue/rotational"), "0\n"));
    ASSERT_TRUE(mvtest::writeAll(sys.filePath("block/sdb/queue/rotational"), "1\n"));
    for (const char* part : {"sda/sda1", "sda/sda2", "sdb/sdb1"})
        ASSERT_TRUE(mvtest::writeAll(sys.filePath(QStringLiteral("block/%1/partition").arg(part)), "1\n"));
    ASSERT_TRUE(QFile::link(sys.filePath("block/sda/sda1"), sys.filePath("dev/block/8:1")));
    ASSERT_TRUE(QFile::link(sys.filePath("block/sda/sda2"), sys.filePath("class/block/sda2")));
    ASSERT_TRUE(QFile::link(sys.filePath("block/sdb/sdb1"), sys.filePath("class/block/sdb1")));

    const WipeReach ext4 = wipeReach(facts("/srv/p", 0xEF53, 8, 1, sys.path()));
    EXPECT_EQ(ext4.limit, WipeLimit::None);
    EXPECT_EQ(ext4.solidStateDisk, "sda");
    const QString warning = wipeReachWarning(ext4);
    EXPECT_TRUE(warning.startsWith("The disk sda says it is a solid-state disk.")) << warning.toStdString();
    EXPECT_TRUE(warning.contains("This is only a hint: disks of virtual machines often say this wrongly."));
    EXPECT_EQ(warning.count(kStronger), 1);

    const WipeReach btrfs = wipeReach(facts("/home/u", 0x9123683E, 0, 45, sys.path()));
    EXPECT_EQ(btrfs.solidStateDisk, "sda");
    EXPECT_EQ(wipeReachWarning(btrfs).count(kStronger), 1);
    EXPECT_EQ(wipeReach(facts("/mnt/stack/p", 0x9123683E, 0, 60, sys.path())).solidStateDisk, "");
    EXPECT_EQ(wipeReach(facts("/net/share/p", 0x6969, 8, 1, sys.path())).solidStateDisk, "");
}

} // namespace
