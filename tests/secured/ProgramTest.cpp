// A listed program started and watched: the exact arguments and folder it gets, the system's
// reason when it cannot start, and that it counts as running while it or anything it started
// lives, however it leaves its descendants behind.
#include "LaunchTestKit.h"

#include "secured/ArgumentSplit.h"
#include "secured/ChildReaper.h"
#include "secured/LaunchTexts.h"
#include "secured/ProgramWatch.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <csignal>

#include <fcntl.h>

using namespace mv;
using namespace Qt::StringLiterals;
using launchtest::quoted;
using launchtest::readAll;
using launchtest::waitUntil;
using launchtest::writeScript;

TEST(ArgumentSplit, WordsAreSplitAsAShellSplitsThemAndNothingIsExpanded)
{
    const secured::SplitArguments words =
        secured::splitArguments(uR"(  a 'b  c' "d \"e\" \$f \x" g\ h '' "" ~ $HOME * it'"s'  )"_s);
    ASSERT_TRUE(words.status.ok) << words.status.message();
    // One word a line: quotes, escapes, empty words, and what a shell would expand.
    EXPECT_EQ(words.arguments, u"a\nb  c\nd \"e\" $f \\x\ng h\n\n\n~\n$HOME\n*\nit\"s"_s.split(u'\n'));
    EXPECT_TRUE(secured::splitArguments(QString()).arguments.isEmpty());
    EXPECT_EQ(secured::splitArguments(u"a\\\nb c\\"_s).arguments, QStringList({u"ab"_s, u"c\\"_s}));

    const secured::SplitArguments open = secured::splitArguments(u"--file 'my notes.txt"_s);
    EXPECT_FALSE(open.status.ok);
    EXPECT_TRUE(open.arguments.isEmpty());
    EXPECT_EQ(open.status.reason, "a single quote is not closed");
    EXPECT_EQ(secured::splitArguments(u"\"a"_s).status.reason, "a double quote is not closed");
}

// The old way handed the unquoted path and the parameters to the system as one line, so
// "/x/my tools/run me.sh" started "/x/my" if it existed.
TEST(ProgramStart, PathWithBlanksStartsThatProgramInItsFolderWithExactArguments)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.txt"_s);
    writeScript(dir.filePath(u"my"_s), "echo decoy > " + quoted(out));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"my tools"_s));
    const QString program = writeScript(dir.filePath(u"my tools/run me.sh"_s),
                                        "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > " + quoted(out));

    const secured::StartOutcome started = launchtest::start(program, u"one 'two  2' \"$HOME\""_s);
    ASSERT_TRUE(started.status.ok) << started.status.message();
    EXPECT_GT(started.programPid, 0);
    EXPECT_TRUE(started.scopeEvents.isEmpty());
    ASSERT_TRUE(launchtest::waitHelper(started, 5000));
    EXPECT_EQ(readAll(out),
              QDir(dir.filePath(u"my tools"_s)).canonicalPath().toUtf8() + "\n[one]\n[two  2]\n[$HOME]\n");

    // A descriptor open here without close-on-exec is still closed for the program.
    const QString seen = dir.filePath(u"seen.txt"_s);
    const QString looker =
        writeScript(dir.filePath(u"look.sh"_s), "readlink /proc/$$/fd/$1 > " + quoted(seen) + "; exit 0");
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(held, 0);
    const secured::StartOutcome looked = launchtest::start(looker, QString::number(held));
    ASSERT_TRUE(looked.status.ok) << looked.status.message();
    ASSERT_TRUE(launchtest::waitHelper(looked, 5000));
    ::close(held);
    EXPECT_TRUE(QFile::exists(seen));
    EXPECT_NE(readAll(seen).trimmed(), QByteArray("/dev/null"));
}

TEST(ProgramStart, AProgramThatCannotRunGivesTheSystemsReason)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(u"notes.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(plain, "just text\n"));

    const secured::StartOutcome missing = launchtest::start(dir.filePath(u"gone"_s));
    EXPECT_FALSE(missing.status.ok);
    EXPECT_EQ(missing.status.step, "start the program");
    EXPECT_EQ(missing.status.error, ENOENT);
    EXPECT_LT(missing.helperPid, 0);
    EXPECT_EQ(secured::unableToRunText(missing.status),
              "Unable to run application\nNo such file or directory");
    EXPECT_EQ(launchtest::start(plain).status.error, EACCES);
    QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(launchtest::start(plain).status.message(), "start the program: Exec format error");
    EXPECT_EQ(launchtest::start(plain, u"'"_s).status.reason, "a single quote is not closed");
    secured::StartOptions noHelper;
    noHelper.helper = dir.filePath(u"no-helper"_s);
    noHelper.scope = secured::ScopeUse::Never;
    const secured::StartOutcome helperMissing = secured::startProgram(u"/bin/true"_s, {}, noHelper);
    EXPECT_EQ(helperMissing.status.error, ENOENT);
}

