#include "crypto/ViewCopies.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include <cstdlib>

#include <sys/stat.h>

using namespace mv::crypto;
using namespace mv::fileutil;
using namespace mvtest;

namespace {

// Gives each test an XDG_RUNTIME_DIR and XDG_CACHE_HOME of its own, and puts them back.
class ViewCopiesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        savedCache = qgetenv("XDG_CACHE_HOME");
        const QString base =
            QFile::decodeName(qgetenv("HOME")) + QStringLiteral("/view-") +
            QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        runtime = base + QStringLiteral("/runtime");
        cache = base + QStringLiteral("/cache");
        ASSERT_TRUE(QDir().mkpath(runtime));
        ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0700), 0);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("XDG_CACHE_HOME", savedCache);
    }

    QByteArray savedRuntime, savedCache;
    QString runtime, cache;
};

TEST_F(ViewCopiesTest, CopiesGoInAPrivateRuntimeFolderAndKeepTheExtension)
{
    const QString folder = runtime + QStringLiteral("/mirravelnock");
    const std::pair<const char*, const char*> cases[] = {
        {"/home/me/Pictures/photo.jpg", "^view-[0-9a-f]{8}\\.jpg$"},
        {"readme", "^view-[0-9a-f]{8}$"},
        {"/a.b/.profile", "^view-[0-9a-f]{8}$"}};
    for (const auto& [original, name] : cases) {
        QString copy;
        ASSERT_TRUE(createViewCopy(QString::fromUtf8(original), copy).ok);
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(name)).match(copy.mid(folder.size() + 1)).hasMatch())
            << copy.toStdString();
        EXPECT_EQ(copy.left(copy.lastIndexOf(QLatin1Char('/'))), folder);
        EXPECT_EQ(modeOf(copy), 0600u);
        EXPECT_EQ(lstatOf(copy).st_size, 0);
    }
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(entries(folder).size(), 3);
}

TEST_F(ViewCopiesTest, FallsBackToTheCacheWithoutARuntimeFolder)
{
    for (const bool unset : {true, false}) {
        if (unset)
            qunsetenv("XDG_RUNTIME_DIR");
        else // set, but open to others: not usable
            ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0755), 0);
        QString folder;
        ASSERT_TRUE(privateViewFolder(folder).ok);
        EXPECT_EQ(folder, cache + QStringLiteral("/mirravelnock/view"));
        EXPECT_EQ(modeOf(folder), 0700u);
        EXPECT_EQ(modeOf(cache + QStringLiteral("/mirravelnock")), 0700u);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
}

TEST_F(ViewCopiesTest, ClosesAnOpenFolderOfOursAndRefusesAFileInItsPlace)
{
    const QString folder = runtime + QStringLiteral("/mirravelnock");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    QString got;
    ASSERT_TRUE(privateViewFolder(got).ok);
    EXPECT_EQ(got, folder);
    EXPECT_EQ(modeOf(folder), 0700u);

    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(writeAll(folder, "not a folder"));
    QString copy = QStringLiteral("stale");
    const FileResult r = createViewCopy(QStringLiteral("photo.jpg"), copy);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, nativePath(folder) + " is not a folder");
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_EQ(readAll(folder), QByteArray("not a folder"));
}

} // namespace
