// Choosing an entry of the list, and files left plain by a run that could not finish, and the
// keys that lock them again, through the real windows: a start and its re-lock, the offer at
// the next start, a start whose files all lie plain, and the one message a failed re-lock
// gives. The windows are answered as a user would, from a timer.
#include "secured/ui/QuickListLauncher.h"

#include "../LaunchTestKit.h"
#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyState.h"
#include "crypto/MemoryDecrypt.h"
#include "secured/FileListText.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"
#include "secured/QuickListState.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include <csignal>

using namespace Qt::StringLiterals;

namespace mv::secured {
namespace {

// Answers every window the launcher opens over `owner`: AsscKey with the next key to type in
// both boxes (Cancel when none is left), a question with the next answer (Yes when none is
// left), a message with OK. What each showed is kept.
struct User {
    std::deque<QString> keys;
    std::deque<bool> answers;
    QStringList headings;
    QStringList messages;
    QTimer timer;
    QPointer<QWidget> handled;

    User()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(5);
    }

    void look()
    {
        QWidget* top = QApplication::activeModalWidget();
        if (!top || top == handled)
            return;
        if (top->objectName() == "AsscKey"_L1) {
            handled = top;
            headings << top->findChild<QLabel*>(u"Heading"_s)->text();
            if (keys.empty()) {
                top->findChild<QPushButton*>(u"CancelBut"_s)->click();
                return;
            }
            top->findChild<QLineEdit*>(u"KeyOne"_s)->setText(keys.front());
            top->findChild<QLineEdit*>(u"KeyTwo"_s)->setText(keys.front());
            keys.pop_front();
            top->findChild<QPushButton*>(u"OKBut"_s)->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(top)) {
            handled = top;
            messages << box->text();
            if (box->button(QMessageBox::Yes)) {
                const bool yes = answers.empty() || answers.front();
                if (!answers.empty())
                    answers.pop_front();
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            } else {
                box->button(QMessageBox::Ok)->click();
            }
        }
    }
};

crypto::SecretText secret(const char* key)
{
    return crypto::SecretText::fromText(QString::fromLatin1(key));
}

// What `plain`'s encrypted file holds when `key` opens it; "(not opened)" else.
QByteArray openedWith(const QString& plain, const char* key)
{
    if (QFile::exists(plain))
        return "(plain)";
    const crypto::MemoryDecrypt d =
        crypto::decryptToMemory(crypto::EncryptedName(plain), {secret(key)}, 1 << 20);
    return d.kind == crypto::MemoryDecrypt::Opened ? d.bytes.view().toByteArray()
                                                   : QByteArray("(not opened)");
}

// The launcher over a window of its own, which it minimizes and restores, and the notes of its
// information line.
struct Fixture {
    QTemporaryDir dir;
    QuickListState state;
    crypto::KeyState keys;
    QWidget window;
    QStringList notes;
    int minimized = 0;
    int restored = 0;
    QuickListLauncher launcher {state,
                                keys,
                                &window,
                                [this] { ++minimized; },
                                [this] { ++restored; },
                                [this](const QString& t) { notes << t; }};

