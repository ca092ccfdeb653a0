// A stop signal while a program of the Secured Access List runs. The close used to be refused
// with "Can not exit now" in a message box nobody would answer at a logout, and the window went
// on: the session then killed it with the files plain.
#include "WindowTestBase.h"

#include "../../secured/LaunchTestKit.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/MemoryDecrypt.h"
#include "fileutil/TestFiles.h"
#include "secured/OpenFileHolders.h"
#include "secured/QuickListState.h"
#include "secured/RunJournal.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/ui/QuitRequest.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace mv;
using namespace Qt::StringLiterals;

namespace {

class QuitWhileListedProgramRuns : public shell::test::WindowTestBase {};

TEST_F(QuitWhileListedProgramRuns, AStopSignalWaitsForTheProgramAndItsRelockBoundedThenLeavesItNamed)
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(u"notes.txt"_s);
    const QString go = dir.filePath(u"go"_s);
    const QString journal = dir.filePath(u"journal"_s);
    const crypto::SecretText key = crypto::SecretText::fromText(u"Lima2222"_s);
    // Ends when told to, as a program does when the session ends it; the second never does.
    const QString program = launchtest::writeScript(dir.filePath(u"editor"_s),
                                                    "while [ ! -e " + launchtest::quoted(go) +
                                                        " ]; do sleep 0.05; done; echo saved >> \"$1\"");
    const QString stubborn = launchtest::writeScript(dir.filePath(u"stubborn"_s), "exec sleep 30");

    for (const bool endsInTime : {true, false}) {
        SCOPED_TRACE(endsInTime ? "the program ends in time" : "the program runs on");
        // One set of signal handlers at a time: the old ones go first.
        quit_.reset();
        window_.reset();
        QFile::remove(go);
        QFile::remove(crypto::EncryptedName(notes));
        ASSERT_TRUE(mvtest::writeAll(notes, "words\n"));
        ASSERT_EQ(crypto::encryptOne(notes, "Lima2222").kind, crypto::CryptOutcome::Done);
        shell::MainWindow& window = start();
        quitOnSignal();
        auto* quit = window.findChild<shell::QuitRequest*>();
        ASSERT_NE(quit, nullptr);
        quit->programWaitMs = endsInTime ? 30000 : 600;
        secured::QuickListLauncher& launcher = *window.quickListLauncher();
        launcher.options.start.helper = QStringLiteral(MV_LAUNCH_HELPER);
        launcher.options.start.scope = secured::ScopeUse::Never;
        launcher.options.endedAtOnceMs = 0;
        launcher.options.journalFolder = journal;
        window.findChild<crypto::KeyState*>()->append(key);
        secured::QuickItem item;
        item.Title = u"Editor"_s;
        item.Path = endsInTime ? program : stubborn;
        item.Params = u"notes.txt"_s;
        item.Data = notes;
        secured::QuickListState& state = window.quickListState();
        state.chooseEntry(state.appendEntry(item));
        ASSERT_TRUE(until([&] { return state.PendingCount() == 1; }));

        // A box that would stand at a logout is recorded and closed.
        QStringList boxes;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->reject();
            }
        });
        answer.start(10);
        ::raise(SIGTERM);
        QTest::qWait(400);
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
        if (endsInTime) {
            EXPECT_TRUE(window.isVisible());
            ASSERT_TRUE(mvtest::writeAll(go, ""));
            ASSERT_TRUE(until([&] { return !window.isVisible(); }, 20000));
            EXPECT_FALSE(window.workLeftUndone());
            const crypto::MemoryDecrypt d =
                crypto::decryptToMemory(crypto::EncryptedName(notes), {key}, 1 << 20);
            ASSERT_EQ(d.kind, crypto::MemoryDecrypt::Opened);
            EXPECT_EQ(d.bytes.view(), "words\nsaved\n");
            EXPECT_FALSE(QFile::exists(notes));
            EXPECT_TRUE(secured::readLeftJournals(journal).isEmpty());
            continue;
        }
        // Past its time the window closes; the file stays plain, named with the program that
        // still runs, and the exit status tells it.
        ASSERT_TRUE(until([&] { return !window.isVisible(); }, 5000));
        EXPECT_TRUE(window.workLeftUndone());
        const QList<secured::LeftJournal> left = secured::readLeftJournals(journal);
        ASSERT_EQ(left.size(), 1);
        EXPECT_EQ(left[0].plainFiles, QStringList {notes});
        EXPECT_TRUE(secured::processRuns(left[0].record.helperPid, left[0].record.helperStarted));
        ::kill(left[0].record.programPid, SIGKILL);
    }
}

} // namespace
