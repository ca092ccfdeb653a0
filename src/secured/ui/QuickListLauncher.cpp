#include "secured/ui/QuickListLauncher.h"

#include "crypto/KeyState.h"
#include "secured/EditorCopies.h"
#include "secured/FileListText.h"
#include "secured/HolderWait.h"
#include "secured/LaunchTexts.h"
#include "secured/QuickListState.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/EncStat.h"
#include "widgets/Job.h"
#include "widgets/JobRunner.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>

namespace mv::secured {

namespace {

QStringList plainOnes(const QStringList& files)
{
    QStringList plain;
    for (const QString& file : files) {
        if (QFileInfo::exists(file))
            plain << file;
    }
    return plain;
}

// An encryption's failure as one result: the file and why, or why the job ended before it.
fileutil::FileResult failureOf(const ListJobResult& r)
{
    switch (r.kind) {
    case ListJobResult::Finished: return fileutil::FileResult::success();
    case ListJobResult::Stopped:
        return r.file.isEmpty()
                   ? fileutil::failureOf(
                         QCoreApplication::translate("mv::secured::QuickListLauncher", "encrypt the files"),
                         r.reason)
                   : fileutil::failureOf(
                         QCoreApplication::translate("mv::secured::QuickListLauncher", "encrypt %1")
                             .arg(r.file),
                         r.reason);
    case ListJobResult::Cancelled:
    case ListJobResult::KeyCancelled:
        return fileutil::failureOf(
            QCoreApplication::translate("mv::secured::QuickListLauncher", "encrypt the files"),
            QCoreApplication::translate("mv::secured::QuickListLauncher", "cancelled"));
    case ListJobResult::Interrupted:
        return fileutil::failureOf(
            QCoreApplication::translate("mv::secured::QuickListLauncher", "encrypt the files"),
            QCoreApplication::translate("mv::secured::QuickListLauncher", "the program is ending"));
    }
    return fileutil::FileResult::success();
}

// "Encrypting the files of Diary (editor) again failed.", why, and the way back for the files
// it leaves plain.
QString relockFailedText(const QString& name, const fileutil::FileResult& status, const QStringList& plain)
{
    // A file can stay plain without a failure: the user would not have another file replaced.
    QStringList text {status.ok ? QCoreApplication::translate("mv::secured::QuickListLauncher",
                                                              "Not every file of %1 was encrypted again.")
                                      .arg(name)
                                : QCoreApplication::translate("mv::secured::QuickListLauncher",
                                                              "Encrypting the files of %1 again failed.")
                                          .arg(name) +
                                      u'\n' + fileutil::resultText(status)};
    text << leftPlainAdvice(name, plain);
    return text.join(QStringLiteral("\n\n"));
}

} // namespace

QuickListLauncher::QuickListLauncher(QuickListState& state, crypto::KeyState& keys, QWidget* window,
                                     std::function<void()> minimize, std::function<void()> restore,
                                     std::function<void(const QString&)> note)
    : QObject(window), state_(state), keys_(keys), window_(window), minimize_(std::move(minimize)),
      restore_(std::move(restore)), note_(std::move(note))
{
    // While the program is ending nothing is asked (a question counts as No) or told.
    ask = [this](const QString& question) {
        return !stopping() &&
               QMessageBox::question(
                   window_, QCoreApplication::translate("mv::secured::QuickListLauncher", "Mirravelnock!"),
                   question) == QMessageBox::Yes;
    };
    tell = [this](const QString& text) {
        if (!stopping())
            QMessageBox::information(
                window_, QCoreApplication::translate("mv::secured::QuickListLauncher", "Mirravelnock!"),
                text);
    };
    connect(&state_, &QuickListState::entryChosen, this, &QuickListLauncher::start);
}

QString QuickListLauncher::journals() const
{
    return options.journalFolder.isEmpty() ? journalFolder() : options.journalFolder;
}

crypto::SecretText QuickListLauncher::askEntryKey(const QString& name, const QStringList& files)
{
    for (;;) {
        if (stopping())
            return {};
        crypto::SecretText key = AsscKey::ask(keys_, window_, entryKeyHeading(name, files));
        if (key.isEmpty())
            return {};
        const QString refused = fileKeyDoesNotOpen(files, key);
        if (refused.isEmpty())
            return key;
        tell(wrongEntryKeyText(refused));
    }
}

LaunchHooks QuickListLauncher::hooksFor(const LaunchEntry& entry, std::shared_ptr<crypto::SecretText> opened)
{
    const int n = entry.entry;
    const QString name = programName(entry.title, entry.path);
    LaunchHooks hooks;
    hooks.decrypt = [this, n, name, opened](const QStringList& files) {
        ListJobResult r = EncStat::decrypt(joinFileList(files), keys_, window_);
        // Files that were plain already open with no key: the entry's own, typed when its
        // files were added, is the one they belong to.
        crypto::SecretText key =
            !r.key.isEmpty() ? r.key : (state_.isEntry(n) ? state_.entry(n).Key : crypto::SecretText());
        StartDecryption out {{}, r.decrypted};
        // Plain files and no key: without one, nothing could encrypt them when the program ends.
        if (key.isEmpty() && r.kind != ListJobResult::KeyCancelled && !plainOnes(files).isEmpty()) {
            key = askEntryKey(name, files);
            if (key.isEmpty()) {
                out.proceed = false;
                return out;
            }
            if (state_.isEntry(n))
                state_.entry(n).Key = key;
        }
        *opened = key;
        out.key = std::move(key);
        return out;
    };
    hooks.stopping = [this] { return stopping(); };
    // The start may wait seconds for systemd-run: on a worker, as one of the window's jobs.
    hooks.offThread = [this](std::function<StartOutcome()> start) {
        auto* job = new widgets::Job(this);
        StartOutcome outcome;
        job->runModal([&] { outcome = start(); });
        delete job;
        return outcome;
    };
    // A failure is told once, by tellEnd, with the files it leaves plain.
    hooks.encrypt = [this](const QStringList& files, const crypto::SecretText& key) {
        return failureOf(EncStat::encrypt(joinFileList(files), key, keys_, window_, false));
    };
    hooks.confirmEndedAtOnce = [this, name] { return ask(endedAtOnceQuestion(name)); };
    hooks.confirmWipeEditorCopies = [this](const QStringList& copies) {
        return ask(editorCopiesQuestion(copies));
    };
    return hooks;
}

void QuickListLauncher::start(int n)
{
    if (!state_.isEntry(n))
        return;
    if (state_.entry(n).Running || starting_.contains(n)) {
        tell(QCoreApplication::translate("mv::secured::QuickListLauncher",
                                         "This program is already running!"));
        return;
    }
    startedAny_ = true;
    const QuickItem& item = state_.entry(n);
    LaunchEntry entry {n, item.Title, item.Path, item.Params, splitFileList(item.Data)};
    auto opened = std::make_shared<crypto::SecretText>();
    auto* launch = new Launch(entry, hooksFor(entry, opened), gate_, options, this);
    auto pendingId = std::make_shared<quint64>(0);
    starting_.insert(n);
    connect(launch, &Launch::started, this, [this, n, opened, pendingId] {
        starting_.remove(n);
        *pendingId = state_.addPending(n, *opened);
        minimize_();
    });
    auto waited = std::make_shared<bool>(false);
    connect(launch, &Launch::waiting, this, [this, waited](const QString& text) {
        *waited = true;
        note_(text);
    });
    // From the program's end to its re-lock's end a quit waits: the re-lock may wait for a
    // holder or its turn between two jobs, and the window must not close in that gap.
    auto held = std::make_shared<QPointer<widgets::JobRunner>>();
    connect(launch, &Launch::programEnded, this, [this, held] {
        *held = widgets::JobRunner::of(window_);
        if (*held)
            (*held)->hold();
    });
    connect(launch, &Launch::finished, this, [held] {
        if (*held)
            (*held)->release();
        held->clear();
    });
    connect(launch, &Launch::finished, this, [this, n, launch, pendingId, waited](const LaunchEnd& ending) {
        // Copies: the messages below run event loops, where the launch may be deleted.
        const LaunchEnd end = ending;
        const LaunchEntry ran = launch->entry();
        launch->deleteLater();
        starting_.remove(n);
        if (*pendingId != 0)
            static_cast<void>(state_.takePending(*pendingId));
        // The information line no longer says the re-lock waits.
        if (*waited)
            note_(end.leftPlain.isEmpty()
                      ? QCoreApplication::translate("mv::secured::QuickListLauncher",
                                                    "The files of %1 are encrypted again.")
                            .arg(programName(ran.title, ran.path))
                      : QString());
        for (const fileutil::FileResult& failure : end.wipeFailures)
            note_(fileutil::resultText(failure));
        tellEnd(ran, end);
    });
    launch->start();
}

void QuickListLauncher::tellEnd(const LaunchEntry& entry, const LaunchEnd& end)
{
    const QString name = programName(entry.title, entry.path);
    const QString advice = end.leftPlain.isEmpty() ? QString() : leftPlainAdvice(name, end.leftPlain);
    QStringList text;
    switch (end.kind) {
    case LaunchEnd::StartFailed:
        restore_();
        text << unableToRunText(entry.path, end.status);
        if (!end.relock.ok)
            text << QCoreApplication::translate("mv::secured::QuickListLauncher",
                                                "Encrypting again the files decrypted for it failed:") +
                        u'\n' + fileutil::resultText(end.relock);
        else if (!end.relocked.isEmpty())
            text << QCoreApplication::translate("mv::secured::QuickListLauncher",
                                                "The files decrypted for it were encrypted again.");
        if (!end.relock.ok || !end.relocked.isEmpty())
            text << advice;
        break;
    case LaunchEnd::NotStarted:
        restore_();
        text << QCoreApplication::translate(
                    "mv::secured::QuickListLauncher",
                    "%1 was not started: without a key its files could not be encrypted again when it "
                    "ends.")
                    .arg(name)
             << advice;
        break;
    case LaunchEnd::Relocked:
        if (!end.status.ok || !end.leftPlain.isEmpty())
            text << relockFailedText(name, end.status, end.leftPlain);
        break;
    case LaunchEnd::LeftPlain:
    case LaunchEnd::NothingToLock: text << advice; break;
    case LaunchEnd::Abandoned: break;
    }
    text.removeAll(QString());
    // A stop that left files plain: the exit status says so (nobody is told any more).
    const bool plain = !end.leftPlain.isEmpty();
    if ((end.kind == LaunchEnd::Abandoned && !end.status.ok) ||
        (stopping() && ((end.kind == LaunchEnd::Relocked && (!end.status.ok || plain)) ||
                        (end.kind == LaunchEnd::StartFailed && plain) || end.kind == LaunchEnd::LeftPlain)))
        leftUndone();
    if (!text.isEmpty())
        tell(text.join(QStringLiteral("\n\n")));
}

bool QuickListLauncher::stopping() const
{
    const widgets::JobRunner* runner = widgets::JobRunner::of(window_);
    return runner && runner->stopping();
}

void QuickListLauncher::leftUndone()
{
    if (widgets::JobRunner* runner = widgets::JobRunner::of(window_))
        runner->noteUndone();
}

void QuickListLauncher::offerLeftPlain()
{
    // Only what runs before this start left: a journal of a start made since is this copy's
    // own, and reading it would wipe it while its files are still encrypted.
    if (startedAny_)
        return;
    const QList<LeftJournal> left = readLeftJournals(journals());
    if (left.isEmpty() || !ask(leftPlainText(left)))
        return;
    for (const LeftJournal& run : left) {
        // The entry's key is gone with the run that was cut short: the user types it again,
        // twice, and it must open the entry's files that are still encrypted.
        crypto::SecretText key =
            askEntryKey(programName(run.record.title, run.record.program), run.record.files);
        if (!key.isEmpty())
            recover(run, std::move(key));
    }
}

void QuickListLauncher::recover(const LeftJournal& run, crypto::SecretText key)
{
    const JournalRecord& record = run.record;
    const QString name = programName(record.title, record.program);
    // Until its files are encrypted the entry counts as running: it is not started again
    // under the wait, and the window does not close as if nothing were plain.
    auto pendingId = std::make_shared<quint64>(0);
    const int n = record.entry;
    if (state_.isEntry(n) && state_.entry(n).Title == record.title && !state_.entry(n).Running)
        *pendingId = state_.addPending(n, key);
    auto* wait = new HolderWait(record.files, this);
    // The program may still run, or a program it handed the files to may hold them: encrypting
    // under it would lose what it writes next.
    if (record.state == JournalRecord::State::Running)
        wait->whileLaunchRuns(record.helperPid, record.helperStarted, QFileInfo(record.program).fileName(),
                              record.programPid);
    auto waited = std::make_shared<bool>(false);
    connect(wait, &HolderWait::waiting, this, [this, waited](const QList<FileHolder>& holders) {
        *waited = true;
        note_(waitingForHoldersText(holders));
    });
    auto held = std::make_shared<crypto::SecretText>(std::move(key));
    connect(wait, &HolderWait::released, this, [=, this] {
        gate_.enter([=, this] {
            const QStringList plain = plainOnes(record.files);
            const fileutil::FileResult encrypted =
                plain.isEmpty()
                    ? fileutil::FileResult::success()
                    : failureOf(EncStat::encrypt(joinFileList(plain), *held, keys_, window_, false));
            held->wipe();
            const QStringList left = plainOnes(record.files);
            if (left.isEmpty()) {
                static_cast<void>(removeJournal(journals(), record.entry));
            } else {
                JournalRecord failed = record;
                failed.state = JournalRecord::State::RelockFailed;
                failed.helperPid = -1;
                failed.helperStarted = 0;
                static_cast<void>(writeJournal(journals(), failed));
            }
            if (*pendingId != 0)
                static_cast<void>(state_.takePending(*pendingId));
            if (*waited)
                note_(left.isEmpty() ? QCoreApplication::translate("mv::secured::QuickListLauncher",
                                                                   "The files of %1 are encrypted again.")
                                           .arg(name)
                                     : QString());
            if (!left.isEmpty()) {
                if (stopping())
                    leftUndone();
                else
                    tell(relockFailedText(name, encrypted, left));
            }
            wait->deleteLater();
        });
    });
    wait->start(std::clamp(options.holderLookMs, 1, 2000));
}

} // namespace mv::secured
