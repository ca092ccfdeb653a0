#include "browser/TypeTable.h"
#include "fileutil/PatternSet.h"

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

// An index outside the table, as a damaged store may hold, is "All Files".
TEST(TypeTable, SpecForIndexOutsideTheTableIsAllFiles)
{
    for (const int outside : {0, -1, 25, 1000}) {
        EXPECT_EQ(specForIndex(outside).patterns, QStringLiteral("*.*")) << outside;
        EXPECT_EQ(specForIndex(outside).tag, QStringLiteral("0")) << outside;
    }
}

// The test looks for the end of the name inside the list text, so short names and odd ends
// that happen to occur in it pass too; an empty name is no file and never does.
TEST(TypeTable, IsViewableNameTestsTheLastFourOrFiveCharacters)
{
    for (const char* name : {"PHOTO.JPE", "scan.tiff", "x.jpeg", "a.Wpg", "/d/pic.bmp", "bmp", ".gif", "x"})
        EXPECT_TRUE(IsViewableName(QString::fromUtf8(name))) << name;
    for (const char* name : {"notes.txt", "photo.jpg.txt", "archive.tiffx", "jpeg2", "q", ""})
        EXPECT_FALSE(IsViewableName(QString::fromUtf8(name))) << name;
}

// Every extension IsViewableName takes is matched by the All Supported pattern, but for the
// two that the pattern lacks.
TEST(TypeTable, AllSupportedPatternCoversTheViewableExtensionsButJpeAndTiff)
{
    const mv::fileutil::PatternSet all {QString(AllSupportedPattern)};
    const QString extensions(ViewableExtensions);
    for (qsizetype i = 0; i < extensions.size(); i += 4) {
        const QString name = QStringLiteral("x") + extensions.mid(i, 4);
        EXPECT_EQ(all.matches(name), name != QStringLiteral("x.jpe")) << name.toStdString();
    }
    EXPECT_TRUE(all.matches(QStringLiteral("x.jpeg")));
    EXPECT_FALSE(all.matches(QStringLiteral("x.tiff")));
}

} // namespace
