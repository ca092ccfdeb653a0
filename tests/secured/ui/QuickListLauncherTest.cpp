// Choosing an entry of the list as the window does: its file decrypted while the program runs,
// encrypted again with the same key when it has ended, and the refusals on the way.
#include "secured/ui/QuickListLauncher.h"

#include "../LaunchTestKit.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/Signature.h"
#include "secured/QuickListState.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace mv::secured {
namespace {

TEST(QuickListLauncher, EntryRunsWithItsFilesPlainAndIsLockedAgainWithTheSameKeyOnce)
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(launchtest::writeAll(notes, "diary"));
    const crypto::CryptOutcome sealed = crypto::encryptOne(notes, "Door");
    ASSERT_EQ(sealed.kind, crypto::CryptOutcome::Done);
    const QString marker = dir.filePath(QStringLiteral("ran"));
    const QString program =
        launchtest::writeScript(dir.filePath(QStringLiteral("editor")),
                                "cat \"$1\" > '" + QFile::encodeName(marker) + "'; sleep 0.3");

    QuickListState state;
    QuickItem item;
    item.Title = QStringLiteral("Diary");
    item.Path = program;
    item.Params = QStringLiteral("notes.txt");
    item.Data = notes;
    const int n = state.appendEntry(item);
    crypto::KeyState keys;
    ASSERT_TRUE(keys.append(crypto::SecretText::fromBytes("Door", 4)));

    QWidget window;
    int minimized = 0;
    int restored = 0;
    QStringList told;
    QuickListLauncher launcher(
        state, keys, &window, [&] { ++minimized; }, [&] { ++restored; }, [](const QString&) {});
    launcher.tell = [&](const QString& text) { told << text; };
    launcher.ask = [](const QString&) { return true; };
    launcher.options.start.helper = QStringLiteral(MV_LAUNCH_HELPER);
    launcher.options.start.scope = ScopeUse::Never;
    launcher.options.endedAtOnceMs = 0;
    launcher.options.journalFolder = dir.filePath(QStringLiteral("journal"));

    state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return state.PendingCount() == 1; }, 10000));
    EXPECT_TRUE(state.entry(n).Running);
    EXPECT_EQ(minimized, 1);
    EXPECT_TRUE(QFile::exists(notes)) << "the file is plain while the program runs";
    state.chooseEntry(n);
    EXPECT_EQ(told, QStringList {QStringLiteral("This program is already running!")});

    ASSERT_TRUE(launchtest::waitUntil([&] { return state.PendingCount() == 0; }, 10000));
    EXPECT_FALSE(state.entry(n).Running);
    EXPECT_EQ(launchtest::readAll(marker), QByteArray("diary")) << "the program read the plain file";
    EXPECT_FALSE(QFile::exists(notes));
    ASSERT_TRUE(crypto::BeginsWithSignature(sealed.target));
    // Locked again with the key that opened it, not with another of the cache.
    const crypto::CryptOutcome opened = crypto::decryptOne(sealed.target, {"Door"});
    EXPECT_EQ(opened.kind, crypto::CryptOutcome::Done);
    EXPECT_EQ(restored, 0);

    // A program that cannot start: the window comes back and the user is told why.
    state.entry(n).Path = dir.filePath(QStringLiteral("missing"));
    told.clear();
    state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return !told.isEmpty(); }, 10000));
    EXPECT_TRUE(told.front().startsWith(QStringLiteral("Unable to run application")))
        << told.front().toStdString();
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(state.PendingCount(), 0);
    EXPECT_FALSE(state.entry(n).Running);
}

} // namespace
} // namespace mv::secured
