// A listed program started and watched: the exact arguments and folder it gets, the system's
// reason when it cannot start, and that it counts as running while it or anything it started
// lives, however it leaves its descendants behind. One start of a list entry from decryption to
// re-lock, with real programs and stand-in list jobs; a start that cannot start; and its traces:
// the journal on disk while its files may lie plain and what it tells the next start of why, and
// the plain copies editors leave beside the files.
#include "LaunchTestKit.h"

#include "crypto/EncryptedNames.h"
#include "crypto/SecretText.h"
#include "secured/ArgumentSplit.h"
#include "secured/ChildReaper.h"
#include "secured/EditorCopies.h"
#include "secured/Launch.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"
#include "secured/ProgramWatch.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mv;
using namespace mv::launchtest;
using namespace mv::secured;
using namespace Qt::StringLiterals;

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(writeAll(path, "plain words")) << path.toStdString();
}

QString journal(const QTemporaryDir& dir, int entry)
{
    return dir.filePath(u"running/entry-%1.journal"_s.arg(entry));
}

// Runs entry 1 of `program` with `params` over `files` to its end; `arrange` sets the run up
// before it starts.
std::unique_ptr<Launched> runEntry(LaunchGate& gate, const QTemporaryDir& dir, const QString& program,
                                   const QString& params, const QStringList& files,
                                   const std::function<void(Launched&)>& arrange = {})
{
    auto run = std::make_unique<Launched>(gate, 1, "Diary", program, files,
                                          testOptions(dir.filePath(u"running"_s), 2000), params);
    if (arrange)
        arrange(*run);
    run->launch->start();
    EXPECT_TRUE(waitUntil([&] { return run->end.has_value(); }, 10000));
    return run;
}

} // namespace

TEST(ArgumentSplit, WordsAreSplitAsAShellSplitsThemAndNothingIsExpanded)
{
    const SplitArguments words =
        splitArguments(uR"(  a 'b  c' "d \"e\" \$f \x" g\ h '' "" ~ $HOME * it'"s'  )"_s);
    ASSERT_TRUE(words.status.ok) << words.status.message();
    // One word a line: quotes, escapes, empty words, and what a shell would expand.
    EXPECT_EQ(words.arguments, u"a\nb  c\nd \"e\" $f \\x\ng h\n\n\n~\n$HOME\n*\nit\"s"_s.split(u'\n'));
    EXPECT_TRUE(splitArguments(QString()).arguments.isEmpty());
    EXPECT_EQ(splitArguments(u"a\\\nb c\\"_s).arguments, QStringList({u"ab"_s, u"c\\"_s}));
    // (An open quote: the failed-start tests.)
}

// The old way handed the unquoted path and the parameters to the system as one line, so
// "/x/my tools/run me.sh" started "/x/my" if it existed. A program that cannot run gives the
// system's reason.
TEST(ProgramStart, PathWithBlanksStartsThatProgramInItsFolderWithExactArgumentsOrGivesTheReason)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.txt"_s);
    writeScript(dir.filePath(u"my"_s), "echo decoy > " + quoted(out));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"my tools"_s));
    const QString program = writeScript(dir.filePath(u"my tools/run me.sh"_s),
                                        "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > " + quoted(out));

    const StartOutcome started = start(program, u"one 'two  2' \"$HOME\""_s);
    ASSERT_TRUE(started.status.ok) << started.status.message();
    ASSERT_TRUE(waitHelper(started, 5000));
    EXPECT_EQ(readAll(out),
              QDir(dir.filePath(u"my tools"_s)).canonicalPath().toUtf8() + "\n[one]\n[two  2]\n[$HOME]\n");

    // A descriptor open here without close-on-exec is still closed for the program.
    const QString seen = dir.filePath(u"seen.txt"_s);
    const QString looker =
        writeScript(dir.filePath(u"look.sh"_s), "readlink /proc/$$/fd/$1 > " + quoted(seen) + "; exit 0");
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(held, 0);
    const StartOutcome looked = start(looker, QString::number(held));
    ASSERT_TRUE(looked.status.ok) << looked.status.message();
    ASSERT_TRUE(waitHelper(looked, 5000));
    ::close(held);
    EXPECT_TRUE(QFile::exists(seen));
    EXPECT_NE(readAll(seen).trimmed(), QByteArray("/dev/null"));

    // (A missing or non-executable program: the failed-start tests.)
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const StartOutcome noFormat = start(out);
    EXPECT_EQ(noFormat.status.message(), "start the program: Exec format error");
    EXPECT_LT(noFormat.helperPid, 0);
    EXPECT_EQ(unableToRunText(noFormat.status), "Unable to run application\nExec format error");
    EXPECT_EQ(start(out, u"'"_s).status.reason, "a single quote is not closed");
    StartOptions noHelper;
    noHelper.helper = dir.filePath(u"no-helper"_s);
    noHelper.scope = ScopeUse::Never;
    const StartOutcome helperMissing = startProgram(u"/bin/true"_s, {}, noHelper);
    EXPECT_EQ(helperMissing.status.error, ENOENT);
}

