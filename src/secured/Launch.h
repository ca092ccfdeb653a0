// One start of a Secured Access List entry, from the decryption of its files to their
// re-lock: check the program and its parameters -> journal -> decrypt -> start (a failed start
// encrypts again what it decrypted) -> journal names the launch helper -> watch -> wait while a
// file is held open -> ask when the program ended at once -> encrypt -> offer the editors'
// copies for wiping, wipe the thumbnails -> journal removed, or rewritten to say why files
// stay plain. The list jobs and the questions are the window's, handed in
// as callbacks; they may run modal windows, and a LaunchGate shared by all launches lets
// only one of them run at a time. Several launches run at once, each with its own key.
#pragma once

#include "crypto/SecretText.h"
#include "secured/EndedAtOnce.h"
#include "secured/LaunchGate.h"
#include "secured/ProgramStart.h"
#include "secured/RunJournal.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>

namespace mv::secured {

class HolderWait;
class ProgramWatch;

struct LaunchEntry {
    int entry = 0;
    QString title;
    QString path;      // the program
    QString params;    // its parameters, as typed
    QStringList files; // the associated files, by their plain names
};

// What the decryption at a start did.
struct StartDecryption {
    crypto::SecretText key; // the key that opened the files; empty when none did
    QStringList decrypted;  // the files it decrypted (not those that were plain already)
    // False: the program is not to start (its files lay plain and no key was given to encrypt
    // them again at its end).
    bool proceed = true;
};

struct LaunchHooks {
    // The list job that decrypts `files` (empty key: a cancelled key request). Not called for
    // an entry without files.
    std::function<StartDecryption(const QStringList& files)> decrypt;
    // The list job that encrypts every file of `files` lying plain, with `key`.
    std::function<fileutil::FileResult(const QStringList& files, const crypto::SecretText& key)> encrypt;
    // Asks endedAtOnceQuestion() naming the entry: true to encrypt now.
    std::function<bool()> confirmEndedAtOnce;
    // Asks editorCopiesQuestion(copies): true to wipe them.
    std::function<bool(const QStringList& copies)> confirmWipeEditorCopies;
    // True once the program is ending: a start under way is given up. Unset: never.
    std::function<bool()> stopping;
    // Runs the program's start (which may wait seconds for systemd-run) off the user-interface
    // thread and returns its outcome once it is there. Unset: on this thread.
    std::function<StartOutcome(std::function<StartOutcome()> start)> offThread;
};

struct LaunchOptions {
    QString journalFolder; // empty: journalFolder()
    StartOptions start;
    int endedAtOnceMs = kEndedAtOnceMs;
    int holderLookMs = 1000; // at most 2000: the re-lock starts within 2 s of the end
};

struct LaunchEnd {
    enum Kind {
        Relocked,      // the files were encrypted again (see `status` for a failed file)
        NothingToLock, // no files, or no key opened them: they stay as they are
        LeftPlain,     // the user chose not to encrypt after an end at once
        StartFailed,   // "Unable to run application": the program or its parameters were
                       // refused before any file was decrypted, or the start failed after and
                       // what it decrypted was encrypted again (`relock` says when that failed)
        NotStarted,    // the decryption said not to start (no key for the plain files)
        Abandoned      // the program is ending: it was not started, and what this start
                       // decrypted was encrypted again (`status` says when that failed; the
                       // journal then names the files)
    } kind = Relocked;
    fileutil::FileResult status; // the start's, the journal's or the encryption's failure
    // After a failed start: whether encrypting again what it decrypted failed, and what it
    // encrypted again.
    fileutil::FileResult relock;
    QStringList relocked;
    // The entry's files that lie plain at the end.
    QStringList leftPlain;
    QStringList wiped; // editors' copies and thumbnails wiped
    QList<fileutil::FileResult> wipeFailures;
};

class Launch : public QObject {
    Q_OBJECT

public:
    Launch(const LaunchEntry& entry, const LaunchHooks& hooks, LaunchGate& gate,
           const LaunchOptions& options = {}, QObject* parent = nullptr);
    ~Launch() override;

    // Writes the journal, decrypts and starts the program: at once when the gate is free,
    // else once the step in hand is done. Ends in started() or in finished(StartFailed),
    // which may both come before start() returns.
    void start();

    [[nodiscard]] const LaunchEntry& entry() const { return entry_; }
    // From start() until finished(): the entry is `Running`.
    [[nodiscard]] bool isRunning() const { return running_; }

signals:
    // The program runs.
    void started();
    // The program and all it started have ended: the re-lock is under way from here until
    // finished(), though it may wait for a holder or its turn.
    void programEnded();
    // The program has ended but a process still holds a file open; `text` is for the
    // information line (waitingForHoldersText). Repeated at each look.
    void waiting(const QString& text);
    // Once, at the end of the launch, whatever the outcome. Delete the launch with
    // deleteLater(), not inside this signal.
    void finished(const secured::LaunchEnd& end);

private:
    void startStep();
    void onEnded();
    void relockStep();
    void waitForHolders();
    void finish(LaunchEnd::Kind kind, fileutil::FileResult status = {});
    [[nodiscard]] bool stopping() const { return hooks_.stopping && hooks_.stopping(); }
    // Encrypts again what this start decrypted, with the key that opened it, and ends.
    void abandonStart();
    // Removes the journal once no file of the entry lies plain; else writes in it why they do.
    void settleJournal(JournalRecord::State why = JournalRecord::State::Running);
    [[nodiscard]] JournalRecord journalRecord() const;

    LaunchEntry entry_;
    LaunchHooks hooks_;
    LaunchGate& gate_;
    LaunchOptions options_;
    crypto::SecretText key_;
    QStringList decryptedHere_;
    pid_t helperPid_ = -1;
    quint64 helperStarted_ = 0;
    pid_t programPid_ = -1;
    ProgramWatch* watch_ = nullptr;
    HolderWait* holders_ = nullptr;
    QElapsedTimer clock_;
    qint64 ranMs_ = 0;
    bool running_ = false;
    bool askedEndedAtOnce_ = false;
    LaunchEnd end_;
};

} // namespace mv::secured
