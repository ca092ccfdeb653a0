#include "browser/FileInfoLine.h"

#include <gtest/gtest.h>

using mv::browser::FileFacts;
using mv::browser::fileInfoLine;

TEST(FileInfoLine, NamesSizeDepthChecksumAndGroupedFileSize)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    FileFacts f {false, QStringLiteral("photo.bmp"), 640, 480, 24, 0x12u, 1234567};
    EXPECT_EQ(fileInfoLine(f, english),
              QStringLiteral("photo.bmp : Width = 640 : Height = 480 : Colors = 24 bits : Checksum = 00000012"
                             " : File Size = 1,234,567"));

    // A decrypted picture: the prefix and the listed (encrypted) name; a checksum that is
    // negative as a signed value keeps its eight digits.
    f = {true, QStringLiteral("photo_jpg.mv$"), 1, 2, 8, 0xFFFFFFFEu, 999};
    EXPECT_EQ(fileInfoLine(f, english),
              QStringLiteral("(Encrypted) photo_jpg.mv$ : Width = 1 : Height = 2 : Colors = 8 bits"
                             " : Checksum = FFFFFFFE : File Size = 999"));

    // Zero bytes print no digits; other locales group with their own separator.
    f.fileSize = 0;
    EXPECT_TRUE(fileInfoLine(f, english).endsWith(QStringLiteral(" : File Size = ")));
    f.fileSize = 1234567;
    EXPECT_TRUE(
        fileInfoLine(f, QLocale(QLocale::German, QLocale::Germany)).endsWith(QStringLiteral("= 1.234.567")));
    QLocale terse = english;
    terse.setNumberOptions(QLocale::OmitGroupSeparator);
    EXPECT_TRUE(fileInfoLine(f, terse).endsWith(QStringLiteral("= 1,234,567")));
}
