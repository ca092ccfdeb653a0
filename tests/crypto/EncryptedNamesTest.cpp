#include "crypto/EncryptedNames.h"

#include <gtest/gtest.h>

using namespace mv::crypto;

namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

// Only the last dot of the file name changes; a name without one gets .mv%. PlainName undoes
// it, and the result is known as encrypted by its name.
TEST(EncryptedNames, EncryptedNameChangesOnlyTheLastDotOfTheFileNameAndPlainNameUndoesIt)
{
    const std::pair<const char*, const char*> names[] = {
        {"photo.bmp", "photo_bmp.mv$"},
        {"a.b.c", "a.b_c.mv$"},
        {"/x.y/readme", "/x.y/readme.mv%"},
        {"x.", "x_.mv$"},
        {"/home/me/Fotos/Strand.JPG", "/home/me/Fotos/Strand_JPG.mv$"},
        {"u_v", "u_v.mv%"},
        {"/d/arc.tar.gz", "/d/arc.tar_gz.mv$"},
        {"/my_dir/notes", "/my_dir/notes.mv%"},
        {"/my_dir/a.b", "/my_dir/a_b.mv$"},
        {".hidden", "_hidden.mv$"},
        {"/a/b.c.d/e.f", "/a/b.c.d/e_f.mv$"}};
    for (const auto& [plain, encrypted] : names) {
        EXPECT_EQ(EncryptedName(s(plain)), s(encrypted)) << plain;
        EXPECT_EQ(PlainName(s(encrypted)), s(plain)) << plain;
        EXPECT_TRUE(HasEncryptedName(s(encrypted))) << plain;
    }
}

// The suffix counts at the end of the file name only, in any case; a name that is nothing but
// the suffix keeps its name rather than become the folder.
TEST(EncryptedNames, PlainNameAndHasEncryptedNameLookAtTheEndOfTheFileNameOnly)
{
    struct Case {
        const char* name;
        const char* plain;
        bool encrypted;
    };
    const Case cases[] = {{"A_B.MV$", "A.B", true},
                          {"a.txt", "a.txt", false},
                          {"a_b_txt.mv$", "a_b.txt", true},
                          {"a_b.mv%", "a_b", true},
                          {"file_my_ext.mv$", "file_my.ext", true},
                          {"/my_dir/readme.mv$", "/my_dir/readme", true},
                          {"/my_dir/readme.Mv%", "/my_dir/readme", true},
                          {"/d/photo.mv$.bak", "/d/photo.mv$.bak", false},
                          {"/d.mv$/photo", "/d.mv$/photo", false},
                          {"/d/.mv$", "/d/.mv$", true},
                          {".mv%", ".mv%", true},
                          {"mv$", "mv$", false},
                          {"", "", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(PlainName(s(c.name)), s(c.plain)) << c.name;
        EXPECT_EQ(HasEncryptedName(s(c.name)), c.encrypted) << c.name;
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
