#include "browser/TypeTable.h"
#include "browser/PatternSet.h"

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

TEST(TypeTable, EntriesKeepTheirTextsAndSpecForIndexFallsBackToAllFiles)
{
    const QStringList texts = typeTexts();
    ASSERT_EQ(texts.size(), kTypeCount);
    EXPECT_EQ(texts.front(), QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(texts[1], QStringLiteral("All Supported Files"));
    EXPECT_EQ(texts[9], QStringLiteral("JPEG (*.JPG)"));
    EXPECT_EQ(texts[18], QStringLiteral("Windows & OS2 (*.BMP)"));
    EXPECT_EQ(texts.back(), QStringLiteral("ZSoft (*.PCX)"));
    EXPECT_EQ(typePatterns(9), QStringLiteral("*.JPG;*.JPEG"));
    EXPECT_EQ(QString(AllSupportedPattern).split(QLatin1Char(';')).size(), 24);

    const TypeSpec tiff = specForIndex(17);
    EXPECT_EQ(tiff.patterns, QStringLiteral("*.TIF"));
    EXPECT_EQ(tiff.tag, QStringLiteral("17"));
    EXPECT_EQ(specForIndex(1).patterns, QString(AllSupportedPattern));
    EXPECT_EQ(specForIndex(1).tag, QStringLiteral("1"));
    EXPECT_EQ(specForIndex(24).patterns, QStringLiteral("*.PCX"));
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
    const PatternSet all {QString(AllSupportedPattern)};
    const QString extensions(ViewableExtensions);
    for (qsizetype i = 0; i < extensions.size(); i += 4) {
        const QString name = QStringLiteral("x") + extensions.mid(i, 4);
        EXPECT_EQ(all.matches(name), name != QStringLiteral("x.jpe")) << name.toStdString();
    }
    EXPECT_TRUE(all.matches(QStringLiteral("x.jpeg")));
    EXPECT_FALSE(all.matches(QStringLiteral("x.tiff")));
}

} // namespace
