#include "browser/ViewListing.h"
#include "browser/TypeTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace mv::browser;

namespace {

// From a worker, as the window lists: the result names the folder and the filter's own spec.
TEST(ViewListing, JpegFilterListsPlainAndEncryptedFilesSideBySide)
{
    QTemporaryDir dir;
    const QString folder_ = dir.path();
    for (const char* name : {"a.jpg", "b.jpeg", "a_jpg.mv$", "c.txt"})
        ASSERT_EQ(::close(::open(QFile::encodeName(dir.filePath(QString::fromUtf8(name))).constData(),
                                 O_CREAT | O_WRONLY, 0600)),
                  0);
    const mv::fileutil::Listing listing = startListing(folder_, specForIndex(9).patterns).result();
    EXPECT_TRUE(listing.error.ok);
    EXPECT_EQ(listing.files,
              (QStringList {QStringLiteral("a.jpg"), QStringLiteral("a_jpg.mv$"), QStringLiteral("b.jpeg")}));
    EXPECT_EQ(listing.spec, QStringLiteral("*.JPG;*.JPEG"));
    EXPECT_EQ(listing.folder, folder_);
}

} // namespace