    Fixture() { launcher.options = launchtest::testOptions(journals(), 1500, 50); }
    [[nodiscard]] QString journals() const { return dir.filePath(u"running"_s); }
    int entry(const QString& program, const QStringList& files, const QString& params = {})
    {
        QuickItem item;
        item.Title = u"Diary"_s;
        item.Path = program;
        item.Params = params;
        item.Data = joinFileList(files);
        return state.appendEntry(item);
    }
    // Waits for a chosen entry's run to start and for its re-lock to end.
    [[nodiscard]] bool runThrough()
    {
        return launchtest::waitUntil([&] { return state.PendingCount() == 1; }, 5000) &&
               launchtest::waitUntil([&] { return state.PendingCount() == 0; }, 10000);
    }
};

// The program runs with its file plain, the window out of the way; the file is locked again with
// the key that opened it once the program has ended. A program that cannot start brings the
// window back and says why.
TEST(QuickListLauncher, EntryRunsWithItsFilesPlainAndIsLockedAgainWithTheSameKeyOnce)
{
    Fixture f;
    User user;
    const QString notes = f.dir.filePath(u"notes.txt"_s);
    const QString marker = f.dir.filePath(u"ran"_s);
    ASSERT_TRUE(launchtest::writeAll(notes, "diary"));
    ASSERT_EQ(crypto::encryptOne(notes, "Door").kind, crypto::CryptOutcome::Done);
    ASSERT_TRUE(f.keys.append(secret("Door")));
    const int n =
        f.entry(launchtest::writeScript(f.dir.filePath(u"editor"_s),
                                        "cat \"$1\" > " + launchtest::quoted(marker) + "; sleep 0.3"),
                {notes}, u"notes.txt"_s);
    f.launcher.options.endedAtOnceMs = 0;
    f.state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return f.state.PendingCount() == 1; }, 10000));
    EXPECT_TRUE(f.state.entry(n).Running);
    EXPECT_EQ(f.minimized, 1);
    EXPECT_TRUE(QFile::exists(notes)) << "the file is plain while the program runs";
    f.state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return user.messages.size() == 1; }, 5000));
    EXPECT_EQ(user.messages[0], u"This program is already running!"_s);

    ASSERT_TRUE(launchtest::waitUntil([&] { return f.state.PendingCount() == 0; }, 10000));
    EXPECT_FALSE(f.state.entry(n).Running);
    EXPECT_EQ(launchtest::readAll(marker), QByteArray("diary")) << "the program read the plain file";
    EXPECT_EQ(openedWith(notes, "Door"), QByteArray("diary"));
    EXPECT_EQ(f.restored, 0);

    f.state.entry(n).Path = f.dir.filePath(u"missing"_s);
    f.state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return user.messages.size() == 2; }, 10000));
    EXPECT_TRUE(user.messages[1].startsWith(u"Unable to run application"_s))
        << user.messages[1].toStdString();
    EXPECT_EQ(f.restored, 1);
    EXPECT_EQ(f.state.PendingCount(), 0);
    EXPECT_FALSE(f.state.entry(n).Running);
}

// Recovery used to encrypt at once while the program of the lost run still had the file open:
// its later save went into the wiped inode and was lost.
TEST(LeftPlain, RecoveryWaitsForTheLostRunsProgramAndItsLaterWriteEndsUpEncrypted)
{
    Fixture f;
    User user;
    const QString diary = f.dir.filePath(u"diary.txt"_s);
    const QString go = f.dir.filePath(u"go"_s);
    ASSERT_TRUE(launchtest::writeAll(diary, "first\n"));
    // The program of the lost run: it holds the file open and writes once more when told.
    const QString program = launchtest::writeScript(
        f.dir.filePath(u"editor"_s), "exec 7>>" + launchtest::quoted(diary) + "; while [ ! -e " +
                                         launchtest::quoted(go) + " ]; do sleep 0.05; done; echo later >&7");
    const StartOutcome lost = launchtest::start(program);
    ASSERT_TRUE(lost.status.ok);
    bool collected = false;
    // A failed check must not leave the program waiting for ever.
    const auto reap = qScopeGuard([&] {
        if (!collected) {
            ::kill(lost.programPid, SIGKILL);
            launchtest::waitHelper(lost, 5000);
        }
    });
    const int n = f.entry(program, {diary});
    JournalRecord record(n, u"Diary"_s, {diary}, program);
    record.helperPid = lost.helperPid;
    record.helperStarted = processStartTime(lost.helperPid);
    record.programPid = lost.programPid;
    ASSERT_TRUE(writeJournal(f.journals(), record).ok);

    user.keys = {u"Hotel8888"_s};
    f.launcher.offerLeftPlain();
    ASSERT_EQ(user.messages.size(), 1);
    EXPECT_TRUE(
        user.messages[0].contains(u"Diary (editor): diary.txt. Mirravelnock! ended while the program ran; "
                                  "it still runs"_s))
        << user.messages[0].toStdString();
    ASSERT_TRUE(launchtest::waitUntil([&] { return !f.notes.isEmpty(); }, 5000));
    // The program, and the child it has in hand (its sleep) that inherited the descriptor.
    EXPECT_TRUE(f.notes.back().startsWith(u"Waiting for editor (%1)"_s.arg(lost.programPid)) &&
                f.notes.back().endsWith(u" to close diary.txt; the files are encrypted again once it has."_s))
        << f.notes.back().toStdString();
    EXPECT_TRUE(QFile::exists(diary)) << "encrypted under the running program";
    // The entry counts as running until its files are locked: it cannot be started under the wait.
    EXPECT_TRUE(f.state.entry(n).Running);
    f.state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return user.messages.size() == 2; }, 5000));
    EXPECT_EQ(user.messages[1], u"This program is already running!"_s);

    ASSERT_TRUE(launchtest::writeAll(go, ""));
    ASSERT_TRUE(launchtest::waitUntil([&] { return !QFile::exists(diary); }, 10000));
    collected = launchtest::waitHelper(lost, 5000);
    EXPECT_TRUE(collected);
    EXPECT_EQ(openedWith(diary, "Hotel8888"), QByteArray("first\nlater\n"));
    // The information line says it is done instead of going on waiting.
    EXPECT_EQ(f.notes.back(), u"The files of Diary (editor) are encrypted again."_s);
    EXPECT_FALSE(f.state.entry(n).Running);
    EXPECT_TRUE(readLeftJournals(f.journals()).isEmpty());
}

