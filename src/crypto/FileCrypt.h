// Encrypting or decrypting one file in place of its source: the engine reads the source
// through the one descriptor the replacement holds and writes a new file beside the target,
// which is put in place safely before the source is wiped. The batch, the list jobs and the
// command-line tool all go through here.
#pragma once

#include "fileutil/FileResult.h"
#include "fileutil/SafeReplace.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace mv::crypto {

struct [[nodiscard]] CryptOutcome {
    enum Kind {
        Done,
        PassedOver,   // already in the wanted state (or, decrypting, not encrypted at all)
        TargetExists, // another file holds the target name; nothing was touched
        InUse,        // another run works on this file
        NoKeyFits,    // decrypting: the file is encrypted and none of the keys opens it; untouched
        Failed
    } kind = Failed;
    QString target; // the target name (the new file when Done)
    // Why it was passed over or failed: step "encrypt" or "decrypt", the system's error number
    // where one caused it, and the reason in plain words, as a window or mvcrypt shows it.
    fileutil::FileResult status;
    int keyIndex = -1; // decryption: the key that opened the file
    // Encryption: thumbnails of the plain file that could not be wiped (each names its file).
    QList<fileutil::FileResult> tracesLeft;
};

struct CryptOptions {
    // The user agreed that an existing, different file under the target name is replaced.
    bool replaceExisting = false;
    // Test seam, for this call only: fails a step of the replacement (see ReplaceOptions).
    fileutil::FaultInjector fault;
};

// Bytes done and total; return false to cancel.
using CryptProgress = std::function<bool(quint64 done, quint64 total)>;

// Encrypts path into its encrypted name. A file that already carries the signature is passed
// over untouched. Once the plain file is gone, so are the desktop's thumbnails of it.
CryptOutcome encryptOne(const QString& path, const QByteArray& key, const CryptProgress& progress = {},
                        const CryptOptions& options = {});

// Decrypts path into its plain name with the first key that opens it. A file without the
// signature is passed over; when no key opens it, it fails with the source untouched.
CryptOutcome decryptOne(const QString& path, const QList<QByteArray>& keys,
                        const CryptProgress& progress = {}, const CryptOptions& options = {});

} // namespace mv::crypto
