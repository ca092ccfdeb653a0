// The viewer's rules at the boundaries its window tests do not reach: the picture area's
// arithmetic, the thumbnail grid, the information line, the drive table, the folder chain and
// the slideshow's order.
#include "browser/DriveTable.h"
#include "browser/FileInfoLine.h"
#include "browser/FolderChain.h"
#include "browser/SlideshowPlan.h"
#include "browser/ThumbnailLayout.h"
#include "browser/ViewArrangement.h"

#include <gtest/gtest.h>

#include <limits>

namespace mv::browser {
namespace {

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

TEST(ThumbnailLayout, ClicksOffTheCellsAndTheScrollBar)
{
    const ThumbnailLayout layout(400, 80); // four cells of 84 pixels a row
    EXPECT_EQ(ThumbnailLayout(424, 80).columns(), 5);
    EXPECT_EQ(ThumbnailLayout(423, 80).columns(), 4);
    EXPECT_EQ(ThumbnailLayout(50, 80).columns(), 1);
    EXPECT_EQ(layout.cellAt({90, 4 + 80 + 20}, 10), 1); // on the caption
    EXPECT_EQ(layout.cellAt({86, 10}, 10), -1);         // the gap between two cells
    EXPECT_EQ(layout.cellAt({90, 4 + 108}, 10), -1);    // the gap between two rows
    EXPECT_EQ(layout.cellAt({350, 10}, 10), -1);        // right of the last column
    EXPECT_EQ(layout.cellAt({90, 120}, 5), -1);         // where the sixth cell would be

    EXPECT_FALSE(thumbScroll(377, 377).visible);
    const ThumbScroll s = thumbScroll(1200, 377);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.maximum, 1200 - 377);
    EXPECT_EQ(s.singleStep, 30); // 1200 \ 377 = 3 window heights
    EXPECT_EQ(s.pageStep, 377);
}

// A stored size the menu lacks takes the nearest the menu offers, the larger of two as near,
// however far out of range it lies; the menu's own sizes stay as they are.
TEST(ThumbnailLayout, StoredSizeTakesTheNearestMenuSize)
{
    const struct {
        qint64 stored;
        int size;
    } cases[] = {
        {60, 60},
        {120, 120},
        {200, 200},
        {90, 100},
        {89, 80},
        {71, 80},
        {69, 60},
        {0, 60},
        {-80, 60},
        {std::numeric_limits<qint64>::min(), 60},
        {201, 200},
        {100000, 200},
        {qint64(1) << 32 | 80, 200}, // 80 once cut to 32 bits
        {std::numeric_limits<qint64>::max(), 200},
    };
    for (const auto& c : cases) {
        const int index = thumbSizeIndex(c.stored);
        ASSERT_TRUE(index >= 0 && index < int(std::size(kThumbSizes))) << c.stored;
        EXPECT_EQ(kThumbSizes[index], c.size) << c.stored;
        EXPECT_EQ(usableThumbSize(c.stored), c.size) << c.stored;
    }
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

// An encrypted picture is tried only with keys in hand, and one no key opens is passed over at
// once: no gap in the show. A list with nothing to show has no first picture.
TEST(SlideshowPlanTest, AnEncryptedPictureNoKeyOpensIsPassedOverWithoutAGap)
{
    const QStringList five = {QStringLiteral("a.png"), QStringLiteral("b.jpg"), QStringLiteral("c_png.mv$"),
                              QStringLiteral("d.gif"), QStringLiteral("e.bmp")};
    qint64 now = 1000;
    for (const bool keys : {false, true}) {
        SlideshowPlan plan(five, 1, 2, keys, [&] { return now; });
        std::vector<int> order;
        std::vector<qint64> at;
        for (int row = plan.first(); row >= 0; row = plan.upcoming()) {
            now += plan.untilNextUs();
            if (row == 2) {
                plan.passedOver(row);
                continue;
            }
            plan.shown(row);
            order.push_back(row);
            at.push_back(now);
        }
        EXPECT_EQ(order, (std::vector<int> {1, 3, 4})) << keys;
        EXPECT_EQ(at[2] - at[0], 4000000) << keys;
    }
    EXPECT_EQ(SlideshowPlan(QStringList {QStringLiteral("x.txt")}, 0, 4, true, [&] { return now; }).first(),
              -1);
}

} // namespace
} // namespace mv::browser
