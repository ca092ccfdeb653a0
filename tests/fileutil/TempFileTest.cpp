#include "fileutil/TempFile.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>

#include <sys/stat.h>

using namespace mv;
using namespace mvtest;

namespace {

TEST(TempFile, IsNewEmptyHiddenOwnerOnlyAndBesideTheTarget)
{
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/photo_jpg.mv$");
    const mode_t oldMask = ::umask(0);  // the mode must not depend on the umask
    QString first, second;
    const FileResult a = createTempBeside(target, first);
    const FileResult b = createTempBeside(target, second);
    ::umask(oldMask);

    ASSERT_TRUE(a.ok) << a.message().toStdString();
    ASSERT_TRUE(b.ok) << b.message().toStdString();
    EXPECT_NE(first, second);
    for (const QString& temp : {first, second}) {
        EXPECT_EQ(folderOf(temp), dir.path() + QLatin1Char('/'));
        const QString name = temp.mid(temp.lastIndexOf('/') + 1);
        EXPECT_TRUE(name.startsWith(QStringLiteral(".mv-"))) << name.toStdString();
        EXPECT_TRUE(name.endsWith(QStringLiteral(".tmp")));
        const struct stat st = lstatOf(temp);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        EXPECT_EQ(st.st_size, 0);
    }
    EXPECT_FALSE(exists(target));
    EXPECT_EQ(entries(dir.path()).size(), 2);
}

TEST(TempFile, FailsWhenTheTargetFolderIsMissingOrAFile)
{
    QTemporaryDir dir;
    QString temp = QStringLiteral("stale");
    const FileResult missing = createTempBeside(dir.path() + QStringLiteral("/no/such/x"), temp);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.step, QStringLiteral("create temporary file"));
    EXPECT_TRUE(temp.isEmpty());

    ASSERT_TRUE(writeAll(dir.path() + QStringLiteral("/plain"), "x"));
    const FileResult notFolder = createTempBeside(dir.path() + QStringLiteral("/plain/x"), temp);
    EXPECT_EQ(notFolder.error, ENOTDIR);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("plain")});
}

} // namespace