namespace {

// Starts `body` as a script and watches it; `endedAt` gets the time of the end.
struct Watched {
    StartOutcome started;
    std::unique_ptr<ProgramWatch> watch;
    QElapsedTimer clock;
    qint64 endedAt = -1;

    Watched(const QTemporaryDir& dir, const QString& name, const QByteArray& body)
    {
        started = start(writeScript(dir.filePath(name), body));
        clock.start();
        if (!started.status.ok)
            return;
        watch = std::make_unique<ProgramWatch>(started);
        QObject::connect(watch.get(), &ProgramWatch::ended, [this] { endedAt = clock.elapsed(); });
    }
    bool waitEnd(int ms) const
    {
        return waitUntil([this] { return endedAt >= 0; }, ms);
    }
};

// A grandchild of ours whose parent ended, so that it is ours now, sleeping for 30 s.
pid_t orphanSleeping()
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execl("/bin/sleep", "sleep", "30", nullptr);
            ::_exit(127);
        }
        (void)!::write(pipeFds[1], &grandchild, sizeof grandchild);
        ::_exit(0);
    }
    pid_t orphan = -1;
    (void)!::read(pipeFds[0], &orphan, sizeof orphan);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::waitpid(child, nullptr, 0);
    return orphan;
}

} // namespace

// Should the helper be killed, what it watched comes to this program: the entry must not
// end while the program, or a child it leaves behind, still runs.
TEST(ProgramWatch, KilledHelperLeavesTheEntryRunningUntilItsOrphansEnd)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(u"marker"_s);
    Watched program(dir, u"program.sh"_s, "(sleep 0.8; touch " + quoted(marker) + ") & exec sleep 30");
    ASSERT_TRUE(program.started.status.ok) << program.started.status.message();
    ASSERT_TRUE(ChildReaper::instance().isSubreaper());
    ::usleep(100 * 1000);

    // A second window of this program came to us as an orphan before New Instance was started
    // as nobody's child: a stranger without the launch's mark is not counted.
    const pid_t stranger = orphanSleeping();
    ASSERT_EQ(::kill(program.started.helperPid, SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] { return program.watch->helperKilled(); }, 2000));
    EXPECT_TRUE(program.watch->isRunning());
    EXPECT_GE(program.watch->watchedCount(), 1);
    pid_t parent = 0;
    char state = 0;
    ASSERT_TRUE(readProcessStat(program.started.programPid, parent, state));
    EXPECT_EQ(parent, ::getpid()) << "the program went to init, not to us";

    // The program ends; its background child is adopted in turn.
    ASSERT_EQ(::kill(program.started.programPid, SIGTERM), 0);
    ASSERT_TRUE(program.waitEnd(3000));
    EXPECT_TRUE(QFile::exists(marker)) << "ended while the orphaned child still ran";
    EXPECT_FALSE(readProcessStat(program.started.programPid, parent, state)) << "left a zombie";
    // The stranger, once it ends, is collected all the same: no zombie stays.
    ASSERT_EQ(::kill(stranger, SIGKILL), 0);
    EXPECT_TRUE(waitUntil([&] { return !readProcessStat(stranger, parent, state); }, 3000));

    // New Instance's way of starting: the window never becomes the new process's parent.
    qint64 detached = -1;
    ASSERT_TRUE(ChildReaper::startNotOurs(u"/bin/sleep"_s, {u"5"_s}, &detached));
    ASSERT_TRUE(readProcessStat(pid_t(detached), parent, state));
    EXPECT_NE(parent, ::getpid());
    ::kill(pid_t(detached), SIGKILL);
}

