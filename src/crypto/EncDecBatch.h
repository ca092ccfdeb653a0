// The work of the "Encrypt" and "Decrypt" commands over the chosen files of the main window:
// run on a worker thread, speaking to the window only through EncDecCallbacks. Every file goes
// through encryptOne or decryptOne, so a source is wiped only once its replacement is in place.
#pragma once

#include "crypto/EncDecPlan.h"
#include "crypto/KeySearch.h"
#include "crypto/ReplaceConsent.h"
#include "crypto/SecretText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

namespace mv::crypto {

class KeyState;

struct EncDecProgress {
    QString file; // the file in hand (empty before the first and after the last)
    int filesDone = 0;
    int filesTotal = 0;
    quint64 bytesDone = 0;
    quint64 bytesTotal = 0;
};

// Implemented by the window. Every call comes from the thread that runs the batch.
class EncDecCallbacks : public KeyAsker, public ReplaceAsker {
public:
    // Temporary files left by an interrupted run hold private data: wipe them now?
    virtual bool askWipeLeftovers(const QStringList& files) = 0;
    // At most once per progress interval, and once more at the end.
    virtual void progress(const EncDecProgress& progress) = 0;
};

struct EncDecJob {
    bool encrypt = true; // `EncryptMode`
    SecretText key;      // encryption: the key typed in "Encrypt"
    // Decryption: the key cache, searched and added to; without one the run asks for every
    // key it needs and remembers them for itself.
    KeyState* keys = nullptr;
    EncDecScope scope;
    int progressIntervalMs = 250;
};

struct EncDecResult {
    int done = 0;
    int passedOver = 0; // already in the wanted state
    // Could not be encrypted or decrypted, with the reason; their data is whole.
    QList<FileNote> failed;
    // Passed over with a note: vanished or unreadable since the listing, skipped rather than
    // replace another file, in use by another run, folders not read, left-over temporary
    // files whose wipe failed, thumbnails of encrypted files that could not be wiped.
    QList<FileNote> notes;
    int leftoversWiped = 0;
    bool cancelled = false;    // by the user, between two files
    bool keyCancelled = false; // the key question was cancelled: the run ended there
    int filesTotal = 0;
};

class EncDecBatch {
public:
    EncDecBatch(EncDecJob job, EncDecCallbacks& callbacks);
    ~EncDecBatch();

    // Runs the whole batch on the calling thread (a worker) and returns its result.
    EncDecResult run();

    // Asks the run to stop after the file in hand. Safe from any thread.
    void cancel() { cancelled_ = true; }

private:
    class Run;

    EncDecJob job_;
    EncDecCallbacks& callbacks_;
    std::atomic<bool> cancelled_ = false;
    std::unique_ptr<KeyState> ownKeys_;
};

} // namespace mv::crypto
