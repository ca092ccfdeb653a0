#include "fileutil/PatternSet.h"
#include "browser/TypeTable.h"
#include "crypto/EncryptedNames.h"

#include <gtest/gtest.h>

using namespace mv::fileutil;

namespace {

void expectMatches(const char* patterns, std::initializer_list<const char*> yes,
                   std::initializer_list<const char*> no)
{
    const PatternSet set(QString::fromUtf8(patterns));
    for (const char* name : yes)
        EXPECT_TRUE(set.matches(QString::fromUtf8(name))) << patterns << " / " << name;
    for (const char* name : no)
        EXPECT_FALSE(set.matches(QString::fromUtf8(name))) << patterns << " / " << name;
}

TEST(PatternSet, StarAndQuestionMarkIgnoreCase)
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
}

TEST(PatternSet, DotStarAlsoMatchesNamesWithoutAnExtension)
{
    expectMatches("*.*", {"README", "a.b", ".profile", "x."}, {});
    EXPECT_TRUE(PatternSet(QStringLiteral("*.*")).matchesEverything());
    expectMatches("photo.*", {"photo", "PHOTO.JPG", "photo.tar.gz"}, {"photos", "photo2.jpg"});
}

TEST(PatternSet, CaseIsFoldedBeyondAscii)
{
    expectMatches("*.ÄRG", {"x.ärg", "X.ÄRG"}, {"x.arg"});
    expectMatches("ÉTÉ*", {"été.png"}, {"ete.png"});
}

// All Supported Files with its encrypted forms, as the main window lists them: the fast
// suffix path and the general matcher must agree on every name.
TEST(PatternSet, SuffixLookupAgreesWithTheGeneralMatcher)
{
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
