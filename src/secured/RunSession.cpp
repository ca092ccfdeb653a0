#include "secured/RunSession.h"

#include "secured/EditorLeftovers.h"
#include "secured/HolderWait.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"
#include "secured/ProgramWatch.h"

#include <QFileInfo>
#include <QPointer>

#include <algorithm>

namespace mv::secured {

RunSession::RunSession(const SessionEntry& entry, const RunHooks& hooks, SessionGate& gate,
                       const RunOptions& options, QObject* parent)
    : QObject(parent), entry_(entry), hooks_(hooks), gate_(gate), options_(options)
{
    if (options_.journalFolder.isEmpty())
        options_.journalFolder = journalFolder();
}

// A session dropped while its program runs leaves the program running and the journal in
// place: the next start offers to encrypt the files.
RunSession::~RunSession() = default;

void RunSession::start()
{
    running_ = true;
    gate_.enter([self = QPointer<RunSession>(this)] {
        if (self)
            self->startStep();
    });
}

void RunSession::startStep()
{
    if (stopping()) {
        finish(SessionEnd::Abandoned);
        return;
    }
    if (!entry_.files.isEmpty()) {
        // On disk before the first file is decrypted.
        const fileutil::FileResult journal =
            writeJournal(options_.journalFolder, {entry_.entry, entry_.title, entry_.files});
        if (!journal) {
            finish(SessionEnd::StartFailed, journal);
            return;
        }
        StartDecryption opened = hooks_.decrypt(entry_.files);
        key_ = std::move(opened.key);
        decryptedHere_ = std::move(opened.decrypted);
    }
    if (stopping()) {
        abandonStart();
        return;
    }
    std::function<StartOutcome()> launch = [path = entry_.path, params = entry_.params,
                                            start = options_.start] {
        return startProgram(path, params, start);
    };
    StartOutcome launched = hooks_.offThread ? hooks_.offThread(std::move(launch)) : launch();
    if (stopping()) {
        // The stop came while the start waited: the program has had no time to work on its
        // files, and it must not keep them plain after the window is gone.
        if (launched.status)
            stopStartedProgram(launched);
        abandonStart();
        return;
    }
    if (!launched.status) {
        // The files decrypted for this start stay plain; the journal keeps them known.
        settleJournal();
        finish(SessionEnd::StartFailed, launched.status);
        return;
    }
    clock_.start();
    watch_ = new ProgramWatch(launched, this);
    connect(watch_, &ProgramWatch::ended, this, &RunSession::onEnded);
    emit started();
}

void RunSession::onEnded()
{
    ranMs_ = clock_.elapsed();
    if (entry_.files.isEmpty() || key_.isEmpty()) {
        settleJournal();
        finish(SessionEnd::NothingToLock);
        return;
    }
    waitForHolders();
}

void RunSession::waitForHolders()
{
    if (!holders_) {
        holders_ = new HolderWait(entry_.files, this);
        connect(holders_, &HolderWait::waiting, this,
                [this](const QList<FileHolder>& holders) { emit waiting(waitingForHoldersText(holders)); });
        connect(holders_, &HolderWait::released, this, [this] {
            gate_.enter([self = QPointer<RunSession>(this)] {
                if (self)
                    self->relockStep();
            });
        });
    }
    holders_->start(std::clamp(options_.holderLookMs, 1, 2000));
}

void RunSession::relockStep()
{
    if (!askedQuickEnd_ && endedAtOnce(ranMs_, entry_.files, options_.quickEndMs)) {
        askedQuickEnd_ = true;
        if (!hooks_.confirmQuickEnd()) {
            finish(SessionEnd::LeftPlain);
            return;
        }
        // The question may have stood for a while: someone may have opened a file since.
        if (!findHolders(entry_.files).isEmpty()) {
            waitForHolders();
            return;
        }
    }
    const fileutil::FileResult encrypted = hooks_.encrypt(entry_.files, key_);
    key_.wipe();

    const QStringList leftovers = findEditorLeftovers(entry_.files);
    if (!leftovers.isEmpty() && hooks_.confirmWipeLeftovers(leftovers)) {
        const WipeReport report = wipeAll(leftovers);
        end_.wiped << report.wiped;
        end_.wipeFailures << report.failures;
    }
    // Plain pictures of the files: wiped without asking.
    const WipeReport thumbnails = wipeAll(thumbnailsOf(entry_.files));
    end_.wiped << thumbnails.wiped;
    end_.wipeFailures << thumbnails.failures;

    settleJournal();
    finish(SessionEnd::Relocked, encrypted);
}

void RunSession::abandonStart()
{
    fileutil::FileResult status;
    if (!decryptedHere_.isEmpty() && !key_.isEmpty())
        status = hooks_.encrypt(decryptedHere_, key_);
    settleJournal();
    finish(SessionEnd::Abandoned, status);
}

void RunSession::settleJournal()
{
    const bool plain = std::any_of(entry_.files.begin(), entry_.files.end(),
                                   [](const QString& file) { return QFileInfo::exists(file); });
    if (!plain)
        (void)removeJournal(options_.journalFolder, entry_.entry);
}

void RunSession::finish(SessionEnd::Kind kind, fileutil::FileResult status)
{
    running_ = false;
    key_.wipe();
    end_.kind = kind;
    end_.status = std::move(status);
    emit finished(end_);
}

} // namespace mv::secured
