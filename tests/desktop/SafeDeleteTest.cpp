// Safe delete of the selected files, each wiped in list order, as an ordinary user: the window
// tests walk the question after a failure, where root ignores a file's permissions.
#include "desktop/DeleteRun.h"

#include "fileutil/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace mv::desktop;
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

} // namespace
