#include "secured/ui/QuickListLauncher.h"

#include "crypto/KeyState.h"
#include "crypto/ui/Confirm.h"
#include "secured/EditorCopies.h"
#include "secured/FileListText.h"
#include "secured/LaunchTexts.h"
#include "secured/QuickListState.h"
#include "secured/ui/EncStat.h"
#include "widgets/Job.h"
#include "widgets/JobRunner.h"

#include <QMessageBox>
#include <QPointer>

namespace mv::secured {

QuickListLauncher::QuickListLauncher(QuickListState& state, crypto::KeyState& keys, QWidget* window,
                                     std::function<void()> minimize, std::function<void()> restore,
                                     std::function<void(const QString&)> note)
    : QObject(window), state_(state), keys_(keys), window_(window), minimize_(std::move(minimize)),
      restore_(std::move(restore)), note_(std::move(note))
{
    // While the program is ending nothing is asked (a question counts as No) or told.
    ask = [this](const QString& question) {
        return !stopping() &&
               QMessageBox::question(window_, tr("Mirravelnock!"), question) == QMessageBox::Yes;
    };
    tell = [this](const QString& text) {
        if (!stopping())
            QMessageBox::information(window_, tr("Mirravelnock!"), text);
    };
    connect(&state_, &QuickListState::entryChosen, this, &QuickListLauncher::start);
}

LaunchHooks QuickListLauncher::hooksFor(int n, std::shared_ptr<crypto::SecretText> opened)
{
    LaunchHooks hooks;
    hooks.decrypt = [this, n, opened](const QStringList& files) {
        ListJobResult r = EncStat::decrypt(joinFileList(files), keys_, window_);
        // Files that were plain already open with no key: the entry's own, typed when its
        // files were added, is the one they belong to.
        *opened = !r.key.isEmpty() ? r.key : (state_.isEntry(n) ? state_.entry(n).Key : crypto::SecretText());
        return StartDecryption {*opened, r.decrypted};
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
    hooks.encrypt = [this](const QStringList& files, const crypto::SecretText& key) {
        const ListJobResult r = EncStat::encrypt(joinFileList(files), key, keys_, window_);
        if (r.kind == ListJobResult::Finished)
            return fileutil::FileResult::success();
        return fileutil::failureOf(tr("encrypt %1").arg(r.file), r.reason, 0);
    };
    hooks.confirmEndedAtOnce = [this] { return ask(endedAtOnceQuestion()); };
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
        tell(tr("This program is already running!"));
        return;
    }
    startedAny_ = true;
    const QuickItem& item = state_.entry(n);
    LaunchEntry entry {n, item.Title, item.Path, item.Params, splitFileList(item.Data)};
    auto opened = std::make_shared<crypto::SecretText>();
    auto* launch = new Launch(entry, hooksFor(n, opened), gate_, options, this);
    auto pendingId = std::make_shared<quint64>(0);
    starting_.insert(n);
    connect(launch, &Launch::started, this, [this, n, opened, pendingId] {
        starting_.remove(n);
        *pendingId = state_.addPending(n, *opened);
        minimize_();
    });
    connect(launch, &Launch::waiting, this, [this](const QString& text) { note_(text); });
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
    connect(launch, &Launch::finished, this, [this, n, launch, pendingId](const LaunchEnd& end) {
        starting_.remove(n);
        if (*pendingId != 0)
            static_cast<void>(state_.takePending(*pendingId));
        launch->deleteLater();
        switch (end.kind) {
        case LaunchEnd::StartFailed:
            restore_();
            tell(unableToRunText(end.status));
            if (stopping())
                leftUndone();
            break;
        case LaunchEnd::Relocked:
            if (!end.status.ok) {
                tell(fileutil::resultText(end.status));
                if (stopping())
                    leftUndone();
            }
            break;
        case LaunchEnd::Abandoned:
            if (!end.status.ok)
                leftUndone();
            break;
        case LaunchEnd::LeftPlain:
            if (stopping())
                leftUndone();
            break;
        case LaunchEnd::NothingToLock: break;
        }
        for (const fileutil::FileResult& failure : end.wipeFailures)
            note_(fileutil::resultText(failure));
    });
    launch->start();
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
    const QList<LeftJournal> left =
        readLeftJournals(options.journalFolder.isEmpty() ? journalFolder() : options.journalFolder);
    if (left.isEmpty() || !ask(leftPlainText(left)))
        return;
    for (const LeftJournal& run : left) {
        // The entry's key is gone with the run that was cut short: the user types it again.
        crypto::SecretText key = crypto::Confirm::ask(window_);
        if (key.isEmpty())
            continue;
        const ListJobResult r = EncStat::encrypt(joinFileList(run.plainFiles), key, keys_, window_);
        if (r.kind == ListJobResult::Finished)
            static_cast<void>(removeJournal(
                options.journalFolder.isEmpty() ? journalFolder() : options.journalFolder, run.record.entry));
    }
}

} // namespace mv::secured
