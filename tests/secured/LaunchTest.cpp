// One start of a list entry from decryption to re-lock, with real programs and stand-in
// list jobs; a start that cannot start; and its traces: the journal on disk while its files may
// lie plain and what it tells the next start of why, and the plain copies editors leave beside
// the files.
#include "FakeListJobs.h"
#include "LaunchTestKit.h"

#include "crypto/EncryptedNames.h"
#include "crypto/SecretText.h"
#include "fileutil/Wipe.h"
#include "secured/ChildReaper.h"
#include "secured/EditorCopies.h"
#include "secured/Launch.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <optional>

#include <sys/wait.h>
#include <unistd.h>

using namespace mv;
using namespace Qt::StringLiterals;
using launchtest::quoted;
using launchtest::waitUntil;
using launchtest::writeScript;

namespace {

using launchtest::allPlain;
using launchtest::Launched;
using launchtest::lockedFiles;
using launchtest::lockedWith;
using launchtest::testOptions;

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(launchtest::writeAll(path, "plain words")) << path.toStdString();
}

QString journal(const QTemporaryDir& dir, int entry)
{
    return dir.filePath(u"running/entry-%1.journal"_s.arg(entry));
}

// Runs entry 1 of `program` with `params` over `files` to its end; `arrange` sets the run up
// before it starts.
std::unique_ptr<Launched> runEntry(secured::LaunchGate& gate, const QTemporaryDir& dir,
                                   const QString& program, const QString& params, const QStringList& files,
                                   const std::function<void(Launched&)>& arrange = {})
{
    auto run = std::make_unique<Launched>(gate, 1, "Diary", program, files,
                                          launchtest::testOptions(dir.filePath(u"running"_s), 2000), params);
    if (arrange)
        arrange(*run);
    run->launch->start();
    EXPECT_TRUE(launchtest::waitUntil([&] { return run->end.has_value(); }, 10000));
    return run;
}

} // namespace

TEST(Launch, ThreeProgramsWatchedAtOnceAreEachRelockedOnceWithTheirOwnKey)
{
    QTemporaryDir dir;
    const QString forked = dir.filePath(u"forked"_s);
    const secured::LaunchOptions options = testOptions(dir.filePath(u"running"_s), 400);
    secured::LaunchGate gate;
    // Sleeps; forks a child that outlives it and exits at once; exits at once.
    Launched sleeper(gate, 1, "Sleeper", writeScript(dir.filePath(u"s.sh"_s), "sleep 0.6"),
                     lockedFiles(dir, u"sleeper"_s, "Alpha1"), options);
    Launched forker(
        gate, 2, "Forker",
        writeScript(dir.filePath(u"f.sh"_s), "(sleep 0.9; touch '" + forked.toUtf8() + "') & exit 0"),
        lockedFiles(dir, u"forker"_s, "Bravo22"), options);
    Launched exiter(gate, 3, "Exiter", writeScript(dir.filePath(u"e.sh"_s), "exit 0"),
                    lockedFiles(dir, u"exiter"_s, "Charlie333"), options);
    exiter.encryptEndedAtOnce = false;

    // Each re-lock runs a modal window of its own: none may start inside another.
    int inEncrypt = 0;
    int mostAtOnce = 0;
    bool forkedDoneAtItsRelock = false;
    for (Launched* run : {&sleeper, &forker}) {
        run->duringEncrypt = [&, run] {
            mostAtOnce = std::max(mostAtOnce, ++inEncrypt);
            if (run == &forker)
                forkedDoneAtItsRelock = QFile::exists(forked);
            QEventLoop modal;
            QTimer::singleShot(400, &modal, &QEventLoop::quit);
            modal.exec();
            --inEncrypt;
        };
    }

    for (Launched* run : {&sleeper, &forker, &exiter}) {
        run->launch->start();
        ASSERT_TRUE(run->started) << run->entry.title.toStdString() << ": " << run->end->status.message();
        EXPECT_TRUE(run->plainWhileRunning) << run->entry.title.toStdString();
        EXPECT_TRUE(QFile::exists(journal(dir, run->entry.entry)));
    }
    ASSERT_TRUE(waitUntil([&] { return sleeper.end && forker.end && exiter.end; }, 5000));

    EXPECT_TRUE(forkedDoneAtItsRelock) << "encrypted while the forked child still ran";
    EXPECT_EQ(mostAtOnce, 1);
    for (const auto& [run, key] : {std::pair {&sleeper, "Alpha1"}, {&forker, "Bravo22"}}) {
        EXPECT_EQ(run->end->kind, secured::LaunchEnd::Relocked);
        for (const QString& file : run->entry.files)
            EXPECT_EQ(lockedWith(file), QByteArray(key));
        EXPECT_EQ(run->encrypts, 1);
        EXPECT_EQ(run->endedAtOnceQuestions, 0);
        EXPECT_FALSE(QFile::exists(journal(dir, run->entry.entry)));
    }

    // The program that ended at once was asked about, and the user kept its files plain:
    // its journal stays, so the next start offers to encrypt them.
    EXPECT_EQ(exiter.endedAtOnceQuestions, 1);
    EXPECT_EQ(exiter.encrypts, 0);
    EXPECT_EQ(exiter.end->kind, secured::LaunchEnd::LeftPlain);
    EXPECT_TRUE(allPlain(exiter.entry.files));
    EXPECT_TRUE(QFile::exists(journal(dir, 3)));
    EXPECT_FALSE(exiter.launch->isRunning());
}

