// The journal of a running entry: on disk while its files may lie plain, read back at the
// next start.
#include "LaunchTestKit.h"

#include "secured/RunJournal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace mv;

namespace {

void touch(const QString& path)
{
    ASSERT_TRUE(launchtest::writeAll(path, {}));
}

} // namespace

TEST(RunJournal, JournalsWithPlainFilesAreReadBackAndTheRestWiped)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/running"));
    const QString plain = dir.filePath(QStringLiteral("Brief an Jürgen.txt"));
    const QString odd = dir.filePath(QStringLiteral("two\nlines.txt"));
    const QString locked = dir.filePath(QStringLiteral("locked.txt"));
    touch(plain);
    touch(odd);

    const secured::JournalRecord editor {3, QStringLiteral("Texteditor – privat"), {plain, odd, locked}};
    ASSERT_TRUE(secured::writeJournal(folder, editor).ok);
    // A later start of the same entry replaces its journal.
    ASSERT_TRUE(secured::writeJournal(folder, {3, editor.title, {locked, plain, odd}}).ok);
    ASSERT_TRUE(secured::writeJournal(folder, {7, QStringLiteral("Viewer"), {locked}}).ok);
    ASSERT_TRUE(secured::writeJournal(folder, {9, QStringLiteral("Removed"), {plain}}).ok);
    ASSERT_TRUE(secured::removeJournal(folder, 9).ok);
    ASSERT_TRUE(secured::removeJournal(folder, 9).ok);
    // Private: the folder and the files name the user's files.
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(folder + QStringLiteral("/entry-3.journal")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    touch(folder + QStringLiteral("/entry-5.journal")); // damaged: left alone

    const QList<secured::LeftJournal> left = secured::readLeftJournals(folder);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.entry, 3);
    EXPECT_EQ(left[0].record.title, editor.title);
    EXPECT_EQ(left[0].record.files, QStringList({locked, plain, odd}));
    EXPECT_EQ(left[0].plainFiles, QStringList({plain, odd}));
    // Entry 7's files are all encrypted: its journal is gone; the damaged one stays.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList({QStringLiteral("entry-3.journal"), QStringLiteral("entry-5.journal")}));
}
