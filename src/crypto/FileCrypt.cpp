#include "crypto/FileCrypt.h"

#include "crypto/EncryptedNames.h"
#include "crypto/Signature.h"
#include "desktop/PlainTraces.h"
#include "fileio/Status.h"
#include "fileutil/SafeReplace.h"

#include <mvengine/engine.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace mv::crypto {

using fileutil::ProduceResult;
using fileutil::ReplaceOptions;
using fileutil::ReplaceOutcome;
using fileutil::ReplaceStep;

namespace {

int forwardProgress(uint64_t done, uint64_t total, void* user)
{
    const auto* progress = static_cast<const CryptProgress*>(user);
    return (*progress)(done, total) ? 0 : 1;
}

// The engine's own words for a result other than 1, as a producer result.
ProduceResult fromEngine(int32_t result, const QString& declinedReason)
{
    if (result == 1)
        return ProduceResult::written(result);
    if (result == 0)
        return ProduceResult::declined(result, declinedReason);
    return ProduceResult::failed(result, QString::fromUtf8(mv_engine_last_error()));
}

QString stepText(bool encrypting)
{
    return encrypting ? QCoreApplication::translate("mv::crypto", "encrypt")
                      : QCoreApplication::translate("mv::crypto", "decrypt");
}

// The outcome `kind`, for `reason` as the user reads it; the system's error number, where one
// caused it, stays with it.
CryptOutcome stopped(CryptOutcome::Kind kind, bool encrypting, const QString& reason, int error = 0)
{
    CryptOutcome out;
    out.kind = kind;
    out.status = fileutil::failureOf(stepText(encrypting), reason, error);
    return out;
}

CryptOutcome fromReplace(const ReplaceOutcome& r, const QString& target, bool encrypting)
{
    CryptOutcome out;
    const QString why = fileutil::resultText(r.status);
    const int error = r.status.error;
    switch (r.kind) {
    case ReplaceOutcome::Replaced: out.kind = CryptOutcome::Done; break;
    case ReplaceOutcome::Declined:
        out = stopped(CryptOutcome::PassedOver, encrypting, fileutil::reasonText(r.status), error);
        break;
    case ReplaceOutcome::TargetExists:
        out = stopped(CryptOutcome::TargetExists, encrypting,
                      QCoreApplication::translate("mv::crypto", "%1 exists; it is left as it is")
                          .arg(QFileInfo(target).fileName()),
                      error);
        break;
    case ReplaceOutcome::InUse:
        out = stopped(CryptOutcome::InUse, encrypting,
                      QCoreApplication::translate("mv::crypto", "in use by another run"), error);
        break;
    case ReplaceOutcome::SourceChanged:
        out = stopped(CryptOutcome::Failed, encrypting,
                      (encrypting
                           ? QCoreApplication::translate("mv::crypto", "changed while being encrypted: %1")
                           : QCoreApplication::translate("mv::crypto", "changed while being decrypted: %1"))
                          .arg(why),
                      error);
        break;
    case ReplaceOutcome::Failed: {
        // The engine's own words say enough; other steps need their name to make sense.
        QString reason = r.step == ReplaceStep::Produce ? fileutil::reasonText(r.status) : why;
        if (r.step == ReplaceStep::Produce && !r.status.leftover.empty())
            reason += QCoreApplication::translate("mv::crypto", " (left behind: %1)")
                          .arg(QString::fromStdString(r.status.leftover));
        out = stopped(CryptOutcome::Failed, encrypting, reason, error);
        break;
    }
    }
    out.target = target;
    if (r.targetInPlace && out.kind == CryptOutcome::Failed)
        out.status.reason +=
            QCoreApplication::translate("mv::crypto", " (%1 is complete; the old file may remain)")
                .arg(target)
                .toStdString();
    return out;
}

// A missing or unreadable source is told apart before the engine is asked, so that the
// reason names the file's real problem: a folder that cannot be entered is "Permission
// denied", not "no such file".
bool readableFile(const QString& path, bool encrypting, CryptOutcome& out)
{
    struct stat st {};
    QString reason;
    int error = 0;
    if (::lstat(QFile::encodeName(path).constData(), &st) < 0) {
        error = errno;
        reason = error == ENOENT ? QCoreApplication::translate("mv::crypto", "no such file")
                                 : QString::fromStdString(fileio::errorText(error));
    } else if (S_ISLNK(st.st_mode)) {
        reason = QCoreApplication::translate("mv::crypto", "is a symbolic link; links are not followed");
    } else if (S_ISDIR(st.st_mode)) {
        reason = QCoreApplication::translate("mv::crypto", "is a folder");
    } else if (!S_ISREG(st.st_mode)) {
        reason = QCoreApplication::translate("mv::crypto", "is not a regular file");
    } else {
        return true;
    }
    out = stopped(CryptOutcome::Failed, encrypting, reason, error);
    return false;
}

} // namespace

