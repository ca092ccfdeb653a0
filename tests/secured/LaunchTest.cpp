// One start of a list entry from decryption to re-lock, with real programs and stand-in
// list jobs.
#include "FakeListJobs.h"
#include "LaunchTestKit.h"

#include "secured/Launch.h"
#include "secured/LaunchTexts.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace mv;
using launchtest::lockedWith;
using launchtest::waitUntil;
using launchtest::writeScript;

namespace {

crypto::SecretText secret(const char* text)
{
    return crypto::SecretText::fromBytes(text, std::strlen(text));
}

// Plain files with text, locked with `key`.
QStringList lockedFiles(const QTemporaryDir& dir, const QString& stem, const char* key, int count = 2)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << dir.filePath(QStringLiteral("%1-%2.txt").arg(stem).arg(i));
        EXPECT_TRUE(launchtest::writeAll(files.back(), "words of " + files.back().toUtf8()));
    }
    EXPECT_TRUE(launchtest::lockFiles(files, secret(key)).ok);
    return files;
}

bool allPlain(const QStringList& files)
{
    return std::all_of(files.begin(), files.end(), [](const QString& f) { return QFile::exists(f); });
}

// A launch with the stand-in jobs, counting what they were asked to do.
struct Launched {
    secured::LaunchEntry entry;
    std::unique_ptr<secured::Launch> launch;
    bool started = false;
    bool plainWhileRunning = false;
    std::optional<secured::LaunchEnd> end;
    int encrypts = 0;
    int endedAtOnceQuestions = 0;
    bool encryptEndedAtOnce = true;
    QStringList editorCopiesOffered;
    QStringList waits;
    std::function<void()> duringEncrypt;

    Launched(secured::LaunchGate& gate, const secured::LaunchEntry& e, const secured::LaunchOptions& options)
        : entry(e)
    {
        secured::LaunchHooks hooks;
        hooks.decrypt = [](const QStringList& files) {
            QStringList locked;
            for (const QString& file : files)
                if (QFile::exists(crypto::EncryptedName(file)))
                    locked << file;
            return secured::StartDecryption {launchtest::unlockFiles(files), locked};
        };
        hooks.encrypt = [this](const QStringList& files, const crypto::SecretText& key) {
            ++encrypts;
            if (duringEncrypt)
                duringEncrypt();
            return launchtest::lockFiles(files, key);
        };
        hooks.confirmEndedAtOnce = [this] {
            ++endedAtOnceQuestions;
            return encryptEndedAtOnce;
        };
        hooks.confirmWipeEditorCopies = [this](const QStringList& copies) {
            editorCopiesOffered = copies;
            return true;
        };
        launch = std::make_unique<secured::Launch>(entry, hooks, gate, options);
        QObject::connect(launch.get(), &secured::Launch::started, [this] {
            started = true;
            plainWhileRunning = allPlain(entry.files);
        });
        QObject::connect(launch.get(), &secured::Launch::waiting,
                         [this](const QString& text) { waits << text; });
        QObject::connect(launch.get(), &secured::Launch::finished,
                         [this](const secured::LaunchEnd& ended) { end = ended; });
    }
};

secured::LaunchOptions testOptions(const QTemporaryDir& dir, int endedAtOnceMs)
{
    secured::LaunchOptions options;
    options.journalFolder = dir.filePath(QStringLiteral("running"));
    options.start.helper = QStringLiteral(MV_LAUNCH_HELPER);
    options.start.scope = secured::ScopeUse::Never;
    options.endedAtOnceMs = endedAtOnceMs;
    options.holderLookMs = 100;
    return options;
}

QString journal(const QTemporaryDir& dir, int entry)
{
    return dir.filePath(QStringLiteral("running/entry-%1.journal").arg(entry));
}

} // namespace

