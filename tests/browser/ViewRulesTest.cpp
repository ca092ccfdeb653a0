// The browser's rules at the boundaries its window tests do not reach: the type table, the
// picture area's arithmetic, the information line, the drive table and the folder chain.
#include "browser/DriveTable.h"
#include "browser/FileDragDrop.h"
#include "browser/FileInfoLine.h"
#include "browser/FolderChain.h"
#include "browser/TypeTable.h"
#include "browser/ViewArrangement.h"
#include "fileutil/NameText.h"
#include "fileutil/PatternSet.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <limits>

namespace mv::browser {
namespace {

// The test looks for the end of the name inside the list text, so short names and odd ends
// that happen to occur in it pass too; an empty name is no file and never does.
TEST(TypeTable, IsViewableNameTestsTheLastFourOrFiveCharacters)
{
    for (const char* name : {"PHOTO.JPE", "scan.tiff", "x.jpeg", "a.Wpg", "/d/pic.bmp", "bmp", ".gif", "x"})
        EXPECT_TRUE(IsViewableName(QString::fromUtf8(name))) << name;
    for (const char* name : {"notes.txt", "photo.jpg.txt", "archive.tiffx", "jpeg2", "q", ""})
        EXPECT_FALSE(IsViewableName(QString::fromUtf8(name))) << name;
    // A name that is not text is never read through Qt, which would open another name; its
    // drag still names its own bytes.
    const QString carried = fileutil::nameFromNative("/p/caf\xe9.jpg");
    EXPECT_FALSE(IsViewableName(carried));
    EXPECT_EQ(fileUrl(carried).toEncoded(), "file:///p/caf%E9.jpg");
    EXPECT_EQ(fileUrl(QStringLiteral("/p/a b.jpg")).toEncoded(), "file:///p/a%20b.jpg");
}

// Every extension IsViewableName takes is matched by the All Supported pattern, but for the
// two that the pattern lacks. An index outside the table, as a damaged store may hold, is
// "All Files".
TEST(TypeTable, AllSupportedPatternCoversTheViewableExtensionsButJpeAndTiffAndOutsideIsAllFiles)
{
    for (const int outside : {0, -1, 25, 1000})
        EXPECT_EQ(QStringList({specForIndex(outside).patterns, specForIndex(outside).tag}),
                  QStringList({"*.*", "0"}))
            << outside;
    const mv::fileutil::PatternSet all {QString(AllSupportedPattern)};
    const QString extensions(ViewableExtensions);
    for (qsizetype i = 0; i < extensions.size(); i += 4) {
        const QString name = QStringLiteral("x") + extensions.mid(i, 4);
        EXPECT_EQ(all.matches(name), name != QStringLiteral("x.jpe")) << name.toStdString();
    }
    EXPECT_TRUE(all.matches(QStringLiteral("x.jpeg")));
    EXPECT_FALSE(all.matches(QStringLiteral("x.tiff")));
}

constexpr int kBar = 16;

ViewArrangement arranged(QSize picture, QSize area, bool bestFit)
{
    return arrangeView({picture, bestFit, bestFit ? QSize() : picture, area, kBar});
}

TEST(ViewArrangement, BestFitTakesTheOtherSideWhenTheFirstOverflowsAndEmptySizesDrawNothing)
{
    EXPECT_EQ(arranged({400, 300}, {800, 300}, true).fit, FitDirection::FitHeight);
    EXPECT_EQ(arranged({400, 300}, {800, 300}, true).drawnSize, QSize(400, 300));
    EXPECT_EQ(arranged({300, 400}, {300, 800}, true).fit, FitDirection::FitWidth);
    EXPECT_EQ(arranged({10000, 1}, {300, 300}, true).drawnSize, QSize(300, 1));
    EXPECT_EQ(arranged({0, 0}, {300, 300}, true).drawnSize, QSize(0, 0));
    EXPECT_EQ(arranged({400, 200}, {-5, 0}, true).drawnSize, QSize(0, 0));
}

// The old arithmetic took the horizontal maximum before the vertical bar had taken its strip,
// so the right-most columns of a picture larger than the area could never be scrolled into view.
// A bar appearing makes the other one necessary, on either axis, unless it fits beside it.
TEST(ViewArrangement, RightMostColumnIsReachableOnceTheVerticalBarTakesItsStrip)
{
    const ViewArrangement a = arranged({310, 400}, {300, 300}, false);
    ASSERT_TRUE(a.horizontal.visible && a.vertical.visible);
    EXPECT_EQ(a.drawnSize.width() - a.horizontal.maximum, 300 - kBar);
    EXPECT_EQ(a.drawnSize.height() - a.vertical.maximum, 300 - kBar);
    EXPECT_EQ(arranged({295, 400}, {300, 300}, false).horizontal.maximum, 295 - (300 - kBar));
    EXPECT_EQ(arranged({400, 290}, {300, 300}, false).vertical.maximum, 290 - (300 - kBar));
    const ViewArrangement beside = arranged({284, 400}, {300, 300}, false);
    EXPECT_FALSE(beside.horizontal.visible);
    EXPECT_EQ(beside.vertical.maximum, 100);
}

// A checksum negative as a signed value keeps its eight digits; zero bytes print no digits;
// other locales group with their own separator.
TEST(FileInfoLine, ChecksumsKeepEightDigitsAndSizesAreGroupedAsTheLocaleDoes)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    FileFacts f {true, QStringLiteral("photo_jpg.mv$"), 1, 2, 8, 0xFFFFFFFEu, 1234567};
    EXPECT_EQ(fileInfoLine(f, english),
              QStringLiteral("(Encrypted) photo_jpg.mv$ : Width = 1 : Height = 2 : Colors = 8 bits"
                             " : Checksum = FFFFFFFE : File Size = 1,234,567"));
    EXPECT_TRUE(
        fileInfoLine(f, QLocale(QLocale::German, QLocale::Germany)).endsWith(QStringLiteral("= 1.234.567")));
    f.fileSize = 0;
    EXPECT_TRUE(fileInfoLine(f, english).endsWith(QStringLiteral(" : File Size = ")));
}

// Mount points come unescaped ("My\\040Stick"); labels win over the mount point's name; home on
// the root file system adds nothing; the same point mounted twice counts once.
TEST(DriveTable, BrowsableDrivesAreRootHomeAndMedia)
{
    QList<MountInfo> mounts =
        parseMountInfo("22 1 8:1 / / rw shared:1 - ext4 /dev/sda1 rw\n"
                       "23 22 0:21 / /proc rw shared:12 - proc proc rw\n"
                       "29 22 8:3 / /home rw shared:31 - ext4 /dev/sda3 rw\n"
                       "30 22 7:1 / /snap/core/1 ro shared:32 - squashfs /dev/loop1 ro\n"
                       "31 26 8:17 / /media/me/My\\040Stick rw - vfat /dev/sdb1 rw\n"
                       "32 26 0:40 / /run/media/me/CAM rw - exfat /dev/sdc1 rw\n"
                       "garbage line\n");
    ASSERT_EQ(mounts.size(), 6);
    mounts[5].label = QStringLiteral("Camera");
    QStringList shown;
    for (const Drive& drive : browsableDrives(mounts, QStringLiteral("/home/me")))
        shown << drive.mountPoint + u'=' + drive.name;
    EXPECT_EQ(shown, (QStringList {"/=File System", "/home=Home", "/media/me/My Stick=My Stick",
                                   "/run/media/me/CAM=Camera"}));
    mounts.append(
        {QStringLiteral("/media/me/My Stick"), QStringLiteral("ext4"), QString(), QStringLiteral("New")});
    const DriveTable again = browsableDrives(mounts, QStringLiteral("/root"));
    ASSERT_EQ(again.size(), 3);
    EXPECT_EQ(again[1].name, QStringLiteral("New"));
}

// A root the path is not on (a prefix only by its letters) gives way to "/"; moving to a
// sibling that shares the first letters highlights nothing.
TEST(FolderChain, PrefixesOnlyByTheirLettersAreNeitherRootsNorParents)
{
    EXPECT_EQ(folderChain(QStringLiteral("/mediax/y"), QStringLiteral("/media"), {}).entries,
              (QStringList {"/", "/mediax", "/mediax/y"}));
    EXPECT_EQ(upHighlight(QStringLiteral("/media/stick/"), QStringLiteral("/media/stick/DCIM/100")),
              QStringLiteral("/media/stick/DCIM"));
    EXPECT_EQ(upHighlight(QStringLiteral("/a/b"), QStringLiteral("/a/bc/d")), QString());
}

} // namespace
} // namespace mv::browser