// The program hands its file to a copy already running outside the watch (which opened it
// under another name) and ends; the re-lock waits until that copy has closed the file, saying
// who holds it, then asks, then offers the editor's copies and wipes the thumbnail.
TEST(Launch, FileHeldOpenOutsideTheWatchDelaysTheRelockThenEditorCopiesAreOffered)
{
    QTemporaryDir dir;
    const QStringList files = lockedFiles(dir, u"notes"_s, "Delta4444", 1);
    const QString notes = files.first();
    const QString swap = dir.filePath(u".notes-0.txt.swp"_s);
    const QString backup = dir.filePath(u"notes-0.txt~"_s);
    const QByteArray md5 =
        QCryptographicHash::hash(QUrl::fromLocalFile(notes).toEncoded(), QCryptographicHash::Md5);
    const QString thumbnail = qEnvironmentVariable("XDG_CACHE_HOME") + u"/thumbnails/normal/"_s +
                              QString::fromLatin1(md5.toHex()) + u".png"_s;
    touch(thumbnail);

    // The program ends once the holder has the file open, however slowly the holder starts.
    const QString held = dir.filePath(u"held"_s);
    secured::LaunchGate gate;
    Launched run(gate, 4, "Editor",
                 writeScript(dir.filePath(u"e.sh"_s), "touch " + quoted(swap) + " " + quoted(backup) +
                                                          "; while [ ! -e " + quoted(held) +
                                                          " ]; do sleep 0.02; done"),
                 files, testOptions(dir.filePath(u"running"_s), 3000));
    run.launch->start();
    ASSERT_TRUE(run.started);
    // The holder opens the file through a link to its folder, as another name for it.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(u"alias"_s)));
    const secured::StartOutcome holder = launchtest::start(
        writeScript(dir.filePath(u"h.sh"_s), "exec 7< " + quoted(dir.filePath(u"alias/notes-0.txt"_s)) +
                                                 "; touch " + quoted(held) + "; exec sleep 1.2"));
    ASSERT_TRUE(holder.status.ok);
    bool holderGoneAtRelock = false;
    run.duringEncrypt = [&] {
        holderGoneAtRelock = !QFileInfo::exists(u"/proc/%1"_s.arg(holder.programPid));
    };

    ASSERT_TRUE(waitUntil([&] { return run.end.has_value(); }, 5000));
    EXPECT_TRUE(launchtest::waitHelper(holder, 1000));
    EXPECT_EQ(run.end->kind, secured::LaunchEnd::Relocked);
    EXPECT_TRUE(holderGoneAtRelock) << "encrypted while another process held the file open";
    ASSERT_FALSE(run.waits.isEmpty());
    EXPECT_TRUE(run.waits.contains(
        u"Waiting for sleep (%1) to close notes-0.txt; the files are encrypted again once it has."_s.arg(
            holder.programPid)))
        << run.waits.join(u'\n').toStdString();
    EXPECT_EQ(run.endedAtOnceQuestions, 1);
    EXPECT_EQ(lockedWith(notes), QByteArray("Delta4444"));

    EXPECT_EQ(run.editorCopiesOffered, QStringList({swap, backup}));
    EXPECT_FALSE(QFile::exists(swap));
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_FALSE(QFile::exists(thumbnail));
    EXPECT_TRUE(run.end->wiped.contains(thumbnail));
    EXPECT_FALSE(QFile::exists(journal(dir, 4)));
}

