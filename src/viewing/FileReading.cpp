#include "viewing/FileReading.h"

#include "imaging/base/Messages.h"

#include <mvengine/engine.h>

#include <QFile>
#include <QFileInfo>

namespace mv::viewing {

QByteArray FileReading::head(const QString& path, qint64 count, fileio::Status* status) const
{
    *status = fileio::Status::success();
    const auto fail = [status](const QString& why) {
        *status = fileio::Status::failure("read file", why.toStdString());
        return QByteArray();
    };
    // A pipe put in the file's place since it was listed would block the read.
    if (!QFileInfo(path).isFile())
        return fail(imaging::reason(imaging::Reason::NotAFile));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(imaging::reason(imaging::Reason::CannotOpen).arg(file.errorString()));
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    qint64 done = 0;
    while (done < count) {
        const qint64 n = file.read(bytes.data() + done, count - done);
        if (n < 0)
            return fail(imaging::reason(imaging::Reason::CannotRead).arg(file.errorString()));
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(qsizetype(done));
    return bytes;
}

imaging::FileBytes FileReading::whole(const QString& path, qint64 maxBytes, fileio::Status* status) const
{
    return imaging::FileBytes::read(path, maxBytes, status);
}

crypto::MemoryDecrypt FileReading::decrypt(const QString& path, const std::vector<crypto::SecretText>& keys,
                                           qint64 maxBytes) const
{
    return crypto::decryptToMemory(path, keys, maxBytes);
}

const FileReading& FileReading::real()
{
    static const FileReading reading;
    return reading;
}

bool beginsWithSignature(QByteArrayView bytes)
{
    return bytes.size() >= MV_SIGNATURE_LEN && bytes.first(MV_SIGNATURE_LEN) == QByteArrayView(MV_SIGNATURE);
}

bool looksLikeJpeg(QByteArrayView bytes)
{
    return bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF;
}

} // namespace mv::viewing