TEST(Launch, ThreeProgramsWatchedAtOnceAreEachRelockedOnceWithTheirOwnKey)
{
    QTemporaryDir dir;
    const QString forked = dir.filePath(QStringLiteral("forked"));
    const secured::LaunchOptions options = testOptions(dir, 400);
    secured::LaunchGate gate;
    // Sleeps; forks a child that outlives it and exits at once; exits at once.
    Launched sleeper(gate,
                     {1,
                      QStringLiteral("Sleeper"),
                      writeScript(dir.filePath(QStringLiteral("s.sh")), "sleep 0.6"),
                      {},
                      lockedFiles(dir, QStringLiteral("sleeper"), "Alpha1")},
                     options);
    Launched forker(gate,
                    {2,
                     QStringLiteral("Forker"),
                     writeScript(dir.filePath(QStringLiteral("f.sh")),
                                 "(sleep 0.9; touch '" + forked.toUtf8() + "') & exit 0"),
                     {},
                     lockedFiles(dir, QStringLiteral("forker"), "Bravo22")},
                    options);
    Launched exiter(gate,
                    {3,
                     QStringLiteral("Exiter"),
                     writeScript(dir.filePath(QStringLiteral("e.sh")), "exit 0"),
                     {},
                     lockedFiles(dir, QStringLiteral("exiter"), "Charlie333")},
                    options);
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

    EXPECT_EQ(sleeper.end->kind, secured::LaunchEnd::Relocked);
    EXPECT_EQ(forker.end->kind, secured::LaunchEnd::Relocked);
    EXPECT_TRUE(forkedDoneAtItsRelock) << "encrypted while the forked child still ran";
    EXPECT_EQ(mostAtOnce, 1);
    for (const QString& file : sleeper.entry.files)
        EXPECT_EQ(lockedWith(file), QByteArray("Alpha1"));
    for (const QString& file : forker.entry.files)
        EXPECT_EQ(lockedWith(file), QByteArray("Bravo22"));
    EXPECT_EQ(sleeper.encrypts, 1);
    EXPECT_EQ(forker.encrypts, 1);
    EXPECT_EQ(sleeper.endedAtOnceQuestions + forker.endedAtOnceQuestions, 0);
    EXPECT_FALSE(QFile::exists(journal(dir, 1)));
    EXPECT_FALSE(QFile::exists(journal(dir, 2)));

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
    const QStringList files = lockedFiles(dir, QStringLiteral("notes"), "Delta4444", 1);
    const QString notes = files.first();
    const QString swap = dir.filePath(QStringLiteral(".notes-0.txt.swp"));
    const QString backup = dir.filePath(QStringLiteral("notes-0.txt~"));
    const QString thumbnail =
        qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/thumbnails/normal/") +
        QString::fromLatin1(
            QCryptographicHash::hash(QUrl::fromLocalFile(notes).toEncoded(), QCryptographicHash::Md5)
                .toHex()) +
        QStringLiteral(".png");
    QDir().mkpath(QFileInfo(thumbnail).absolutePath());
    QFile picture(thumbnail);
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();

    secured::LaunchGate gate;
    const QByteArray q = "'";
    Launched run(
        gate,
        {4,
         QStringLiteral("Editor"),
         writeScript(dir.filePath(QStringLiteral("e.sh")),
                     "touch " + q + swap.toUtf8() + q + " " + q + backup.toUtf8() + q + "; sleep 0.3"),
         {},
         files},
        testOptions(dir, 3000));
    run.launch->start();
    ASSERT_TRUE(run.started);
    // The holder opens the file through a link to its folder, as another name for it.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(QStringLiteral("alias"))));
    const QByteArray alias = dir.filePath(QStringLiteral("alias/notes-0.txt")).toUtf8();
    const secured::StartOutcome holder = launchtest::start(
        writeScript(dir.filePath(QStringLiteral("h.sh")), "exec 7< " + q + alias + q + "; exec sleep 1.2"));
    ASSERT_TRUE(holder.status.ok);
    bool holderGoneAtRelock = false;
    run.duringEncrypt = [&] {
        holderGoneAtRelock = !QFileInfo::exists(QStringLiteral("/proc/%1").arg(holder.programPid));
    };

    ASSERT_TRUE(waitUntil([&] { return run.end.has_value(); }, 5000));
    EXPECT_TRUE(launchtest::waitHelper(holder, 1000));
    EXPECT_EQ(run.end->kind, secured::LaunchEnd::Relocked);
    EXPECT_TRUE(holderGoneAtRelock) << "encrypted while another process held the file open";
    ASSERT_FALSE(run.waits.isEmpty());
    EXPECT_TRUE(run.waits.contains(
        QStringLiteral(
            "Waiting for sleep (%1) to close notes-0.txt; the files are encrypted again once it has.")
            .arg(holder.programPid)))
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

TEST(Launch, ProgramThatCannotStartLeavesTheFilesDecryptedAndTheJournalInPlace)
{
    QTemporaryDir dir;
    secured::LaunchGate gate;
    Launched run(gate,
                 {5,
                  QStringLiteral("Gone"),
                  dir.filePath(QStringLiteral("no such program")),
                  {},
                  lockedFiles(dir, QStringLiteral("gone"), "Echo55555")},
                 testOptions(dir, 400));
    run.launch->start();
    ASSERT_TRUE(run.end.has_value());
    EXPECT_FALSE(run.started);
    EXPECT_EQ(run.end->kind, secured::LaunchEnd::StartFailed);
    EXPECT_EQ(run.end->status.error, ENOENT);
    EXPECT_FALSE(run.launch->isRunning());
    EXPECT_TRUE(allPlain(run.entry.files));
    EXPECT_TRUE(QFile::exists(journal(dir, 5)));
}

// Run in a child process by the test below, which kills it while the program runs.
TEST(LaunchCrash, DISABLED_ChildRunsAnEntryUntilKilled)
{
    const QString folder = qEnvironmentVariable("MV_CRASH_FOLDER");
    ASSERT_FALSE(folder.isEmpty());
    secured::LaunchGate gate;
    secured::LaunchOptions options;
    options.journalFolder = folder + QStringLiteral("/running");
    options.start.helper = QStringLiteral(MV_LAUNCH_HELPER);
    options.start.scope = secured::ScopeUse::Never;
    const QStringList files {folder + QStringLiteral("/diary-0.txt"),
                             folder + QStringLiteral("/diary-1.txt")};
    Launched run(gate,
                 {6,
                  QStringLiteral("Diary"),
                  writeScript(folder + QStringLiteral("/p.sh"),
                              "echo $$ > '" + folder.toUtf8() + "/pid'; exec sleep 10"),
                  {},
                  files},
                 options);
    run.launch->start();
    ASSERT_TRUE(run.started);
    QFile ready(folder + QStringLiteral("/ready"));
    ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
    ready.close();
    waitUntil([] { return false; }, 20000);
}

TEST(LaunchCrash, KilledWhileAnEntryRunsItsJournalNamesThePlainFilesAtTheNextStart)
{
    QTemporaryDir dir;
    const QStringList files = lockedFiles(dir, QStringLiteral("diary"), "Foxtrot6");
    const QByteArray self = QFile::encodeName(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    // Everything the child needs is made before the fork: only exec may follow it.
    std::vector<std::string> environment {"MV_CRASH_FOLDER=" + QFile::encodeName(dir.path()).toStdString()};
    for (char** e = environ; *e; ++e)
        environment.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execle(self.constData(), self.constData(), "--gtest_also_run_disabled_tests",
                 "--gtest_filter=LaunchCrash.DISABLED_ChildRunsAnEntryUntilKilled", nullptr, envp.data());
        ::_exit(127);
    }
    ASSERT_GT(child, 0);
    const bool ready = waitUntil([&] { return QFile::exists(dir.filePath(QStringLiteral("ready"))); }, 10000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const pid_t program = launchtest::readAll(dir.filePath(QStringLiteral("pid"))).trimmed().toInt();
    if (program > 0)
        ::kill(program, SIGKILL);
    ASSERT_TRUE(ready) << "the child never started its entry";
    ASSERT_TRUE(WIFSIGNALED(status));

    const QList<secured::LeftJournal> left =
        secured::readLeftJournals(dir.filePath(QStringLiteral("running")));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.entry, 6);
    EXPECT_EQ(left[0].record.title, QStringLiteral("Diary"));
    EXPECT_EQ(left[0].plainFiles, files);
    EXPECT_EQ(
        secured::leftPlainText(left),
        QStringLiteral("Mirravelnock! ended while these programs ran, and their files were left decrypted:\n"
                       "Diary: diary-0.txt, diary-1.txt\nEncrypt them now?"));
}