CryptOutcome encryptOne(const QString& path, const QByteArray& key, const CryptProgress& progress,
                        const CryptOptions& options)
{
    CryptOutcome out;
    if (!readableFile(path, true, out))
        return out;
    const QString target = EncryptedName(path);
    // An encrypted file is passed over before anything is created beside it: on a read-only
    // file system the temporary file would fail first and hide the real answer.
    if (BeginsWithSignature(path)) {
        out = stopped(CryptOutcome::PassedOver, true,
                      QCoreApplication::translate("mv::crypto", "already encrypted"));
        out.target = target;
        return out;
    }
    auto produce = [&](int sourceFd, int outputFd) {
        const int32_t r =
            mv_encrypt_fd(sourceFd, outputFd, key.constData(), size_t(key.size()),
                          progress ? forwardProgress : nullptr, const_cast<CryptProgress*>(&progress));
        return fromEngine(r, QCoreApplication::translate("mv::crypto", "already encrypted"));
    };
    ReplaceOptions replace;
    replace.replaceExisting = options.replaceExisting;
    replace.fault = options.fault;
    const QString plain = QFileInfo(path).absoluteFilePath();
    out = fromReplace(fileutil::replaceFile(path, target, produce, replace), target, true);
    // A thumbnail outliving the plain file would show what the encrypted one hides.
    if (out.kind == CryptOutcome::Done)
        out.tracesLeft = desktop::forgetPlainTraces({plain}).failures;
    return out;
}

CryptOutcome decryptOne(const QString& path, const QList<QByteArray>& keys, const CryptProgress& progress,
                        const CryptOptions& options)
{
    CryptOutcome out;
    if (!readableFile(path, false, out))
        return out;
    if (!BeginsWithSignature(path)) {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            return stopped(
                CryptOutcome::Failed, false,
                QCoreApplication::translate("mv::crypto", "cannot read: %1").arg(probe.errorString()));
        return stopped(CryptOutcome::PassedOver, false,
                       QCoreApplication::translate("mv::crypto", "not encrypted"));
    }
    const QString target = PlainName(path);
    int opened = -1;
    bool noneFits = false;
    auto produce = [&](int sourceFd, int outputFd) {
        for (int i = 0; i < keys.size(); ++i) {
            // A key that does not open the file is refused before anything is written.
            const int32_t r =
                mv_decrypt_fd(sourceFd, outputFd, keys[i].constData(), size_t(keys[i].size()),
                              progress ? forwardProgress : nullptr, const_cast<CryptProgress*>(&progress));
            if (r != 0) {
                opened = r == 1 ? i : -1;
                return fromEngine(r, {});
            }
        }
        noneFits = true;
        return ProduceResult::failed(
            0, keys.size() == 1
                   ? QCoreApplication::translate("mv::crypto", "the key does not open this file")
                   : QCoreApplication::translate("mv::crypto", "none of the keys opens this file"));
    };
    ReplaceOptions replace;
    replace.replaceExisting = options.replaceExisting;
    replace.privateOutput = true;
    replace.fault = options.fault;
    out = fromReplace(fileutil::replaceFile(path, target, produce, replace), target, false);
    out.keyIndex = opened;
    if (noneFits && out.kind == CryptOutcome::Failed)
        out.kind = CryptOutcome::NoKeyFits;
    return out;
}

} // namespace mv::crypto
