#include "crypto/EncDecBatch.h"

#include "crypto/FileCrypt.h"
#include "crypto/FolderWalk.h"
#include "crypto/KeyBytes.h"
#include "crypto/KeyState.h"
#include "desktop/PlainTraces.h"
#include "fileio/UniqueFd.h"
#include "fileutil/FileResult.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace mv::crypto {

namespace {

// decryptOne's outcome when the file is encrypted and none of the keys opens it: the file
// is untouched, and another key may still open it.
bool noKeyOpens(const CryptOutcome& out)
{
    return out.kind == CryptOutcome::NoKeyFits;
}

} // namespace

class EncDecBatch::Run {
public:
    explicit Run(EncDecBatch& batch) : batch_(batch), job_(batch.job_), callbacks_(batch.callbacks_) {}

    EncDecResult go()
    {
        if (job_.encrypt && job_.key.isEmpty()) {
            result_.failed.append(
                {job_.scope.folder,
                 QCoreApplication::translate("mv::crypto", "no key was given; nothing was encrypted")});
            return result_;
        }
        const EncDecPlan plan = planEncDec(job_.scope, [this] { return stopRequested(); });
        result_.notes = plan.notes;
        result_.failed = plan.failures;
        result_.filesTotal = int(plan.files.size());
        progress_.filesTotal = result_.filesTotal;
        progress_.bytesTotal = plan.totalBytes;
        if (plan.stopped || stopRequested()) {
            result_.cancelled = true;
            return result_;
        }
        report(true);
        if (!plan.leftovers.isEmpty() && callbacks_.askWipeLeftovers(plan.leftovers))
            wipeLeftovers(plan.leftovers);
        for (const PlannedFile& file : plan.files) {
            if (stopRequested()) {
                result_.cancelled = true;
                break;
            }
            progress_.file = file.path;
            report(false);
            const quint64 before = progress_.bytesDone;
            handle(file);
            if (result_.keyCancelled || result_.cancelled)
                break;
            ++progress_.filesDone;
            progress_.bytesDone = before + file.size;
        }
        progress_.file.clear();
        report(true);
        return result_;
    }

private:
    bool stopRequested() const { return batch_.cancelled_.load(); }

    void report(bool force)
    {
        if (!force && clock_.isValid() && clock_.elapsed() < job_.progressIntervalMs)
            return;
        clock_.start();
        callbacks_.progress(progress_);
    }

    void wipeLeftovers(const QStringList& leftovers)
    {
        for (const QString& path : leftovers) {
            const fileutil::FileResult wiped = desktop::wipeWithTraces(path);
            if (wiped.ok)
                ++result_.leftoversWiped;
            else
                result_.notes.append(
                    {path, QCoreApplication::translate(
                               "mv::crypto", "left over from an interrupted run; could not be wiped: %1")
                               .arg(fileutil::resultText(wiped))});
        }
    }

    void handle(const PlannedFile& file)
    {
        if (!stillReadable(file.path))
            return;
        const quint64 base = progress_.bytesDone;
        const CryptProgress progress = [this, base, size = file.size](quint64 done, quint64) {
            progress_.bytesDone = base + std::min(done, size);
            report(false);
            return true; // the file in hand is always finished
        };
        if (job_.encrypt)
            encrypt(file.path, progress);
        else
            decrypt(file.path, progress);
    }

    // A file that went away or was closed to us since the listing is passed over with a
    // note; other kinds of trouble are encryptOne's and decryptOne's to name.
    bool stillReadable(const QString& path)
    {
        const QByteArray native = QFile::encodeName(path);
        struct stat st {};
        int error = 0;
        if (::lstat(native.constData(), &st) != 0) {
            error = errno;
        } else if (S_ISREG(st.st_mode)) {
            fileio::UniqueFd fd(
                ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
            if (!fd.valid() && (errno == EACCES || errno == EPERM || errno == ENOENT))
                error = errno;
        }
        if (error == 0)
            return true;
        result_.notes.append(
            {path, error == ENOENT
                       ? QCoreApplication::translate(
                             "mv::crypto", "no longer there; it went away after the folder was listed")
                       : QCoreApplication::translate("mv::crypto", "can no longer be read: %1")
                             .arg(QString::fromStdString(fileio::errorText(error)))});
        return false;
    }

    // Runs `work` under the run's consent to replacing other files; a Cancel ends the run.
    template <typename Work>
    CryptOutcome withConsent(const QString& path, const Work& work)
    {
        CryptOutcome out = crypto::withConsent(path, {}, consent_, callbacks_, work);
        result_.cancelled = result_.cancelled || consent_.cancelled;
        return out;
    }

    void encrypt(const QString& path, const CryptProgress& progress)
    {
        KeyBytes key({job_.key});
        record(path, withConsent(path, [&](const CryptOptions& options) {
                   return encryptOne(path, key.list().constFirst(), progress, options);
               }));
    }

    void decrypt(const QString& path, const CryptProgress& progress)
    {
        CryptOutcome out;
        const KeyTrial trial = [&](const std::vector<SecretText>& keys) {
            KeyBytes list(keys);
            out = withConsent(path, [&](const CryptOptions& options) {
                return decryptOne(path, list.list(), progress, options);
            });
            if (out.kind == CryptOutcome::Done)
                return KeyTry {KeyTry::Opened, out.keyIndex};
            return KeyTry {noKeyOpens(out) ? KeyTry::NoneFits : KeyTry::Settled, -1};
        };
        KeyState& keys = job_.keys ? *job_.keys : *batch_.ownKeys_;
        if (searchKey(path, keys, callbacks_, trial).kind == KeySearchResult::Cancelled) {
            result_.keyCancelled = true;
            return;
        }
        record(path, out);
    }

    void record(const QString& path, const CryptOutcome& out)
    {
        switch (out.kind) {
        case CryptOutcome::Done:
            ++result_.done;
            for (const fileutil::FileResult& trace : out.tracesLeft)
                result_.notes.append(
                    {path, QCoreApplication::translate("mv::crypto",
                                                       "a thumbnail of the plain file could not be wiped: %1")
                               .arg(fileutil::resultText(trace))});
            break;
        case CryptOutcome::PassedOver: ++result_.passedOver; break;
        case CryptOutcome::TargetExists:
            if (!result_.cancelled)
                result_.notes.append({path, fileutil::reasonText(out.status)});
            break;
        case CryptOutcome::InUse: result_.notes.append({path, fileutil::reasonText(out.status)}); break;
        case CryptOutcome::NoKeyFits:
        case CryptOutcome::Failed: result_.failed.append({path, fileutil::reasonText(out.status)}); break;
        }
    }

    EncDecBatch& batch_;
    const EncDecJob& job_;
    EncDecCallbacks& callbacks_;
    EncDecResult result_;
    EncDecProgress progress_;
    QElapsedTimer clock_;
    ReplaceConsent consent_;
};

EncDecBatch::EncDecBatch(EncDecJob job, EncDecCallbacks& callbacks)
    : job_(std::move(job)), callbacks_(callbacks),
      ownKeys_(job_.keys ? nullptr : std::make_unique<KeyState>())
{
}

EncDecBatch::~EncDecBatch() = default;

EncDecResult EncDecBatch::run()
{
    return Run(*this).go();
}

} // namespace mv::crypto
