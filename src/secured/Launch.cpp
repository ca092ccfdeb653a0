#include "secured/Launch.h"

#include "desktop/PlainTraces.h"
#include "secured/EditorCopies.h"
#include "secured/HolderWait.h"
#include "secured/LaunchTexts.h"
#include "secured/OpenFileHolders.h"
#include "secured/ProgramWatch.h"

#include <QFileInfo>
#include <QPointer>

#include <algorithm>

namespace mv::secured {

Launch::Launch(const LaunchEntry& entry, const LaunchHooks& hooks, LaunchGate& gate,
               const LaunchOptions& options, QObject* parent)
    : QObject(parent), entry_(entry), hooks_(hooks), gate_(gate), options_(options)
{
    if (options_.journalFolder.isEmpty())
        options_.journalFolder = journalFolder();
}

// A launch dropped while its program runs leaves the program running and the journal in
// place: the next start offers to encrypt the files.
Launch::~Launch() = default;

void Launch::start()
{
    running_ = true;
    gate_.enter([self = QPointer<Launch>(this)] {
        if (self)
            self->startStep();
    });
}

void Launch::startStep()
{
    if (stopping()) {
        finish(LaunchEnd::Abandoned);
        return;
    }
    // A program that cannot start is found out before any file is decrypted for it.
    if (fileutil::FileResult startable = checkProgram(entry_.path, entry_.params); !startable) {
        finish(LaunchEnd::StartFailed, std::move(startable));
        return;
    }
    if (!entry_.files.isEmpty()) {
        // On disk before the first file is decrypted.
        const fileutil::FileResult journal = writeJournal(options_.journalFolder, journalRecord());
        if (!journal) {
            finish(LaunchEnd::StartFailed, journal);
            return;
        }
        StartDecryption opened = hooks_.decrypt(entry_.files);
        key_ = std::move(opened.key);
        decryptedHere_ = std::move(opened.decrypted);
        if (!opened.proceed) {
            settleJournal(JournalRecord::State::LeftPlain);
            finish(LaunchEnd::NotStarted);
            return;
        }
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
        // What this start decrypted must not stay plain for a program that never ran.
        if (!decryptedHere_.isEmpty() && !key_.isEmpty()) {
            end_.relock = hooks_.encrypt(decryptedHere_, key_);
            if (end_.relock)
                end_.relocked = decryptedHere_;
        }
        settleJournal(JournalRecord::State::RelockFailed);
        finish(LaunchEnd::StartFailed, launched.status);
        return;
    }
    helperPid_ = launched.helperPid;
    helperStarted_ = processStartTime(launched.helperPid);
    programPid_ = launched.programPid;
    // From now on a next start after a crash can wait for this program before it encrypts.
    if (!entry_.files.isEmpty())
        (void)writeJournal(options_.journalFolder, journalRecord());
    clock_.start();
    watch_ = new ProgramWatch(launched, this);
    connect(watch_, &ProgramWatch::ended, this, &Launch::onEnded);
    emit started();
}

void Launch::onEnded()
{
    ranMs_ = clock_.elapsed();
    emit programEnded();
    if (entry_.files.isEmpty() || key_.isEmpty()) {
        settleJournal(JournalRecord::State::LeftPlain);
        finish(LaunchEnd::NothingToLock);
        return;
    }
    waitForHolders();
}

void Launch::waitForHolders()
{
    if (!holders_) {
        holders_ = new HolderWait(entry_.files, this);
        connect(holders_, &HolderWait::waiting, this,
                [this](const QList<FileHolder>& holders) { emit waiting(waitingForHoldersText(holders)); });
        connect(holders_, &HolderWait::released, this, [this] {
            gate_.enter([self = QPointer<Launch>(this)] {
                if (self)
                    self->relockStep();
            });
        });
    }
    holders_->start(std::clamp(options_.holderLookMs, 1, 2000));
}

void Launch::relockStep()
{
    if (!askedEndedAtOnce_ && endedAtOnce(ranMs_, entry_.files, options_.endedAtOnceMs)) {
        askedEndedAtOnce_ = true;
        if (!hooks_.confirmEndedAtOnce()) {
            settleJournal(JournalRecord::State::LeftPlain);
            finish(LaunchEnd::LeftPlain);
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

    QStringList traced = entry_.files;
    const QStringList copies = findEditorCopies(entry_.files);
    if (!copies.isEmpty() && hooks_.confirmWipeEditorCopies(copies)) {
        const fileutil::WipeReport report = fileutil::wipeAll(copies);
        end_.wiped << report.wiped;
        end_.wipeFailures << report.failures;
        traced << report.wiped;
    }
    // Plain pictures of the files and of the copies wiped, in one look at the desktop's cache,
    // without asking. Encrypting took those of each file it encrypted; a file a failed re-lock
    // left plain is meant to be encrypted, so its own go as well.
    const fileutil::WipeReport thumbnails = desktop::forgetPlainTraces(traced);
    end_.wiped << thumbnails.wiped;
    end_.wipeFailures << thumbnails.failures;

    settleJournal(JournalRecord::State::RelockFailed);
    finish(LaunchEnd::Relocked, encrypted);
}

void Launch::abandonStart()
{
    fileutil::FileResult status;
    if (!decryptedHere_.isEmpty() && !key_.isEmpty())
        status = hooks_.encrypt(decryptedHere_, key_);
    settleJournal();
    finish(LaunchEnd::Abandoned, status);
}

void Launch::settleJournal(JournalRecord::State why)
{
    if (entry_.files.isEmpty())
        return;
    const bool plain = std::any_of(entry_.files.begin(), entry_.files.end(),
                                   [](const QString& file) { return QFileInfo::exists(file); });
    if (!plain) {
        (void)removeJournal(options_.journalFolder, entry_.entry);
        return;
    }
    if (why == JournalRecord::State::Running)
        return;
    // The program has ended: the next start need not wait for it, but must say why the files
    // lie plain.
    JournalRecord record = journalRecord();
    record.state = why;
    record.helperPid = -1;
    record.helperStarted = 0;
    (void)writeJournal(options_.journalFolder, record);
}

JournalRecord Launch::journalRecord() const
{
    JournalRecord record {entry_.entry, entry_.title, entry_.files, entry_.path};
    record.helperPid = helperPid_;
    record.helperStarted = helperStarted_;
    record.programPid = programPid_;
    return record;
}

void Launch::finish(LaunchEnd::Kind kind, fileutil::FileResult status)
{
    running_ = false;
    key_.wipe();
    end_.leftPlain.clear();
    for (const QString& file : entry_.files) {
        if (QFileInfo::exists(file))
            end_.leftPlain << file;
    }
    end_.kind = kind;
    end_.status = std::move(status);
    emit finished(end_);
}

} // namespace mv::secured
