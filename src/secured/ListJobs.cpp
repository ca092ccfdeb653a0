#include "secured/ListJobs.h"

#include "crypto/EncryptedNames.h"
#include "crypto/FileCrypt.h"
#include "crypto/KeyBytes.h"
#include "crypto/KeyState.h"
#include "crypto/MemoryDecrypt.h"
#include "fileio/Status.h"
#include "secured/FileListText.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>

#include <sys/stat.h>

namespace mv::secured {

using crypto::CryptOptions;
using crypto::CryptOutcome;
using crypto::SecretText;

namespace {

// Hidden files count: a name is there when the file system knows it, whatever it is.
int lookUp(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? 0 : errno;
}

class Job {
public:
    Job(ListJobCallbacks& callbacks, const ListJobOptions& options) : callbacks_(callbacks), options_(options)
    {
    }

    ListJobResult encrypt(const QString& JobFiles, const SecretText& key)
    {
        encrypting_ = true;
        const crypto::KeyBytes bytes({key});
        for (const QString& file : splitFileList(JobFiles)) {
            if (interrupted())
                break;
            callbacks_.fileInHand(file);
            if (const int error = lookUp(file); error == ENOENT || error == ENOTDIR) {
                ++result_.passedOver; // nothing to encrypt under this name
                continue;
            } else if (error != 0) {
                // It may be there, plain, and would stay so: the user must hear of it.
                stop(file, QString::fromStdString(fileio::errorText(error)));
                break;
            }
            const CryptOutcome out = withConsent(file, [&](const CryptOptions& o) {
                return crypto::encryptOne(file, bytes.list().constFirst(), {}, o);
            });
            if (!settle(file, out))
                break;
        }
        return std::move(result_);
    }

    ListJobResult decrypt(const QString& JobFiles, crypto::KeyState& keys)
    {
        for (const QString& file : splitFileList(JobFiles)) {
            if (interrupted())
                break;
            callbacks_.fileInHand(file);
            const QString encrypted = crypto::EncryptedName(file);
            if (const int error = lookUp(encrypted); error != 0) {
                if (lookUp(file) == 0) {
                    ++result_.passedOver; // decrypted already, by an earlier start or by hand
                    continue;
                }
                callbacks_.unableToOpen(file, QString::fromStdString(fileio::errorText(error)));
                continue;
            }
            CryptOutcome out;
            const crypto::KeyTrial trial = [&](const std::vector<SecretText>& candidates) {
                const crypto::KeyBytes bytes(candidates);
                out = withConsent(encrypted, [&](const CryptOptions& o) {
                    return crypto::decryptOne(encrypted, bytes.list(), {}, o);
                });
                if (out.kind == CryptOutcome::Done)
                    return crypto::KeyTry {crypto::KeyTry::Opened, out.keyIndex};
                return crypto::KeyTry {out.kind == CryptOutcome::NoKeyFits ? crypto::KeyTry::NoneFits
                                                                           : crypto::KeyTry::Settled,
                                       -1};
            };
            crypto::KeySearchResult found = crypto::searchKey(encrypted, keys, callbacks_, trial);
            if (found.kind == crypto::KeySearchResult::Cancelled) {
                result_.kind = ListJobResult::KeyCancelled;
                break;
            }
            if (found.kind == crypto::KeySearchResult::Opened)
                result_.key = std::move(found.key);
            const bool goOn = settle(encrypted, out);
            if (out.kind == CryptOutcome::Done)
                result_.decrypted << file;
            if (!goOn)
                break;
        }
        return std::move(result_);
    }

private:
    bool interrupted()
    {
        if (!options_.stop || !options_.stop->load())
            return false;
        result_.kind = ListJobResult::Interrupted;
        return true;
    }

    // Runs `work` under the job's consent to replacing other files; a Cancel ends the job.
    template <typename Work>
    CryptOutcome withConsent(const QString& file, const Work& work)
    {
        CryptOptions o;
        o.fault = options_.fault;
        CryptOutcome out = crypto::withConsent(file, o, consent_, callbacks_, work);
        if (consent_.cancelled)
            result_.kind = ListJobResult::Cancelled;
        return out;
    }

    // Counts the outcome; false when the job stops here.
    bool settle(const QString& file, const CryptOutcome& out)
    {
        switch (out.kind) {
        case CryptOutcome::Done: ++result_.done; return true;
        case CryptOutcome::TargetExists:
            if (result_.kind == ListJobResult::Cancelled)
                return false;
            result_.skipped << file;
            return true;
        case CryptOutcome::PassedOver:
            // Encrypting, the file carries the signature already. Decrypting, a file under the
            // encrypted name that is not encrypted is no copy of the listed file: said, not
            // passed over in silence while the files after it stay locked.
            if (!encrypting_)
                break;
            ++result_.passedOver;
            return true;
        case CryptOutcome::InUse:
        case CryptOutcome::NoKeyFits:
        case CryptOutcome::Failed: break;
        }
        const QString reason = fileutil::reasonText(out.status);
        stop(file, reason.isEmpty() ? QCoreApplication::translate("mv::secured", "it could not be worked on")
                                    : reason);
        return false;
    }

    void stop(const QString& file, const QString& reason)
    {
        result_.kind = ListJobResult::Stopped;
        result_.file = file;
        result_.reason = reason;
    }

    ListJobCallbacks& callbacks_;
    const ListJobOptions& options_;
    ListJobResult result_;
    crypto::ReplaceConsent consent_;
    bool encrypting_ = false;
};

} // namespace

QString fileKeyDoesNotOpen(const QStringList& files, const SecretText& key)
{
    for (const QString& file : files) {
        QFile encrypted(crypto::EncryptedName(file));
        if (!encrypted.open(QIODevice::ReadOnly))
            continue;
        const QByteArray header = encrypted.read(crypto::kEncryptedHeaderBytes);
        // A damaged header or a file that is no encrypted file says nothing about the key.
        if (crypto::keyForHeader(header, {key}).kind == crypto::HeaderKeySearch::NoneFits)
            return file;
    }
    return {};
}

ListJobResult EncryptFileList(const QString& JobFiles, const SecretText& key, ListJobCallbacks& callbacks,
                              const ListJobOptions& options)
{
    if (key.isEmpty()) {
        ListJobResult r;
        r.kind = ListJobResult::Stopped;
        r.reason = QCoreApplication::translate("mv::secured", "no key was given; nothing was encrypted");
        return r;
    }
    return Job(callbacks, options).encrypt(JobFiles, key);
}

ListJobResult DecryptFileList(const QString& JobFiles, crypto::KeyState& keys, ListJobCallbacks& callbacks,
                              const ListJobOptions& options)
{
    return Job(callbacks, options).decrypt(JobFiles, keys);
}

} // namespace mv::secured
