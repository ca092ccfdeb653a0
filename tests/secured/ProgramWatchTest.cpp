// Watching a started program: it counts as running while it or anything it started lives,
// however it leaves its descendants behind.
#include "LaunchTestKit.h"

#include "secured/ChildReaper.h"
#include "secured/ProgramWatch.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <csignal>

using namespace mv;
using launchtest::waitUntil;
using launchtest::writeScript;

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

QByteArray quoted(const QString& path)
{
    return "'" + path.toUtf8() + "'";
}

} // namespace

TEST(ProgramWatch, EndsOnlyWhenTheProgramAndEveryDescendantHaveEnded)
{
    QTemporaryDir dir;
    const QString forked = dir.filePath(QStringLiteral("forked"));
    const QString daemon = dir.filePath(QStringLiteral("daemon"));
    // Sleeps; forks a child and exits at once; leaves a grandchild in a session of its own
    // (the way a program goes into the background); exits at once.
    Watched sleeper(dir, QStringLiteral("sleeper.sh"), "sleep 0.4");
    Watched forker(dir, QStringLiteral("forker.sh"), "(sleep 0.6; touch " + quoted(forked) + ") & exit 0");
    Watched detacher(dir, QStringLiteral("detacher.sh"),
                     "setsid sh -c 'sleep 0.6; touch " + quoted(daemon).replace('\'', "") + "' & exit 0");
    Watched exiter(dir, QStringLiteral("exiter.sh"), "exit 3");
    for (const Watched* w : {&sleeper, &forker, &detacher, &exiter})
        ASSERT_TRUE(w->started.status.ok) << w->started.status.message();

    ASSERT_TRUE(exiter.waitEnd(3000));
    EXPECT_TRUE(sleeper.watch->isRunning());
    EXPECT_TRUE(forker.watch->isRunning());
    EXPECT_TRUE(detacher.watch->isRunning());

    ASSERT_TRUE(sleeper.waitEnd(3000));
    EXPECT_GE(sleeper.endedAt, 400);
    ASSERT_TRUE(forker.waitEnd(3000));
    EXPECT_TRUE(QFile::exists(forked)) << "ended while the forked child still ran";
    ASSERT_TRUE(detacher.waitEnd(3000));
    EXPECT_TRUE(QFile::exists(daemon)) << "ended while the detached grandchild still ran";
    // The end is heard at once, not at the next tick of a timer.
    EXPECT_LT(sleeper.endedAt, 400 + 1000);
    EXPECT_FALSE(sleeper.watch->helperKilled());
}

// Should the helper be killed, what it watched comes to this program: the entry must not
// end while the program, or a child it leaves behind, still runs.
TEST(ProgramWatch, KilledHelperLeavesTheEntryRunningUntilItsOrphansEnd)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("marker"));
    Watched program(dir, QStringLiteral("program.sh"),
                    "(sleep 0.8; touch " + quoted(marker) + ") & exec sleep 30");
    ASSERT_TRUE(program.started.status.ok) << program.started.status.message();
    ASSERT_TRUE(secured::ChildReaper::instance().isSubreaper());
    ::usleep(100 * 1000);

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
}

// With a systemd scope, a process still in the scope keeps the entry running even once the
// process tree is empty. The scope's events file is played by a plain file here.
TEST(ProgramWatch, PopulatedScopeKeepsTheEntryRunningUntilItEmpties)
{
    QTemporaryDir dir;
    const QString events = dir.filePath(QStringLiteral("cgroup.events"));
    ASSERT_TRUE(launchtest::writeAll(events, "populated 1\nfrozen 0\n"));

    secured::StartOutcome started =
        launchtest::start(writeScript(dir.filePath(QStringLiteral("q.sh")), "exit 0"));
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

TEST(ChildReaper, OrphanThatEndsIsCollected)
{
    secured::ChildReaper& reaper = secured::ChildReaper::instance();
    ASSERT_TRUE(reaper.isSubreaper());
    // A child that starts a grandchild and ends: the grandchild becomes ours.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execl("/bin/sleep", "sleep", "0.3", nullptr);
            ::_exit(127);
        }
        (void)!::write(pipeFds[1], &grandchild, sizeof grandchild);
        ::_exit(0);
    }
    pid_t orphan = -1;
    ASSERT_EQ(::read(pipeFds[0], &orphan, sizeof orphan), ssize_t(sizeof orphan));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::waitpid(child, nullptr, 0);
    pid_t parent = 0;
    char state = 0;
    ASSERT_TRUE(secured::readProcessStat(orphan, parent, state));
    EXPECT_EQ(parent, ::getpid());
    EXPECT_TRUE(reaper.strayChildren().contains(orphan));
    // Once it ends, SIGCHLD wakes the reaper, which collects it: no zombie stays.
    EXPECT_TRUE(waitUntil([&] { return !secured::readProcessStat(orphan, parent, state); }, 3000));
}