// The key was asked once, in the one-box confirmation: a typo locked the files under a key
// nobody knew, and a key other than the one of the entry's encrypted files was taken.
TEST(LeftPlain, RecoveryKeyIsTypedTwiceAndMustOpenTheEntrysFilesThatAreStillEncrypted)
{
    Fixture f;
    User user;
    const QString plain = f.dir.filePath(u"plain.txt"_s);
    const QString locked = f.dir.filePath(u"locked.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(plain, "left plain"));
    ASSERT_TRUE(launchtest::writeAll(locked, "still locked"));
    ASSERT_EQ(crypto::encryptOne(locked, "India999").kind, crypto::CryptOutcome::Done);
    JournalRecord record(4, u"Diary"_s, {plain, locked}, f.dir.filePath(u"editor"_s));
    record.state = JournalRecord::State::RelockFailed;
    ASSERT_TRUE(writeJournal(f.journals(), record).ok);

    user.keys = {u"India998"_s, u"India999"_s};
    f.launcher.offerLeftPlain();
    ASSERT_TRUE(launchtest::waitUntil([&] { return !QFile::exists(plain); }, 10000));
    EXPECT_EQ(user.headings, QStringList(2, u"Enter the key of Diary (editor) to encrypt its files:\n"
                                            "plain.txt, locked.txt"_s));
    ASSERT_EQ(user.messages.size(), 2);
    EXPECT_TRUE(user.messages[0].contains(u"Diary (editor): plain.txt. Encrypting them after the program "
                                          "ended failed."_s))
        << user.messages[0].toStdString();
    EXPECT_EQ(user.messages[1], wrongEntryKeyText(locked));
    EXPECT_EQ(openedWith(plain, "India999"), QByteArray("left plain"));
    EXPECT_EQ(openedWith(locked, "India999"), QByteArray("still locked"));
    EXPECT_TRUE(readLeftJournals(f.journals()).isEmpty());
}

// With every file plain and no key known (after a restart) the run ended and nothing was
// encrypted, without a word.
TEST(LeftPlain, AStartWithEveryFilePlainAndNoKeyAsksTheKeyTwiceAndLocksWithItAtTheEnd)
{
    Fixture f;
    User user;
    const QString diary = f.dir.filePath(u"diary.txt"_s);
    const QString ran = f.dir.filePath(u"ran"_s);
    ASSERT_TRUE(launchtest::writeAll(diary, "plain words"));
    const int n = f.entry(launchtest::writeScript(f.dir.filePath(u"editor"_s),
                                                  "echo >> " + launchtest::quoted(ran) + "; sleep 0.2"),
                          {diary});

    // Cancelled: the program does not start, and the user hears which files lie plain.
    f.state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return user.messages.size() == 1; }, 5000));
    EXPECT_FALSE(QFile::exists(ran));
    EXPECT_TRUE(user.messages[0].startsWith(u"Diary (editor) was not started"_s))
        << user.messages[0].toStdString();
    EXPECT_TRUE(user.messages[0].contains(diary));

    user.keys = {u"Juliet10"_s};
    f.launcher.options.endedAtOnceMs = 0;
    f.state.chooseEntry(n);
    ASSERT_TRUE(f.runThrough());
    EXPECT_EQ(user.headings.size(), 2);
    EXPECT_EQ(openedWith(diary, "Juliet10"), QByteArray("plain words"));
    EXPECT_EQ(user.messages.size(), 1);
}