// With a systemd scope, a process still in the scope keeps the entry running even once the
// process tree is empty. The scope's events file is played by a plain file here.
TEST(ProgramWatch, PopulatedScopeKeepsTheEntryRunningUntilItEmpties)
{
    QTemporaryDir dir;
    const QString events = dir.filePath(u"cgroup.events"_s);
    ASSERT_TRUE(writeAll(events, "populated 1\nfrozen 0\n"));

    StartOutcome started = start(writeScript(dir.filePath(u"q.sh"_s), "exit 0"));
    ASSERT_TRUE(started.status.ok);
    started.scopeEvents = events;
    ProgramWatch watch(started);
    bool ended = false;
    QObject::connect(&watch, &ProgramWatch::ended, [&] { ended = true; });
    ASSERT_TRUE(waitUntil([&] { return watch.watchedCount() == 0; }, 3000));
    waitUntil([] { return false; }, 100);
    EXPECT_FALSE(ended);

    ASSERT_TRUE(writeAll(events, "populated 0\nfrozen 0\n"));
    EXPECT_TRUE(waitUntil([&] { return ended; }, 2000));
}

TEST(Launch, ThreeProgramsWatchedAtOnceAreEachRelockedOnceWithTheirOwnKey)
{
    QTemporaryDir dir;
    const QString forked = dir.filePath(u"forked"_s);
    const QString detached = dir.filePath(u"detached"_s);
    const LaunchOptions options = testOptions(dir.filePath(u"running"_s), 400);
    LaunchGate gate;
    // Sleeps; leaves a forked child and a grandchild in a session of its own (the way a program
    // goes into the background) behind and exits at once; exits at once.
    Launched sleeper(gate, 1, "Sleeper", writeScript(dir.filePath(u"s.sh"_s), "sleep 0.6"),
                     lockedFiles(dir, u"sleeper"_s, "Alpha1"), options);
    Launched forker(gate, 2, "Forker",
                    writeScript(dir.filePath(u"f.sh"_s), "(sleep 0.9; touch " + quoted(forked) +
                                                             ") & setsid sh -c 'sleep 0.9; touch " +
                                                             detached.toUtf8() + "' & exit 0"),
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
                forkedDoneAtItsRelock = QFile::exists(forked) && QFile::exists(detached);
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
    // The journal is on disk while the program runs, so that however this program ends (even
    // killed) the next start is told of the plain files, and of the launch's helper and program
    // to wait for.
    const QList<LeftJournal> running = readLeftJournals(dir.filePath(u"running"_s));
    const auto ofSleeper = std::find_if(running.begin(), running.end(),
                                        [](const LeftJournal& j) { return j.record.entry == 1; });
    ASSERT_NE(ofSleeper, running.end());
    EXPECT_EQ(ofSleeper->plainFiles, sleeper.entry.files);
    EXPECT_EQ(ofSleeper->record.program, dir.filePath(u"s.sh"_s));
    EXPECT_GT(ofSleeper->record.programPid, 0);
    EXPECT_GT(ofSleeper->record.helperPid, 0);
    EXPECT_GT(ofSleeper->record.helperStarted, 0u);
    ASSERT_TRUE(waitUntil([&] { return sleeper.end && forker.end && exiter.end; }, 5000));

    EXPECT_TRUE(forkedDoneAtItsRelock) << "encrypted while a child left behind still ran";
    EXPECT_EQ(mostAtOnce, 1);
    for (const auto& [run, key] : {std::pair {&sleeper, "Alpha1"}, {&forker, "Bravo22"}}) {
        EXPECT_EQ(run->end->kind, LaunchEnd::Relocked);
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
    EXPECT_EQ(exiter.end->kind, LaunchEnd::LeftPlain);
    EXPECT_TRUE(allPlain(exiter.entry.files));
    EXPECT_TRUE(QFile::exists(journal(dir, 3)));
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
    LaunchGate gate;
    Launched run(gate, 4, "Editor",
                 writeScript(dir.filePath(u"e.sh"_s), "touch " + quoted(swap) + " " + quoted(backup) +
                                                          "; while [ ! -e " + quoted(held) +
                                                          " ]; do sleep 0.02; done"),
                 files, testOptions(dir.filePath(u"running"_s), 3000));
    run.launch->start();
    ASSERT_TRUE(run.started);
    // The holder opens the file through a link to its folder, as another name for it.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(u"alias"_s)));
    const StartOutcome holder =
        start(writeScript(dir.filePath(u"h.sh"_s), "exec 7< " + quoted(dir.filePath(u"alias/notes-0.txt"_s)) +
                                                       "; touch " + quoted(held) + "; exec sleep 1.2"));
    ASSERT_TRUE(holder.status.ok);
    bool holderGoneAtRelock = false;
    run.duringEncrypt = [&] {
        holderGoneAtRelock = !QFileInfo::exists(u"/proc/%1"_s.arg(holder.programPid));
    };

    ASSERT_TRUE(waitUntil([&] { return run.end.has_value(); }, 5000));
    EXPECT_TRUE(waitHelper(holder, 1000));
    EXPECT_EQ(run.end->kind, LaunchEnd::Relocked);
    EXPECT_TRUE(holderGoneAtRelock) << "encrypted while another process held the file open";
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

TEST(RunJournal, JournalsWithPlainFilesAreReadBackAndTheRestWiped)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"config/running"_s);
    const QString plain = dir.filePath(u"Brief an Jürgen.txt"_s);
    const QString odd = dir.filePath(u"two\nlines.txt"_s);
    const QString locked = dir.filePath(u"locked.txt"_s);
    touch(plain);
    touch(odd);

    const JournalRecord editor {3, u"Texteditor – privat"_s, {plain, odd, locked}};
    ASSERT_TRUE(writeJournal(folder, editor).ok);
    // A later start of the same entry replaces its journal.
    ASSERT_TRUE(writeJournal(folder, {3, editor.title, {locked, plain, odd}, u"/usr/bin/editor"_s}).ok);
    ASSERT_TRUE(writeJournal(folder, {7, u"Viewer"_s, {locked}}).ok);
    ASSERT_TRUE(writeJournal(folder, {9, u"Removed"_s, {plain}}).ok);
    ASSERT_TRUE(removeJournal(folder, 9).ok);
    ASSERT_TRUE(removeJournal(folder, 9).ok);
    // Private: the folder and the files name the user's files.
    EXPECT_EQ(mvtest::modeOf(folder), 0700u);
    EXPECT_EQ(mvtest::modeOf(folder + u"/entry-3.journal"_s), 0600u);
    touch(folder + u"/entry-5.journal"_s); // damaged: left alone

    const QList<LeftJournal> left = readLeftJournals(folder);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.entry, 3);
    EXPECT_EQ(left[0].record.title, editor.title);
    EXPECT_EQ(left[0].record.files, QStringList({locked, plain, odd}));
    EXPECT_EQ(left[0].plainFiles, QStringList({plain, odd}));
    // Its launch's helper is gone: this program ended (or was killed) while that program ran.
    EXPECT_TRUE(
        leftPlainText(left).endsWith(u"Mirravelnock! ended while the program ran.\nEncrypt them now?"_s))
        << leftPlainText(left).toStdString();
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
    EXPECT_EQ(findEditorCopies({notes, report, listedBackup}), expected);
    EXPECT_TRUE(findEditorCopies({folder + u"gone.txt"_s}).isEmpty());
    // (Their wipe: the launch tests.)
    EXPECT_EQ(editorCopiesQuestion({u"/a/b~"_s, u"/a/#b#"_s}),
              u"An editor left these plain copies beside the files:\n/a/b~\n/a/#b#\nWipe them now?"_s);
}