// Run in a child process by the test below, which kills it while the program runs.
TEST(LaunchCrash, DISABLED_ChildRunsAnEntryUntilKilled)
{
    const QString folder = qEnvironmentVariable("MV_CRASH_FOLDER");
    ASSERT_FALSE(folder.isEmpty());
    secured::LaunchGate gate;
    const QStringList files {folder + u"/diary-0.txt"_s, folder + u"/diary-1.txt"_s};
    Launched run(
        gate, 6, "Diary",
        writeScript(folder + u"/p.sh"_s, "echo $$ > " + quoted(folder + u"/pid"_s) + "; exec sleep 10"),
        files, testOptions(folder + u"/running"_s, 400));
    run.launch->start();
    ASSERT_TRUE(run.started);
    touch(folder + u"/ready"_s);
    waitUntil([] { return false; }, 20000);
}

TEST(LaunchCrash, KilledWhileAnEntryRunsItsJournalNamesThePlainFilesAtTheNextStart)
{
    QTemporaryDir dir;
    const QStringList files = lockedFiles(dir, u"diary"_s, "Foxtrot6");
    const QByteArray self = QFile::encodeName(QFileInfo(u"/proc/self/exe"_s).symLinkTarget());
    // Everything the child needs is made before the fork: only exec may follow it.
    qputenv("MV_CRASH_FOLDER", QFile::encodeName(dir.path()));
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(self.constData(), self.constData(), "--gtest_also_run_disabled_tests",
                "--gtest_filter=LaunchCrash.DISABLED_ChildRunsAnEntryUntilKilled", nullptr);
        ::_exit(127);
    }
    qunsetenv("MV_CRASH_FOLDER");
    ASSERT_GT(child, 0);
    // The child may say it is ready before the program has written its number: wait for both,
    // or the program outlives the test and a later watch adopts it as a stray.
    const QString pidFile = dir.filePath(u"pid"_s);
    const bool ready = waitUntil(
        [&] {
            return QFile::exists(dir.filePath(u"ready"_s)) && launchtest::readAll(pidFile).endsWith('\n');
        },
        10000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const pid_t program = launchtest::readAll(pidFile).trimmed().toInt();
    if (program > 0)
        ::kill(program, SIGKILL);
    ASSERT_TRUE(ready) << "the child never started its entry";
    EXPECT_TRUE(waitUntil([] { return secured::ChildReaper::instance().strayChildren().isEmpty(); }, 3000))
        << "a process of the killed run is left for a later watch to adopt";
    ASSERT_TRUE(WIFSIGNALED(status));

    const QList<secured::LeftJournal> left = secured::readLeftJournals(dir.filePath(u"running"_s));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.entry, 6);
    EXPECT_EQ(left[0].record.title, u"Diary"_s);
    EXPECT_EQ(left[0].plainFiles, files);
    // The run's launch helper and program, for the next start to wait for.
    EXPECT_EQ(left[0].record.program, dir.filePath(u"p.sh"_s));
    EXPECT_EQ(left[0].record.programPid, program);
    EXPECT_GT(left[0].record.helperPid, 0);
    EXPECT_GT(left[0].record.helperStarted, 0u);
    EXPECT_EQ(secured::leftPlainText(left),
              u"These programs of the Secured Access List left their files decrypted:\n"
              "Diary (p.sh): diary-0.txt, diary-1.txt. Mirravelnock! ended while the program ran.\n"
              "Encrypt them now?"_s);
}

