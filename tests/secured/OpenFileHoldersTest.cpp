// Finding the processes that still hold a file of the list open.
#include "LaunchTestKit.h"

#include "secured/HolderWait.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace mv;
using launchtest::writeScript;

TEST(OpenFileHolders, AProcessHoldingAFileUnderAnyNameIsFoundUntilItClosesIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString notes = dir.filePath(QStringLiteral("real/notes.txt"));
    const QString other = dir.filePath(QStringLiteral("real/other.txt"));
    ASSERT_TRUE(launchtest::writeAll(notes, {}) && launchtest::writeAll(other, {}));
    // The holder opens the file through a link to its folder, as another name for it.
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("real")), dir.filePath(QStringLiteral("alias"))));
    const secured::StartOutcome holder = launchtest::start(writeScript(
        dir.filePath(QStringLiteral("hold.sh")),
        "exec 7< '" + dir.filePath(QStringLiteral("alias/notes.txt")).toUtf8() + "'; exec sleep 0.5"));
    ASSERT_TRUE(holder.status.ok) << holder.status.message();

    const QStringList files {other, notes, dir.filePath(QStringLiteral("gone"))};
    QList<secured::FileHolder> holders;
    // Wait for the script to have become "sleep", still holding the file.
    launchtest::waitUntil(
        [&] {
            holders = secured::findHolders(files);
            return !holders.isEmpty() && holders[0].command == QStringLiteral("sleep");
        },
        3000);
    ASSERT_EQ(holders.size(), 1);
    EXPECT_EQ(holders[0].pid, holder.programPid);
    EXPECT_EQ(holders[0].command, QStringLiteral("sleep"));
    EXPECT_EQ(holders[0].file, notes);
    EXPECT_EQ(secured::waitingForHoldersText(holders),
              QStringLiteral(
                  "Waiting for sleep (%1) to close notes.txt; the files are encrypted again once it has.")
                  .arg(holder.programPid));

    // The wait says so while the file is held and lets go once it is closed.
    secured::HolderWait wait(files);
    int looks = 0;
    bool released = false;
    QObject::connect(&wait, &secured::HolderWait::waiting,
                     [&](const QList<secured::FileHolder>& found) { looks += found.size(); });
    QObject::connect(&wait, &secured::HolderWait::released, [&] { released = true; });
    wait.start(100);
    ASSERT_TRUE(launchtest::waitUntil([&] { return released; }, 3000));
    EXPECT_GE(looks, 1);
    EXPECT_TRUE(secured::findHolders({notes}).isEmpty());
    EXPECT_TRUE(launchtest::waitHelper(holder, 3000));
}
