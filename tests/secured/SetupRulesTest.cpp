// The setup's small rules: proposed titles, the names files are listed under, and a path
// handed to a program as one word.
#include "secured/SetupRules.h"

#include <gtest/gtest.h>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;

TEST(SetupRulesTest, TitlesNamesAndQuoting)
{
    const struct {
        QString path, title;
    } titles[] = {
        {u"/opt/Tools/Editor.exe"_s, u"Editor"_s},
        {u"/opt/My.Tools/Editor.exe"_s, u"My"_s}, // the first "." of the whole path cuts
        {u"/usr/bin/gedit"_s, u"gedit"_s},
    };
    for (const auto& t : titles)
        EXPECT_EQ(proposedTitle(t.path), t.title) << t.path.toStdString();

    EXPECT_EQ(listedName(u"/home/me/report_doc.mv$"_s), u"/home/me/report.doc"_s);
    EXPECT_EQ(listedName(u"/home/me/README.MV%"_s), u"/home/me/README"_s);
    EXPECT_EQ(listedName(u"/home/me/report.doc"_s), u"/home/me/report.doc"_s);

    EXPECT_EQ(shellQuoted(u"/home/me/notes-1.txt"_s), u"/home/me/notes-1.txt"_s);
    EXPECT_EQ(shellQuoted(u"/home/me/My Notes/it's $HOME.txt"_s),
              u"'/home/me/My Notes/it'\\''s $HOME.txt'"_s);
}

} // namespace
} // namespace mv::secured
