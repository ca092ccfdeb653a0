#include "crypto/Signature.h"

#include "fileio/UniqueFd.h"

#include <mvengine/engine.h>

#include <QFile>

#include <cerrno>
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
    size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = ::read(fd.get(), head + got, sizeof head - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += size_t(n);
    }
    return std::memcmp(head, MV_SIGNATURE, MV_SIGNATURE_LEN) == 0;
}

} // namespace mv::crypto