TEST(RunJournal, JournalsWithPlainFilesAreReadBackAndTheRestWiped)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"config/running"_s);
    const QString plain = dir.filePath(u"Brief an Jürgen.txt"_s);
    const QString odd = dir.filePath(u"two\nlines.txt"_s);
    const QString locked = dir.filePath(u"locked.txt"_s);
    touch(plain);
    touch(odd);

    const secured::JournalRecord editor {3, u"Texteditor – privat"_s, {plain, odd, locked}};
    ASSERT_TRUE(secured::writeJournal(folder, editor).ok);
    // A later start of the same entry replaces its journal.
    ASSERT_TRUE(secured::writeJournal(folder, {3, editor.title, {locked, plain, odd}}).ok);
    ASSERT_TRUE(secured::writeJournal(folder, {7, u"Viewer"_s, {locked}}).ok);
    ASSERT_TRUE(secured::writeJournal(folder, {9, u"Removed"_s, {plain}}).ok);
    ASSERT_TRUE(secured::removeJournal(folder, 9).ok);
    ASSERT_TRUE(secured::removeJournal(folder, 9).ok);
    // Private: the folder and the files name the user's files.
    EXPECT_EQ(mvtest::modeOf(folder), 0700u);
    EXPECT_EQ(mvtest::modeOf(folder + u"/entry-3.journal"_s), 0600u);
    touch(folder + u"/entry-5.journal"_s); // damaged: left alone

    const QList<secured::LeftJournal> left = secured::readLeftJournals(folder);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.entry, 3);
    EXPECT_EQ(left[0].record.title, editor.title);
    EXPECT_EQ(left[0].record.files, QStringList({locked, plain, odd}));
    EXPECT_EQ(left[0].plainFiles, QStringList({plain, odd}));
    // Entry 7's files are all encrypted: its journal is gone; the damaged one stays.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({u"entry-3.journal"_s, u"entry-5.journal"_s}));
}

TEST(EditorCopies, EveryEditorsCopyBesideAListedFileIsFoundAndNothingElse)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString notes = folder + u"notes.txt"_s;
    const QString report = folder + u"report.odt"_s;
    touch(notes);
    touch(report);
    const QStringList copies {
        u"notes.txt~"_s,         u"notes.txt.~1~"_s,  u"notes.txt.~12~"_s, u".notes.txt.swp"_s,
        u".notes.txt.swo"_s,     u".notes.txt.swn"_s, u"#notes.txt#"_s,    u".notes.txt.kate-swp"_s,
        u".~lock.report.odt#"_s, u"report.bak"_s,
    };
    for (const QString& name : copies)
        touch(folder + name);
    // Emacs's lock is a link that points nowhere.
    ASSERT_TRUE(QFile::link(u"user@host.123"_s, folder + u".#notes.txt"_s));
    // Look-alikes that are no editor's copy of a listed file.
    for (const char* other :
         {"notes.txt.~x~", "notes.txt.orig", "othernotes.txt~", "notes.bak~", ".notes.swp"})
        touch(folder + QString::fromLatin1(other));
    // A file of the list is never offered, even when it looks like a copy of another.
    const QString listedBackup = folder + u"notes.txt~"_s;

    QStringList expected;
    for (const QString& name : copies)
        expected << folder + name;
    expected << folder + u".#notes.txt"_s;
    expected.removeOne(listedBackup);
    expected.sort();
    EXPECT_EQ(secured::findEditorCopies({notes, report, listedBackup}), expected);
    EXPECT_TRUE(secured::findEditorCopies({folder + u"gone.txt"_s}).isEmpty());

    const fileutil::WipeReport wiped = fileutil::wipeAll(expected);
    EXPECT_TRUE(wiped.failures.isEmpty());
    EXPECT_EQ(wiped.wiped, expected);
    EXPECT_TRUE(secured::findEditorCopies({notes, report}) == QStringList({listedBackup}));
    EXPECT_TRUE(QFile::exists(notes));
    EXPECT_EQ(secured::editorCopiesQuestion({u"/a/b~"_s, u"/a/#b#"_s}),
              u"An editor left these plain copies beside the files:\n/a/b~\n/a/#b#\nWipe them now?"_s);
}