// A missing or non-executable program, or parameters with an open quote, failed only after the
// files were decrypted, and left them plain with a message that named neither the program nor
// the files.
TEST(FailedStart, AProgramThatCannotStartIsRefusedBeforeDecryptingAndAFailedStartLocksAgain)
{
    QTemporaryDir dir;
    LaunchGate gate;
    const QString text = dir.filePath(u"readme.txt"_s);
    ASSERT_TRUE(writeAll(text, "not a program"));
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
        EXPECT_EQ(run->end->kind, LaunchEnd::StartFailed);
        EXPECT_EQ(run->decrypts, 0);
        EXPECT_FALSE(run->started);
        for (const QString& file : files)
            EXPECT_EQ(lockedWith(file), QByteArray("Golf777"));
        EXPECT_FALSE(QFile::exists(dir.filePath(u"running/entry-1.journal"_s)));
        EXPECT_EQ(unableToRunText(r.program, run->end->status),
                  u"Unable to run application\n"_s + r.program + u": "_s + r.reason);
    }

    // Passes every check and still fails at exec (its interpreter is missing): what this start
    // decrypted is encrypted again at once with the key that opened it.
    const QString broken = dir.filePath(u"broken"_s);
    ASSERT_TRUE(writeAll(broken, "#!/no/such/interpreter\n"));
    QFile::setPermissions(broken, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList files = lockedFiles(dir, u"broken"_s, "Golf777");
    const QString plainBefore = dir.filePath(u"plain-before.txt"_s);
    ASSERT_TRUE(writeAll(plainBefore, "was plain"));
    auto run = runEntry(gate, dir, broken, {}, files + QStringList {plainBefore});
    ASSERT_TRUE(run->end);
    EXPECT_EQ(run->end->kind, LaunchEnd::StartFailed);
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
    const QList<LeftJournal> left = readLeftJournals(dir.filePath(u"running"_s));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.state, JournalRecord::State::RelockFailed);
}

