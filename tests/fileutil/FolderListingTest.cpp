// Folders listed through a set of name patterns, and the patterns themselves.
#include "fileutil/FolderListing.h"
#include "browser/TypeTable.h"
#include "crypto/EncryptedNames.h"
#include "fileutil/NameText.h"
#include "fileutil/PatternSet.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mv::fileutil;

namespace {

QStringList names(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* name : list)
        out << QString::fromUtf8(name);
    return out;
}

class FolderListingTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
    QByteArray raw(const char* name) const { return QFile::encodeName(dir_.path()) + '/' + name; }
    void touch(std::initializer_list<const char*> list) const
    {
        for (const char* name : list)
            ASSERT_EQ(::close(::open(raw(name).constData(), O_CREAT | O_WRONLY, 0600)), 0) << name;
    }

    QTemporaryDir dir_;
    const QString folder_ = dir_.path();
};

// Folders, and links to them, are never files whatever the pattern; they come back as
// sub-folders. A link to a file, and a dangling one, are files; a pipe is neither. A wipe's or a
// new file's temporary name left by a killed run is reported whatever the patterns, and a name
// that only looks like one is not.
TEST_F(FolderListingTest, SubFoldersAreNeverListedAsFilesAndLeftoversAreFoundWhateverThePatterns)
{
    for (const char* name : {"sub.jpg", "Album", ".cache", "$MVFOLDER.TMP"})
        ASSERT_EQ(::mkdir(raw(name).constData(), 0700), 0);
    touch({"x.jpg", ".hidden.jpg", "$MVAB12CD.TMP", ".mv-0123456789ab.tmp", "$MVNOPE.TMP", ".mv-short.tmp"});
    ASSERT_EQ(::symlink("Album", raw("album-link").constData()), 0);
    ASSERT_EQ(::symlink("x.jpg", raw("link.jpg").constData()), 0);
    ASSERT_EQ(::symlink("missing", raw("dangling.jpg").constData()), 0);
    ASSERT_EQ(::mkfifo(raw("pipe.jpg").constData(), 0600), 0);
    for (const char* spec : {"*.jpg", "*", "*.*", "sub*"}) {
        const Listing listing = ListFiles(folder_, QString::fromUtf8(spec));
        for (const QString& file : listing.files)
            EXPECT_TRUE(QFileInfo(dir_.filePath(file)).isSymLink() || QFileInfo(dir_.filePath(file)).isFile())
                << spec << " " << file.toStdString();
        EXPECT_EQ(listing.folders, names({".cache", "$MVFOLDER.TMP", "Album", "album-link", "sub.jpg"}))
            << spec;
        EXPECT_EQ(listing.leftovers, names({".mv-0123456789ab.tmp", "$MVAB12CD.TMP"})) << spec;
    }
    EXPECT_EQ(ListFiles(folder_, QStringLiteral("*.jpg")).files,
              names({".hidden.jpg", "dangling.jpg", "link.jpg", "x.jpg"}));
}

// A name that is not valid text came back from Qt as another name (with a replacement
// character), which names another file or none. It is listed as carried, with its exact bytes;
// a folder of such a name, which could not be entered, is counted instead.
TEST_F(FolderListingTest, InvalidUtf8NameIsListedWithItsOwnBytesAndAFolderCounted)
{
    touch({"good.jpg", "été.jpg", "bad\xff.jpg", "other\xff.txt"});
    ASSERT_EQ(::mkdir(raw("dir\xfe").constData(), 0700), 0);
    const Listing listing = ListFiles(folder_, QStringLiteral("*.jpg"));
    ASSERT_EQ(listing.files.size(), 3);
    EXPECT_EQ(nativeName(listing.files[0]), "bad\xff.jpg");
    EXPECT_FALSE(isTextName(listing.files[0]));
    EXPECT_EQ(listing.files.mid(1), names({"été.jpg", "good.jpg"}));
    EXPECT_TRUE(listing.folders.isEmpty());
    EXPECT_EQ(listing.unlisted, 1);

    // Bytes that are not text come back exactly, next to text that stays text, and nothing a
    // valid name decodes to is ever taken for a carried byte.
    for (const char* native : {"\xff", "a\xc0\xaf", "x\xed\xb3\xa9", "\xf0\x90\x82\x80\xe9", "tail\xe2\x82",
                               "\xf4\x90\x80\x80", "é\x80z", "\xf0\x90\x82\x80"}) {
        const QString carried = nameFromNative(native);
        EXPECT_EQ(nativeName(carried), native) << native;
        EXPECT_EQ(isTextName(carried), isRepresentable(native)) << native;
    }
    EXPECT_EQ(printableName(nameFromNative("é\x80\n.jpg")), QStringLiteral("é\\x80\\x0a.jpg"));
}

