#include "browser/DriveTable.h"

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

// A mount table as a desktop with a separate /home, a USB stick and a container runtime has it.
const QByteArray kMountInfo = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                              "23 22 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
                              "24 22 0:22 / /sys rw,nosuid shared:2 - sysfs sysfs rw\n"
                              "25 22 0:5 / /dev rw,nosuid shared:3 - devtmpfs udev rw\n"
                              "26 22 0:25 / /run rw,nosuid shared:5 - tmpfs tmpfs rw\n"
                              "27 24 0:26 / /sys/fs/cgroup rw shared:9 - cgroup2 cgroup2 rw\n"
                              "28 22 8:2 / /boot/efi rw,relatime shared:30 - vfat /dev/sda2 rw\n"
                              "29 22 8:3 / /home rw,relatime shared:31 - ext4 /dev/sda3 rw\n"
                              "30 22 7:1 / /snap/core/1 ro shared:32 - squashfs /dev/loop1 ro\n"
                              "31 26 8:17 / /media/me/My\\040Stick rw shared:40 - vfat /dev/sdb1 rw\n"
                              "32 26 0:40 / /run/media/me/CAM rw shared:41 - exfat /dev/sdc1 rw\n"
                              "33 22 0:41 / /mnt/ram rw shared:42 - tmpfs tmpfs rw\n"
                              "34 22 0:42 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
                              "35 22 0:43 / /mnt/proc rw - proc proc rw\n"
                              "garbage line\n";

// Mount points come unescaped ("My\\040Stick"); labels win over the mount point's name.
TEST(DriveTable, BrowsableDrivesAreRootHomeAndMedia)
{
    QList<MountInfo> mounts = parseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 14); // the garbage line is skipped
    EXPECT_EQ(mounts[0].device, QStringLiteral("/dev/sda1"));
    EXPECT_EQ(mounts[9].fsType, QStringLiteral("vfat"));
    mounts[10].label = QStringLiteral("Camera");
    const DriveTable drives = browsableDrives(mounts, QStringLiteral("/home/me"));
    QStringList points;
    QStringList shown;
    for (const Drive& drive : drives) {
        points << drive.mountPoint;
        shown << drive.name;
    }
    EXPECT_EQ(points, (QStringList {"/", "/home", "/media/me/My Stick", "/mnt/ram", "/run/media/me/CAM"}));
    EXPECT_EQ(shown, (QStringList {"File System", "Home", "My Stick", "ram", "Camera"}));

    // Home on the root file system adds nothing; the same point mounted twice counts once.
    mounts.append(
        {QStringLiteral("/media/me/My Stick"), QStringLiteral("ext4"), QString(), QStringLiteral("New")});
    const DriveTable again = browsableDrives(mounts, QStringLiteral("/root"));
    ASSERT_EQ(again.size(), 4);
    EXPECT_EQ(again[1].name, QStringLiteral("New"));
}

TEST(DriveTable, DriveOfIsTheLongestMountOnAFolderBoundary)
{
    const DriveTable drives {{QStringLiteral("File System"), QStringLiteral("/")},
                             {QStringLiteral("Home"), QStringLiteral("/home")},
                             {QStringLiteral("Stick"), QStringLiteral("/media/me/Stick")}};
    EXPECT_EQ(driveOf(QStringLiteral("/home/me/Pictures"), drives), QStringLiteral("/home"));
    EXPECT_EQ(driveOf(QStringLiteral("/home"), drives), QStringLiteral("/home"));
    EXPECT_EQ(driveOf(QStringLiteral("/homework"), drives), QStringLiteral("/"));
    EXPECT_EQ(driveOf(QStringLiteral("/media/me/Stick/DCIM"), drives), QStringLiteral("/media/me/Stick"));
    EXPECT_EQ(driveOf(QStringLiteral("/media/me/Sticky"), drives), QStringLiteral("/"));
    EXPECT_EQ(driveOf(QStringLiteral("/etc"), drives.mid(1)), QString());
}

// The machine running the tests has some mount table; whatever it is, "/" comes first and
// every path falls on a drive.
TEST(DriveTable, MountedDrivesStartWithTheRoot)
{
    const DriveTable drives = mountedDrives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.front().mountPoint, QStringLiteral("/"));
    EXPECT_EQ(drives.front().name, QStringLiteral("File System"));
    EXPECT_FALSE(driveOf(QStringLiteral("/proc/self"), drives).isEmpty());
}

} // namespace