// The question after a crash said the same of every run: "ended while these programs ran",
// also when a re-lock had failed or the user had kept the files plain, and named no program.
TEST(FailedStart, TheNextStartIsToldTrulyWhyEachEntrysFilesLiePlain)
{
    QTemporaryDir dir;
    LaunchGate gate;
    // The slow program's re-lock fails; the quick one ends at once and its files are kept plain.
    const struct {
        const char* program;
        bool slow;
        const char* why;
    } cases[] = {{"slow", true, "Encrypting them after the program ended failed."},
                 {"quick", false, "They were kept decrypted when the program ended."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const QString program = QString::fromLatin1(c.program);
        const QStringList files = lockedFiles(dir, program, "Golf777");
        const auto run =
            runEntry(gate, dir, writeScript(dir.filePath(program), c.slow ? "sleep 0.3" : "exit 0"), {},
                     files, [&](Launched& l) { l.encryptFails = l.encryptEndedAtOnce = c.slow; });
        ASSERT_TRUE(run->end && run->started);
        EXPECT_EQ(run->end->leftPlain, files);
        const QList<LeftJournal> left = readLeftJournals(dir.filePath(u"running"_s));
        ASSERT_EQ(left.size(), 1);
        EXPECT_EQ(leftPlainText(left),
                  u"These programs of the Secured Access List left their files decrypted:\nDiary (%1): "
                  "%1-0.txt, %1-1.txt. %2\nEncrypt them now?"_s.arg(program, QString::fromLatin1(c.why)));
        for (const QString& file : files)
            QFile::remove(file);
        readLeftJournals(dir.filePath(u"running"_s)); // wipes the journal: nothing plain
    }

    // A run's launch helper is known by its number and start time: one that still lives is told
    // apart from a number given since to another process. (What the question says of a run whose
    // program still runs: the recovery tests.)
    const StartOutcome running = start(writeScript(dir.filePath(u"held"_s), "exec sleep 5"));
    ASSERT_TRUE(running.status.ok);
    const auto helperStarted = processStartTime(running.helperPid);
    EXPECT_TRUE(processRuns(running.helperPid, helperStarted));
    EXPECT_FALSE(processRuns(running.helperPid, helperStarted + 1));
    ::kill(running.programPid, SIGKILL);
    EXPECT_TRUE(waitHelper(running, 5000));
    EXPECT_FALSE(processRuns(running.helperPid, helperStarted));
}