// A missing or non-executable program, or parameters with an open quote, failed only after the
// files were decrypted, and left them plain with a message that named neither the program nor
// the files.
TEST(FailedStart, AProgramThatCannotStartIsRefusedBeforeDecryptingAndAFailedStartLocksAgain)
{
    QTemporaryDir dir;
    secured::LaunchGate gate;
    const QString text = dir.filePath(u"readme.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(text, "not a program"));
    const QString fine = writeScript(dir.filePath(u"editor"_s), "exit 0");
    struct Refusal {
        QString program;
        QString params;
        QString reason;
    };
    const Refusal refusals[] = {
        {dir.filePath(u"missing"_s), {}, u"No such file or directory"_s},
        {text, {}, u"Permission denied"_s},
        {dir.path(), {}, u"Is a directory"_s},
        {u"no-such-program-on-path-31"_s, {}, u"No such file or directory"_s},
        {fine, u"notes.txt 'unclosed"_s, u"a single quote is not closed"_s},
        {fine, u"\"unclosed"_s, u"a double quote is not closed"_s},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.program.toStdString() + " " + r.params.toStdString());
        const QStringList files = lockedFiles(dir, u"refused"_s, "Golf777");
        const auto run = runEntry(gate, dir, r.program, r.params, files);
        ASSERT_TRUE(run->end);
        EXPECT_EQ(run->end->kind, secured::LaunchEnd::StartFailed);
        EXPECT_EQ(run->decrypts, 0);
        EXPECT_FALSE(run->started);
        for (const QString& file : files)
            EXPECT_EQ(lockedWith(file), QByteArray("Golf777"));
        EXPECT_FALSE(QFile::exists(dir.filePath(u"running/entry-1.journal"_s)));
        EXPECT_EQ(secured::unableToRunText(r.program, run->end->status),
                  u"Unable to run application\n"_s + r.program + u": "_s + r.reason);
    }

    // Passes every check and still fails at exec (its interpreter is missing): what this start
    // decrypted is encrypted again at once with the key that opened it.
    const QString broken = dir.filePath(u"broken"_s);
    ASSERT_TRUE(launchtest::writeAll(broken, "#!/no/such/interpreter\n"));
    QFile::setPermissions(broken, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList files = lockedFiles(dir, u"broken"_s, "Golf777");
    const QString plainBefore = dir.filePath(u"plain-before.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(plainBefore, "was plain"));
    auto run = runEntry(gate, dir, broken, {}, files + QStringList {plainBefore});
    ASSERT_TRUE(run->end);
    EXPECT_EQ(run->end->kind, secured::LaunchEnd::StartFailed);
    EXPECT_EQ(run->end->status.error, ENOENT);
    EXPECT_EQ(run->decrypts, 1);
    EXPECT_TRUE(run->end->relock.ok);
    EXPECT_EQ(run->end->relocked, files);
    for (const QString& file : files)
        EXPECT_EQ(lockedWith(file), QByteArray("Golf777"));
    // Only what this start decrypted: a file that was plain before stays as it was, and named.
    EXPECT_EQ(run->end->leftPlain, QStringList {plainBefore});

    // When encrypting again fails, the files are named for the next start, which says why.
    QFile::remove(plainBefore);
    run = runEntry(gate, dir, broken, {}, files, [](Launched& l) { l.encryptFails = true; });
    ASSERT_TRUE(run->end);
    EXPECT_FALSE(run->end->relock.ok);
    EXPECT_EQ(run->end->leftPlain, files);
    const QList<secured::LeftJournal> left = secured::readLeftJournals(dir.filePath(u"running"_s));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.state, secured::JournalRecord::State::RelockFailed);
}

// The question after a crash said the same of every run: "ended while these programs ran",
// also when a re-lock had failed or the user had kept the files plain, and named no program.
TEST(FailedStart, TheNextStartIsToldTrulyWhyEachEntrysFilesLiePlain)
{
    QTemporaryDir dir;
    secured::LaunchGate gate;
    const QString quick = writeScript(dir.filePath(u"quick"_s), "exit 0");
    const QString slow = writeScript(dir.filePath(u"slow"_s), "sleep 0.3");
    struct Case {
        const char* program;
        bool encryptFails;
        bool keepPlainAtOnce;
        const char* why;
    };
    const Case cases[] = {
        {"slow", true, false, "Encrypting them after the program ended failed."},
        {"quick", false, true, "They were kept decrypted when the program ended."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const QStringList files = lockedFiles(dir, QString::fromLatin1(c.program), "Golf777");
        const auto run = runEntry(gate, dir, QString::fromLatin1(c.program) == u"slow"_s ? slow : quick, {},
                                  files, [&](Launched& l) {
                                      l.encryptFails = c.encryptFails;
                                      l.encryptEndedAtOnce = !c.keepPlainAtOnce;
                                  });
        ASSERT_TRUE(run->end && run->started);
        EXPECT_EQ(run->end->leftPlain, files);
        const QList<secured::LeftJournal> left = secured::readLeftJournals(dir.filePath(u"running"_s));
        ASSERT_EQ(left.size(), 1);
        EXPECT_EQ(secured::leftPlainText(left),
                  u"These programs of the Secured Access List left their files decrypted:\nDiary (%1): "
                  "%1-0.txt, %1-1.txt. %2\nEncrypt them now?"_s.arg(QString::fromLatin1(c.program),
                                                                    QString::fromLatin1(c.why)));
        for (const QString& file : files)
            QFile::remove(file);
        secured::readLeftJournals(dir.filePath(u"running"_s)); // wipes the journal: nothing plain
    }

    // A run whose launch helper still lives: the question says the program still runs.
    const secured::StartOutcome running =
        launchtest::start(writeScript(dir.filePath(u"held"_s), "exec sleep 5"));
    ASSERT_TRUE(running.status.ok);
    const QString notes = dir.filePath(u"notes.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(notes, "plain"));
    secured::JournalRecord record(2, u"Notes"_s, {notes}, dir.filePath(u"held"_s));
    record.helperPid = running.helperPid;
    record.helperStarted = secured::processStartTime(running.helperPid);
    ASSERT_TRUE(secured::writeJournal(dir.filePath(u"running"_s), record).ok);
    EXPECT_EQ(
        secured::leftPlainText(secured::readLeftJournals(dir.filePath(u"running"_s))),
        u"These programs of the Secured Access List left their files decrypted:\nNotes (held): notes.txt. "
        "Mirravelnock! ended while the program ran; it still runs, and its files are encrypted once it "
        "has ended.\nEncrypt them now?"_s);
    // A number given since to another process is not taken for the helper.
    EXPECT_FALSE(secured::processRuns(running.helperPid, record.helperStarted + 1));
    ::kill(running.programPid, SIGKILL);
    EXPECT_TRUE(launchtest::waitHelper(running, 5000));
    EXPECT_FALSE(secured::processRuns(running.helperPid, record.helperStarted));
}
