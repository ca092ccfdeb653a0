// The list jobs of the Secured Access List: `EncryptFileList` and `DecryptFileList` work on an
// explicit list of files (an entry's associated files), not on folders. Every file goes
// through encryptOne or decryptOne, so its source is wiped only once the replacement is in
// place, and a different file under the target name is replaced only with the user's consent.
// They run on a worker and speak to the window only through ListJobCallbacks.
#pragma once

#include "crypto/EncDecBatch.h"
#include "crypto/KeySearch.h"
#include "crypto/ReplaceConsent.h"
#include "crypto/SecretText.h"
#include "fileutil/SafeReplace.h"

#include <QString>
#include <QStringList>

#include <atomic>

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::secured {

// Implemented by the status window; every call comes from the thread that runs the job.
class ListJobCallbacks : public crypto::KeyAsker, public crypto::ReplaceAsker {
public:
    // The file the job now works on (`EncStat` shows it).
    virtual void fileInHand(const QString& file) = 0;
    // Decryption: neither the file nor its encrypted copy is there. The job goes on.
    virtual void unableToOpen(const QString& file, const QString& reason) = 0;
};

struct ListJobResult {
    enum Kind {
        Finished,     // every file was handled or passed over
        Stopped,      // a file failed: `file` and `reason` say which and why; later files untouched
        KeyCancelled, // decryption: the key question was cancelled; `KeyCancelled` is set
        Cancelled,    // the user cancelled at the question whether to replace a file
        Interrupted,  // asked to stop (the program is ending): the file in hand was finished,
                      // later files untouched
    } kind = Finished;
    int done = 0;
    // Already in the wanted state: encryption, a file already encrypted or not there under
    // its plain name; decryption, a file already decrypted.
    int passedOver = 0;
    // Left as they were because the user would not have another file replaced.
    QStringList skipped;
    QString file;
    QString reason;
    // Decryption: the key that opened the last file decrypted; empty when none was.
    crypto::SecretText key;
    // Decryption: the plain names of the files this job decrypted, in order.
    QStringList decrypted;
};

// Test seams, for one job only; production code sets none.
struct ListJobOptions {
    fileutil::FaultInjector fault;
    // Read between two files: once it turns, the job ends as Interrupted. Never inside a
    // file, so the file in hand is finished or left as it was.
    const std::atomic<bool>* stop = nullptr;
};

// Encrypts every file of `JobFiles` (full paths joined by "|", a trailing "|" allowed) that
// exists under its plain name with `key`.
ListJobResult EncryptFileList(const QString& JobFiles, const crypto::SecretText& key,
                              ListJobCallbacks& callbacks, const ListJobOptions& options = {});

// The first file of `files` (plain names) still lying encrypted that `key` does not open, by
// the key check in its header (nothing is decrypted); empty when the key opens every one of
// them or none is encrypted. The files of an entry share one key: encrypting the plain ones
// with another would leave the entry with two.
QString fileKeyDoesNotOpen(const QStringList& files, const crypto::SecretText& key);

// Decrypts the encrypted copy of every file of `JobFiles` (plain paths) with the first usable
// key of `keys` that opens it, asking for one when none does. A file whose encrypted copy is
// missing while its plain file exists is already decrypted and passed over.
ListJobResult DecryptFileList(const QString& JobFiles, crypto::KeyState& keys, ListJobCallbacks& callbacks,
                              const ListJobOptions& options = {});

} // namespace mv::secured