void expectMatches(const char* patterns, std::initializer_list<const char*> yes,
                   std::initializer_list<const char*> no)
{
    const PatternSet set(QString::fromUtf8(patterns));
    for (const char* name : yes)
        EXPECT_TRUE(set.matches(QString::fromUtf8(name))) << patterns << " / " << name;
    for (const char* name : no)
        EXPECT_FALSE(set.matches(QString::fromUtf8(name))) << patterns << " / " << name;
}

TEST(PatternSet, StarAndQuestionMarkIgnoreCaseDotStarTakesNamesWithoutADotAndTheSuffixPathAgrees)
{
    expectMatches("*.jpg", {"photo.JPG", "a.jpg", ".jpg", "x.y.Jpg"},
                  {"photo.jpeg", "jpg", "a.jpg.txt", "a_jpg"});
    expectMatches("IMG_????.JPG", {"img_0001.jpg", "IMG_abcd.JPG"}, {"IMG_001.JPG", "IMG_00001.JPG"});
    expectMatches("a*b*c", {"abc", "aXXbYYc", "abbbc", "acbc"}, {"ab", "cab", "abcd"});
    expectMatches("*_JPG.mv$", {"photo_jpg.MV$", "_jpg.mv$"}, {"photo.jpg", "photo_jpg.mv%"});
    expectMatches("readme", {"README", "readme"}, {"readme.txt", "xreadme"});
    expectMatches("*", {"a", ".hidden", "no dot"}, {});
    expectMatches("", {}, {"a", ".x"});
    expectMatches("*.JPG;;*.PNG;", {"a.png", "b.jpg"}, {"c.gif"});
    // "*.*" also matches names without an extension, and case is folded beyond ASCII.
    expectMatches("*.*", {"README", "a.b", ".profile", "x."}, {});
    EXPECT_TRUE(PatternSet(QStringLiteral("*.*")).matchesEverything());
    expectMatches("photo.*", {"photo", "PHOTO.JPG", "photo.tar.gz"}, {"photos", "photo2.jpg"});
    expectMatches("*.ÄRG", {"x.ärg", "X.ÄRG"}, {"x.arg"});
    expectMatches("ÉTÉ*", {"été.png"}, {"ete.png"});

    // All Supported Files with its encrypted forms, as the main window lists them: the fast
    // suffix path and the general matcher must agree on every name.
    const QString spec = QString(mv::browser::AllSupportedPattern);
    const QString full = spec + QLatin1Char(';') + mv::crypto::EncryptedSpec(spec);
    const PatternSet set(full);
    const QStringList patterns = full.split(QLatin1Char(';'));
    const QStringList names {QStringLiteral("IMG_0001.JPG"), QStringLiteral("IMG_0001_JPG.mv$"),
                             QStringLiteral("a.jpeg"),       QStringLiteral("a_jpeg.MV$"),
                             QStringLiteral("notes.txt"),    QStringLiteral("notes_txt.mv$"),
                             QStringLiteral("x.jpe"),        QStringLiteral("pcx"),
                             QStringLiteral("a.tif.bak"),    QStringLiteral("b_TGA.mv$"),
                             QStringLiteral("readme.mv%"),   QStringLiteral("w.wpg")};
    for (const QString& name : names) {
        bool expected = false;
        for (const QString& pattern : patterns)
            expected = expected || wildcardMatch(foldedName(pattern), foldedName(name));
        EXPECT_EQ(set.matches(name), expected) << name.toStdString();
    }
    EXPECT_TRUE(set.matches(QStringLiteral("IMG_0001_JPG.mv$")));
    EXPECT_FALSE(set.matches(QStringLiteral("notes_txt.mv$")));
}

} // namespace