// A failed re-lock was told twice (the status window, then the launcher) and named neither the
// files after the failed one nor the way back; No to the hand-off question left the files plain
// without a word.
TEST(LeftPlain, AFailedRelockAndNoToTheHandOffQuestionAreToldOnceWithEveryPlainFileAndTheWayBack)
{
    Fixture f;
    User user;
    QStringList files;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        files << f.dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(launchtest::writeAll(files.back(), name));
        ASSERT_EQ(crypto::encryptOne(files.back(), "Kilo1111").kind, crypto::CryptOutcome::Done);
    }
    ASSERT_TRUE(f.keys.append(secret("Kilo1111")));
    // The program puts a folder where its first file was: the re-lock stops there.
    const int n =
        f.entry(launchtest::writeScript(f.dir.filePath(u"editor"_s), "sleep 0.2; rm \"$1\"; mkdir \"$1\""),
                files, u"a.txt"_s);
    f.launcher.options.endedAtOnceMs = 0;
    f.state.chooseEntry(n);
    ASSERT_TRUE(f.runThrough());
    ASSERT_TRUE(launchtest::waitUntil([&] { return !user.messages.isEmpty(); }, 5000));
    QTest::qWait(200);
    ASSERT_EQ(user.messages.size(), 1) << user.messages.join(u"\n--\n"_s).toStdString();
    const QString& told = user.messages[0];
    EXPECT_TRUE(told.startsWith(u"Encrypting the files of Diary (editor) again failed."_s))
        << told.toStdString();
    for (const QString& file : files)
        EXPECT_TRUE(told.contains(u'\n' + file + u'\n')) << file.toStdString();
    EXPECT_TRUE(told.contains(u"choose Encrypt..."_s));
    ASSERT_TRUE(QDir(files[0]).removeRecursively());
    for (const QString& file : files.mid(1))
        EXPECT_EQ(openedWith(file, "Kilo1111"), "(plain)");

    // The hand-off question names the program; No is followed by one message with the files.
    for (const QString& file : files.mid(1))
        ASSERT_EQ(crypto::encryptOne(file, "Kilo1111").kind, crypto::CryptOutcome::Done);
    f.state.entry(n).Path = launchtest::writeScript(f.dir.filePath(u"quick"_s), "exit 0");
    f.state.entry(n).Data = joinFileList(files.mid(1));
    f.launcher.options.endedAtOnceMs = 5000;
    user.messages.clear();
    user.answers = {false};
    f.state.chooseEntry(n);
    ASSERT_TRUE(launchtest::waitUntil([&] { return user.messages.size() == 2; }, 10000));
    EXPECT_EQ(user.messages[0], endedAtOnceQuestion(u"Diary (quick)"_s));
    EXPECT_EQ(user.messages[1], leftPlainAdvice(u"Diary (quick)"_s, files.mid(1)));
    QTest::qWait(200);
    EXPECT_EQ(user.messages.size(), 2);
}

// The information line kept "Waiting for ... to close ..." after the re-lock was done.
TEST(LeftPlain, TheInformationLineSaysTheRelockIsDoneAfterItWaitedForAHolder)
{
    Fixture f;
    User user;
    const QString diary = f.dir.filePath(u"diary.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(diary, "words"));
    ASSERT_EQ(crypto::encryptOne(diary, "Mike3333").kind, crypto::CryptOutcome::Done);
    ASSERT_TRUE(f.keys.append(secret("Mike3333")));
    const QString held = f.dir.filePath(u"held"_s);
    // The program hands the file to a process outside the watch, which keeps it open a while.
    const QString holder = launchtest::writeScript(f.dir.filePath(u"holder"_s),
                                                   "exec 7< " + launchtest::quoted(diary) + "; touch " +
                                                       launchtest::quoted(held) + "; exec sleep 0.6");
    const int n = f.entry(
        launchtest::writeScript(f.dir.filePath(u"editor"_s),
                                "while [ ! -e " + launchtest::quoted(held) + " ]; do sleep 0.02; done"),
        {diary});
    f.launcher.options.endedAtOnceMs = 0;
    std::optional<StartOutcome> outside;
    QObject::connect(&f.state, &QuickListState::pendingChanged, [&](int count) {
        if (count == 1 && !outside)
            outside = launchtest::start(holder);
    });
    f.state.chooseEntry(n);
    ASSERT_TRUE(f.runThrough());
    ASSERT_TRUE(outside && outside->status.ok);
    EXPECT_TRUE(launchtest::waitHelper(*outside, 5000));
    ASSERT_GE(f.notes.size(), 2);
    EXPECT_TRUE(f.notes[f.notes.size() - 2].startsWith(u"Waiting for sleep"_s))
        << f.notes.join(u'\n').toStdString();
    EXPECT_EQ(f.notes.back(), u"The files of Diary (editor) are encrypted again."_s);
    EXPECT_EQ(openedWith(diary, "Mike3333"), QByteArray("words"));
    EXPECT_TRUE(user.messages.isEmpty()) << user.messages.join(u'\n').toStdString();
}

} // namespace
} // namespace mv::secured
