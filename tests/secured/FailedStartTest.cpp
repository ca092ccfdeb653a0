// A start that cannot start, and why the files of a run lie plain as the journal tells the next
// start: with real programs and the stand-in list jobs.
#include "FakeListJobs.h"
#include "LaunchTestKit.h"

#include "secured/Launch.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <optional>

using namespace mv;
using namespace Qt::StringLiterals;
using launchtest::lockedWith;
using launchtest::writeScript;

namespace {

const crypto::SecretText kKey = crypto::SecretText::fromText(u"Golf777"_s);

struct EntryRun {
    int decrypts = 0;
    int encrypts = 0;
    bool encryptFails = false;
    bool keepPlainAtOnce = false;
    bool started = false;
    std::optional<secured::LaunchEnd> end;
};

// Runs entry 1 of `program` with `params` over `files` to its end.
EntryRun runEntry(const QTemporaryDir& dir, const QString& program, const QString& params,
                  const QStringList& files, EntryRun run = {})
{
    secured::LaunchHooks hooks;
    hooks.decrypt = [&](const QStringList& list) {
        ++run.decrypts;
        return launchtest::startDecryption(list);
    };
    hooks.encrypt = [&](const QStringList& list, const crypto::SecretText& key) {
        ++run.encrypts;
        return run.encryptFails ? fileutil::failureOf(u"encrypt"_s, u"the disk is full"_s)
                                : launchtest::lockFiles(list, key);
    };
    hooks.confirmEndedAtOnce = [&] { return !run.keepPlainAtOnce; };
    hooks.confirmWipeEditorCopies = [](const QStringList&) { return false; };
    secured::LaunchOptions options;
    options.journalFolder = dir.filePath(u"running"_s);
    options.start.helper = QStringLiteral(MV_LAUNCH_HELPER);
    options.start.scope = secured::ScopeUse::Never;
    options.endedAtOnceMs = 2000;
    options.holderLookMs = 100;
    secured::LaunchGate gate;
    secured::Launch launch({1, u"Diary"_s, program, params, files}, hooks, gate, options);
    QObject::connect(&launch, &secured::Launch::started, [&] { run.started = true; });
    QObject::connect(&launch, &secured::Launch::finished, [&](const secured::LaunchEnd& e) { run.end = e; });
    launch.start();
    EXPECT_TRUE(launchtest::waitUntil([&] { return run.end.has_value(); }, 10000));
    return run;
}

QStringList lockedFiles(const QTemporaryDir& dir, const QString& stem)
{
    QStringList files;
    for (int i = 0; i < 2; ++i) {
        files << dir.filePath(u"%1-%2.txt"_s.arg(stem).arg(i));
        EXPECT_TRUE(launchtest::writeAll(files.back(), "words"));
    }
    EXPECT_TRUE(launchtest::lockFiles(files, kKey).ok);
    return files;
}

} // namespace

// A missing or non-executable program, or parameters with an open quote, failed only after the
// files were decrypted, and left them plain with a message that named neither the program nor
// the files.
TEST(FailedStart, AProgramThatCannotStartIsRefusedBeforeDecryptingAndAFailedStartLocksAgain)
{
    QTemporaryDir dir;
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
        const QStringList files = lockedFiles(dir, u"refused"_s);
        const EntryRun run = runEntry(dir, r.program, r.params, files);
        ASSERT_TRUE(run.end);
        EXPECT_EQ(run.end->kind, secured::LaunchEnd::StartFailed);
        EXPECT_EQ(run.decrypts, 0);
        EXPECT_FALSE(run.started);
        for (const QString& file : files)
            EXPECT_EQ(lockedWith(file), QByteArray("Golf777"));
        EXPECT_FALSE(QFile::exists(dir.filePath(u"running/entry-1.journal"_s)));
        EXPECT_EQ(secured::unableToRunText(r.program, run.end->status),
                  u"Unable to run application\n"_s + r.program + u": "_s + r.reason);
    }

    // Passes every check and still fails at exec (its interpreter is missing): what this start
    // decrypted is encrypted again at once with the key that opened it.
    const QString broken = dir.filePath(u"broken"_s);
    ASSERT_TRUE(launchtest::writeAll(broken, "#!/no/such/interpreter\n"));
    QFile::setPermissions(broken, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList files = lockedFiles(dir, u"broken"_s);
    const QString plainBefore = dir.filePath(u"plain-before.txt"_s);
    ASSERT_TRUE(launchtest::writeAll(plainBefore, "was plain"));
    EntryRun run = runEntry(dir, broken, {}, files + QStringList {plainBefore});
    ASSERT_TRUE(run.end);
    EXPECT_EQ(run.end->kind, secured::LaunchEnd::StartFailed);
    EXPECT_EQ(run.end->status.error, ENOENT);
    EXPECT_EQ(run.decrypts, 1);
    EXPECT_TRUE(run.end->relock.ok);
    EXPECT_EQ(run.end->relocked, files);
    for (const QString& file : files)
        EXPECT_EQ(lockedWith(file), QByteArray("Golf777"));
    // Only what this start decrypted: a file that was plain before stays as it was, and named.
    EXPECT_EQ(run.end->leftPlain, QStringList {plainBefore});

    // When encrypting again fails, the files are named for the next start, which says why.
    QFile::remove(plainBefore);
    EntryRun failing;
    failing.encryptFails = true;
    run = runEntry(dir, broken, {}, files, failing);
    ASSERT_TRUE(run.end);
    EXPECT_FALSE(run.end->relock.ok);
    EXPECT_EQ(run.end->leftPlain, files);
    const QList<secured::LeftJournal> left = secured::readLeftJournals(dir.filePath(u"running"_s));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].record.state, secured::JournalRecord::State::RelockFailed);
}

// The question after a crash said the same of every run: "ended while these programs ran",
// also when a re-lock had failed or the user had kept the files plain, and named no program.
TEST(FailedStart, TheNextStartIsToldTrulyWhyEachEntrysFilesLiePlain)
{
    QTemporaryDir dir;
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
        const QStringList files = lockedFiles(dir, QString::fromLatin1(c.program));
        EntryRun setup;
        setup.encryptFails = c.encryptFails;
        setup.keepPlainAtOnce = c.keepPlainAtOnce;
        const EntryRun run =
            runEntry(dir, QString::fromLatin1(c.program) == u"slow"_s ? slow : quick, {}, files, setup);
        ASSERT_TRUE(run.end && run.started);
        EXPECT_EQ(run.end->leftPlain, files);
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
