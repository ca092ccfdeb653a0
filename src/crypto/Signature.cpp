#include "crypto/Signature.h"

#include "fileio/FdIo.h"
#include "fileio/UniqueFd.h"

#include <mvengine/engine.h>

#include <QFile>

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv::crypto {

bool BeginsWithSignature(const QString& path)
{
    // O_NONBLOCK: opening a fifo must not wait for a writer.
    fileio::UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) < 0 || !S_ISREG(st.st_mode))
        return false;
    char head[MV_SIGNATURE_LEN];
    if (fileio::readFull(fd.get(), head, sizeof head) != ssize_t(sizeof head))
        return false;
    return std::memcmp(head, MV_SIGNATURE, MV_SIGNATURE_LEN) == 0;
}

} // namespace mv::crypto
