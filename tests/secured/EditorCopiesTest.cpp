// The plain copies editors leave beside the files.
#include "LaunchTestKit.h"

#include "fileutil/Wipe.h"
#include "secured/EditorCopies.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace mv;

namespace {

void touch(const QString& path, const QByteArray& bytes = "plain words")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(launchtest::writeAll(path, bytes)) << path.toStdString();
}

} // namespace

TEST(EditorCopies, EveryEditorsCopyBesideAListedFileIsFoundAndNothingElse)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString notes = folder + QStringLiteral("notes.txt");
    const QString report = folder + QStringLiteral("report.odt");
    touch(notes);
    touch(report);
    const QStringList copies {
        QStringLiteral("notes.txt~"),         QStringLiteral("notes.txt.~1~"),
        QStringLiteral("notes.txt.~12~"),     QStringLiteral(".notes.txt.swp"),
        QStringLiteral(".notes.txt.swo"),     QStringLiteral(".notes.txt.swn"),
        QStringLiteral("#notes.txt#"),        QStringLiteral(".notes.txt.kate-swp"),
        QStringLiteral(".~lock.report.odt#"), QStringLiteral("report.bak"),
    };
    for (const QString& name : copies)
        touch(folder + name);
    // Emacs's lock is a link that points nowhere.
    ASSERT_TRUE(QFile::link(QStringLiteral("user@host.123"), folder + QStringLiteral(".#notes.txt")));
    // Look-alikes that are no editor's copy of a listed file.
    for (const char* other :
         {"notes.txt.~x~", "notes.txt.orig", "othernotes.txt~", "notes.bak~", ".notes.swp"})
        touch(folder + QString::fromLatin1(other));
    // A file of the list is never offered, even when it looks like a copy of another.
    const QString listedBackup = folder + QStringLiteral("notes.txt~");

    QStringList expected;
    for (const QString& name : copies)
        expected << folder + name;
    expected << folder + QStringLiteral(".#notes.txt");
    expected.removeOne(listedBackup);
    expected.sort();
    EXPECT_EQ(secured::findEditorCopies({notes, report, listedBackup}), expected);
    EXPECT_TRUE(secured::findEditorCopies({folder + QStringLiteral("gone.txt")}).isEmpty());

    const fileutil::WipeReport wiped = fileutil::wipeAll(expected);
    EXPECT_TRUE(wiped.failures.isEmpty());
    EXPECT_EQ(wiped.wiped, expected);
    EXPECT_TRUE(secured::findEditorCopies({notes, report}) == QStringList({listedBackup}));
    EXPECT_TRUE(QFile::exists(notes));
    EXPECT_EQ(
        secured::editorCopiesQuestion({QStringLiteral("/a/b~"), QStringLiteral("/a/#b#")}),
        QStringLiteral("An editor left these plain copies beside the files:\n/a/b~\n/a/#b#\nWipe them now?"));
}
