// Safe delete of the selected files: each wiped in list order; after a failure the user
// decides whether the next ones go too.
#include "fileutil/DeleteRun.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>

using namespace mv::fileutil;
using namespace mvtest;

namespace {

class SafeDeleteTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    void write(const QStringList& names)
    {
        for (int i = 0; i < names.size(); ++i)
            ASSERT_TRUE(writeAll(folder() + names[i], patterned(40000, i)));
    }
};

TEST_F(SafeDeleteTest, ReadOnlyFileIsWipedLikeAnyOther)
{
    write({"locked.jpg", "open.jpg"});
    ASSERT_EQ(::chmod(QFile::encodeName(folder() + "locked.jpg").constData(), 0444), 0);
    EXPECT_TRUE(asOrdinaryUser(dir.path(), [&] {
        QStringList inHand;
        DeleteCallbacks callbacks;
        callbacks.inHand = [&](const QString& path) { inHand << path; };
        const DeleteReport r = safeDeleteFiles(folder(), {"locked.jpg", "open.jpg"}, callbacks);
        return r.failed.isEmpty() && !r.stopped && r.done.size() == 2 &&
               inHand == QStringList {folder() + "locked.jpg", folder() + "open.jpg"} &&
               entries(dir.path()).isEmpty();
    }));
}

// The first file's rename is refused: the question names it and the reason; Yes wipes the
// others, No leaves them whole.
TEST_F(SafeDeleteTest, AFailedWipeAsksAndGoesOnOrStops)
{
    for (const bool goOn : {true, false}) {
        write({"one.jpg", "two.jpg", "three.jpg"});
        int renames = 0;
        WipeOptions options;
        options.fault = [&](WipeStep step) {
            return step == WipeStep::Rename && renames++ == 0 ? EACCES : 0;
        };
        QList<FileFailure> asked;
        DeleteCallbacks callbacks;
        callbacks.goOn = [&](const FileFailure& f) {
            asked << f;
            return goOn;
        };
        const DeleteReport r =
            safeDeleteFiles(folder(), {"one.jpg", "two.jpg", "three.jpg"}, callbacks, options);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0].path, folder() + "one.jpg");
        EXPECT_EQ(resultText(asked[0].result), "rename to a meaningless name: Permission denied");
        EXPECT_EQ(r.stopped, !goOn);
        EXPECT_EQ(readAll(folder() + "one.jpg"), patterned(40000, 0));
        if (goOn) {
            EXPECT_EQ(r.done, (QStringList {folder() + "two.jpg", folder() + "three.jpg"}));
            EXPECT_EQ(entries(dir.path()), QStringList {"one.jpg"});
        } else {
            EXPECT_TRUE(r.done.isEmpty());
            EXPECT_EQ(readAll(folder() + "three.jpg"), patterned(40000, 2));
            EXPECT_EQ(entries(dir.path()).size(), 3);
        }
        for (const QString& name : entries(dir.path()))
            QFile::remove(folder() + name);
    }
}

} // namespace