namespace {

// Starts `body` as a script and watches it; `endedAt` gets the time of the end.
struct Watched {
    secured::StartOutcome started;
    std::unique_ptr<secured::ProgramWatch> watch;
    QElapsedTimer clock;
    qint64 endedAt = -1;

    Watched(const QTemporaryDir& dir, const QString& name, const QByteArray& body)
    {
        started = launchtest::start(writeScript(dir.filePath(name), body));
        clock.start();
        if (!started.status.ok)
            return;
        watch = std::make_unique<secured::ProgramWatch>(started);
        QObject::connect(watch.get(), &secured::ProgramWatch::ended, [this] { endedAt = clock.elapsed(); });
    }
    bool waitEnd(int ms) const
    {
        return waitUntil([this] { return endedAt >= 0; }, ms);
    }
};

} // namespace

TEST(ProgramWatch, EndsOnlyWhenTheProgramAndEveryDescendantHaveEnded)
{
    QTemporaryDir dir;
    const QString daemon = dir.filePath(u"daemon"_s);
    // Sleeps; leaves a grandchild in a session of its own (the way a program goes into the
    // background); exits at once. (A child forked and left behind: the launch test.)
    Watched sleeper(dir, u"sleeper.sh"_s, "sleep 0.4");
    Watched detacher(dir, u"detacher.sh"_s,
                     "setsid sh -c 'sleep 0.6; touch " + quoted(daemon).replace('\'', "") + "' & exit 0");
    Watched exiter(dir, u"exiter.sh"_s, "exit 3");
    for (const Watched* w : {&sleeper, &detacher, &exiter})
        ASSERT_TRUE(w->started.status.ok) << w->started.status.message();

    ASSERT_TRUE(exiter.waitEnd(3000));
    for (const Watched* w : {&sleeper, &detacher})
        EXPECT_TRUE(w->watch->isRunning());

    ASSERT_TRUE(sleeper.waitEnd(3000));
    EXPECT_GE(sleeper.endedAt, 400);
    ASSERT_TRUE(detacher.waitEnd(3000));
    EXPECT_TRUE(QFile::exists(daemon)) << "ended while the detached grandchild still ran";
    // The end is heard at once, not at the next tick of a timer.
    EXPECT_LT(sleeper.endedAt, 400 + 1000);
    EXPECT_FALSE(sleeper.watch->helperKilled());
}

namespace {

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
    ASSERT_TRUE(secured::ChildReaper::instance().isSubreaper());
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
    ASSERT_TRUE(secured::readProcessStat(program.started.programPid, parent, state));
    EXPECT_EQ(parent, ::getpid()) << "the program went to init, not to us";

    // The program ends; its background child is adopted in turn.
    ASSERT_EQ(::kill(program.started.programPid, SIGTERM), 0);
    ASSERT_TRUE(program.waitEnd(3000));
    EXPECT_TRUE(QFile::exists(marker)) << "ended while the orphaned child still ran";
    EXPECT_FALSE(secured::readProcessStat(program.started.programPid, parent, state)) << "left a zombie";
    // The stranger, once it ends, is collected all the same: no zombie stays.
    ASSERT_EQ(::kill(stranger, SIGKILL), 0);
    EXPECT_TRUE(waitUntil([&] { return !secured::readProcessStat(stranger, parent, state); }, 3000));

    // New Instance's way of starting: the window never becomes the new process's parent.
    qint64 detached = -1;
    ASSERT_TRUE(secured::ChildReaper::startNotOurs(u"/bin/sleep"_s, {u"5"_s}, &detached));
    ASSERT_TRUE(secured::readProcessStat(pid_t(detached), parent, state));
    EXPECT_NE(parent, ::getpid());
    EXPECT_TRUE(secured::ChildReaper::instance().isSubreaper());
    ::kill(pid_t(detached), SIGKILL);
}

// With a systemd scope, a process still in the scope keeps the entry running even once the
// process tree is empty. The scope's events file is played by a plain file here.
TEST(ProgramWatch, PopulatedScopeKeepsTheEntryRunningUntilItEmpties)
{
    QTemporaryDir dir;
    const QString events = dir.filePath(u"cgroup.events"_s);
    ASSERT_TRUE(launchtest::writeAll(events, "populated 1\nfrozen 0\n"));

    secured::StartOutcome started = launchtest::start(writeScript(dir.filePath(u"q.sh"_s), "exit 0"));
    ASSERT_TRUE(started.status.ok);
    started.scopeEvents = events;
    secured::ProgramWatch watch(started);
    bool ended = false;
    QObject::connect(&watch, &secured::ProgramWatch::ended, [&] { ended = true; });
    ASSERT_TRUE(waitUntil([&] { return watch.watchedCount() == 0; }, 3000));
    waitUntil([] { return false; }, 100);
    EXPECT_FALSE(ended);

    ASSERT_TRUE(launchtest::writeAll(events, "populated 0\nfrozen 0\n"));
    EXPECT_TRUE(waitUntil([&] { return ended; }, 2000));
}
