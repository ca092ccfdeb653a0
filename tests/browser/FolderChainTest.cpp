#include "browser/FolderChain.h"

#include <gtest/gtest.h>

using namespace mv::browser;

namespace {

TEST(FolderChain, RootDownToTheFolderThenItsSubFolders)
{
    const FolderChain chain =
        folderChain(QStringLiteral("/media/stick/DCIM/"), QStringLiteral("/media/stick"),
                    {QStringLiteral("100CANON"), QStringLiteral("101CANON")});
    EXPECT_EQ(chain.entries, (QStringList {"/media/stick", "/media/stick/DCIM", "/media/stick/DCIM/100CANON",
                                           "/media/stick/DCIM/101CANON"}));
    EXPECT_EQ(chain.current, 1);

    const FolderChain top = folderChain(QStringLiteral("/"), QStringLiteral("/"), {QStringLiteral("home")});
    EXPECT_EQ(top.entries, (QStringList {"/", "/home"}));
    EXPECT_EQ(top.current, 0);

    const FolderChain deep = folderChain(QStringLiteral("/a/b"), QStringLiteral("/"), {});
    EXPECT_EQ(deep.entries, (QStringList {"/", "/a", "/a/b"}));
    EXPECT_EQ(deep.current, 2);

    // A root the path is not on (a prefix only by its letters) gives way to "/".
    EXPECT_EQ(folderChain(QStringLiteral("/mediax/y"), QStringLiteral("/media"), {}).entries,
              (QStringList {"/", "/mediax", "/mediax/y"}));
}

TEST(FolderChain, UpHighlightNamesTheSubFolderTheUserCameFrom)
{
    EXPECT_EQ(upHighlight(QStringLiteral("/a"), QStringLiteral("/a/b/c")), QStringLiteral("/a/b"));
    EXPECT_EQ(upHighlight(QStringLiteral("/"), QStringLiteral("/a/b")), QStringLiteral("/a"));
    EXPECT_EQ(upHighlight(QStringLiteral("/"), QStringLiteral("/a")), QStringLiteral("/a"));
    EXPECT_EQ(upHighlight(QStringLiteral("/a/b"), QStringLiteral("/a/b/c")), QStringLiteral("/a/b/c"));
    EXPECT_EQ(upHighlight(QStringLiteral("/media/stick/"), QStringLiteral("/media/stick/DCIM/100")),
              QStringLiteral("/media/stick/DCIM"));
    // Not moving up: down, sideways, the same folder, or a sibling sharing the first letters.
    EXPECT_EQ(upHighlight(QStringLiteral("/a/b/c"), QStringLiteral("/a")), QString());
    EXPECT_EQ(upHighlight(QStringLiteral("/x"), QStringLiteral("/a/b")), QString());
    EXPECT_EQ(upHighlight(QStringLiteral("/a/b"), QStringLiteral("/a/b")), QString());
    EXPECT_EQ(upHighlight(QStringLiteral("/a/b"), QStringLiteral("/a/bc/d")), QString());
    EXPECT_EQ(upHighlight(QStringLiteral("/a"), QString()), QString());
}

} // namespace
