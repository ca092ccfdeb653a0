#include "crypto/EncryptedNames.h"

#include <gtest/gtest.h>

using namespace mv::crypto;

namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(EncryptedNames, EncryptedNameChangesOnlyTheLastDotOfTheFileName)
{
    EXPECT_EQ(EncryptedName(s("photo.bmp")), s("photo_bmp.mv$"));
    EXPECT_EQ(EncryptedName(s("a.b.c")), s("a.b_c.mv$"));
    EXPECT_EQ(EncryptedName(s("/x.y/readme")), s("/x.y/readme.mv%"));
    EXPECT_EQ(EncryptedName(s("/d/arc.tar.gz")), s("/d/arc.tar_gz.mv$"));
    EXPECT_EQ(EncryptedName(s("/home/me/Fotos/Strand.JPG")), s("/home/me/Fotos/Strand_JPG.mv$"));
    EXPECT_EQ(EncryptedName(s("/my_dir/notes")), s("/my_dir/notes.mv%"));
}

TEST(EncryptedNames, PlainNameUndoesTheSuffixInTheFileNameOnly)
{
    EXPECT_EQ(PlainName(s("A_B.MV$")), s("A.B"));
    EXPECT_EQ(PlainName(s("a.txt")), s("a.txt"));
    EXPECT_EQ(PlainName(s("a_b_txt.mv$")), s("a_b.txt"));
    EXPECT_EQ(PlainName(s("a_b.mv%")), s("a_b"));
    EXPECT_EQ(PlainName(s("file_my_ext.mv$")), s("file_my.ext"));
    EXPECT_EQ(PlainName(s("/my_dir/readme.mv$")), s("/my_dir/readme"));
    EXPECT_EQ(PlainName(s("/my_dir/readme.Mv%")), s("/my_dir/readme"));
    EXPECT_EQ(PlainName(s("/d/photo_jpg.mv$")), s("/d/photo.jpg"));
    EXPECT_EQ(PlainName(s("/d/photo.mv$.bak")), s("/d/photo.mv$.bak"));
    // A name that is nothing but the suffix keeps its name rather than become the folder.
    EXPECT_EQ(PlainName(s("/d/.mv$")), s("/d/.mv$"));
    EXPECT_EQ(PlainName(s(".mv%")), s(".mv%"));
}

TEST(EncryptedNames, PlainNameReversesEncryptedName)
{
    for (const char* name : {"photo.bmp", "a.b.c", "/x.y/readme", "/d/arc.tar.gz", "/my_dir/a.b",
                             "/my_dir/noext", ".hidden", "/a/b.c.d/e.f", "x.", "u_v"}) {
        EXPECT_EQ(PlainName(EncryptedName(s(name))), s(name)) << name;
        EXPECT_TRUE(HasEncryptedName(EncryptedName(s(name)))) << name;
    }
}

TEST(EncryptedNames, HasEncryptedNameLooksAtTheEndIgnoringCase)
{
    EXPECT_TRUE(HasEncryptedName(s("/d/photo_jpg.mv$")));
    EXPECT_TRUE(HasEncryptedName(s("README.MV%")));
    EXPECT_TRUE(HasEncryptedName(s("x.Mv$")));
    EXPECT_FALSE(HasEncryptedName(s("/d/photo.jpg")));
    EXPECT_FALSE(HasEncryptedName(s("/d.mv$/photo")));
    EXPECT_FALSE(HasEncryptedName(s("mv$")));
    EXPECT_FALSE(HasEncryptedName(s("")));
}

TEST(EncryptedNames, EncryptedSpecTranslatesEachPattern)
{
    EXPECT_EQ(EncryptedSpec(s("*.*")), s("*.*"));
    EXPECT_EQ(EncryptedSpec(s("*.bmp;*.gif;read*")), s("*_bmp.mv$;*_gif.mv$;read*"));
    EXPECT_EQ(EncryptedSpec(s("*.*;*.bmp")), s("*.*;*_bmp.mv$"));
    EXPECT_EQ(EncryptedSpec(s("notes")), s("notes.mv%"));
    EXPECT_EQ(EncryptedSpec(s("*.tar.gz")), s("*.tar_gz.mv$"));
    EXPECT_EQ(EncryptedSpec(s("photo.jp?;dir/;a\\")), s("photo.jp?;dir/;a\\"));
    EXPECT_EQ(EncryptedSpec(s("*.jpg;;*.png")), s("*_jpg.mv$;;*_png.mv$"));
    EXPECT_EQ(EncryptedSpec(s("*.jpg;")), s("*_jpg.mv$"));
    EXPECT_EQ(EncryptedSpec(s("")), s(""));
}

} // namespace
