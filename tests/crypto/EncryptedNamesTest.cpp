#include "crypto/EncryptedNames.h"

#include <gtest/gtest.h>

using namespace mv::crypto;

namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

// Only the last dot of the file name changes; a name without one gets .mv%. PlainName undoes
// it, and the result is known as encrypted by its name. The suffix counts at the end of the
// file name only, in any case; a name that is nothing but the suffix keeps its name rather than
// become the folder.
TEST(EncryptedNames, OnlyTheLastDotOfTheFileNameChangesAndPlainNameUndoesIt)
{
    struct Case {
        const char* plain;
        const char* name;
        bool encrypted;
        bool made; // EncryptedName(plain) gives the name
    };
    const Case cases[] = {{"photo.bmp", "photo_bmp.mv$", true, true},
                          {"a.b.c", "a.b_c.mv$", true, true},
                          {"/x.y/readme", "/x.y/readme.mv%", true, true},
                          {"x.", "x_.mv$", true, true},
                          {"/home/me/Fotos/Strand.JPG", "/home/me/Fotos/Strand_JPG.mv$", true, true},
                          {"a_b", "a_b.mv%", true, true},
                          {"a_b.txt", "a_b_txt.mv$", true, true},
                          {"file_my.ext", "file_my_ext.mv$", true, true},
                          {"/my_dir/notes", "/my_dir/notes.mv%", true, true},
                          {".hidden", "_hidden.mv$", true, true},
                          {"/a/b.c.d/e.f", "/a/b.c.d/e_f.mv$", true, true},
                          {"A.B", "A_B.MV$", true, false},
                          {"/my_dir/readme", "/my_dir/readme.mv$", true, false},
                          {"/my_dir/readme", "/my_dir/readme.Mv%", true, false},
                          {"a.txt", "a.txt", false, false},
                          {"/d/photo.mv$.bak", "/d/photo.mv$.bak", false, false},
                          {"/d.mv$/photo", "/d.mv$/photo", false, false},
                          {"/d/.mv$", "/d/.mv$", true, false},
                          {".mv%", ".mv%", true, false},
                          {"mv$", "mv$", false, false},
                          {"", "", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(PlainName(s(c.name)), s(c.plain)) << c.name;
        EXPECT_EQ(HasEncryptedName(s(c.name)), c.encrypted) << c.name;
        if (c.made) {
            EXPECT_EQ(EncryptedName(s(c.plain)), s(c.name)) << c.plain;
        }
    }
}

TEST(EncryptedNames, EncryptedSpecTranslatesEachPattern)
{
    const std::pair<const char*, const char*> patterns[] = {
        {"*.*", "*.*"},
        {"*.bmp;*.gif;read*", "*_bmp.mv$;*_gif.mv$;read*"},
        {"*.*;*.bmp", "*.*;*_bmp.mv$"},
        {"notes", "notes.mv%"},
        {"*.tar.gz", "*.tar_gz.mv$"},
        {"photo.jp?;dir/;a\\", "photo.jp?;dir/;a\\"},
        {"*.jpg;;*.png", "*_jpg.mv$;;*_png.mv$"},
        {"*.jpg;", "*_jpg.mv$"},
        {"", ""}};
    for (const auto& [pattern, encrypted] : patterns)
        EXPECT_EQ(EncryptedSpec(s(pattern)), s(encrypted)) << pattern;
}

} // namespace
