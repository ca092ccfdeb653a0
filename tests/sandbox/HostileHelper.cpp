// A test build of the decoder helper: the real decoders, and one more "format" that is no
// picture at all but an attack on the helper. A file that begins "MVTEST-HOSTILE " and the
// name of an attack makes the decoder try it. It also keeps a copy of the last decrypted
// picture it decoded, as a taken-over decoder would, to hand out as a later picture's pixels
// ("replay"). With MVTEST_WITHHOLD=all in its environment it also plays a kernel that refuses
// every protection. The shipped helper (apps/mvdecode) has no
// such thing; this one is built for the tests only and never installed.
#include "sandbox/helper/HelperMain.h"
#include "sandbox/helper/JobDecoding.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

using mv::imaging::Picture;

constexpr char kPrefix[] = "MVTEST-HOSTILE ";

// The last decrypted picture, its pixels copied out of reach of the helper's own zeroing.
Picture gKept;

Picture refused(const char* what)
{
    return Picture::failure(
        QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))));
}

Picture attack(QByteArrayView name)
{
    if (name == "open") {
        const int fd = ::open("/etc/passwd", O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return refused("open /etc/passwd");
        char first[64] = {};
        const ssize_t n = ::read(fd, first, sizeof first - 1);
        return Picture::failure(QStringLiteral("read /etc/passwd: %1")
                                    .arg(QString::fromLatin1(first, int(std::max<ssize_t>(n, 0)))));
    }
    if (name == "socket") {
        if (::socket(AF_INET, SOCK_STREAM, 0) < 0)
            return refused("socket");
        return Picture::failure(QStringLiteral("a socket was made"));
    }
    if (name == "exec") {
        ::execl("/bin/sh", "sh", "-c", "exit 0", static_cast<char*>(nullptr));
        return refused("exec /bin/sh");
    }
    if (name == "memory") {
        // As the decoders' own allocations (and Qt's) fail: null, then std::bad_alloc.
        const std::size_t bytes = std::size_t(8) << 30;
        void* p = std::malloc(bytes);
        if (!p)
            throw std::bad_alloc();
        std::memset(p, 1, bytes);
        std::free(p);
        return Picture::failure(QStringLiteral("8 GiB were allocated"));
    }
    if (name == "loop" || name == "stubborn") {
        if (name == "stubborn")
            ::signal(SIGXCPU, SIG_IGN); // deaf to the soft processor-time limit
        volatile unsigned long spin = 0;
        for (;;)
            spin = spin + 1;
    }
    if (name == "replay") {
        if (gKept.image.isNull())
            return Picture::failure(QStringLiteral("nothing was kept"));
        return gKept;
    }
    if (name == "pid")
        return Picture::failure(QStringLiteral("pid %1").arg(::getpid()));
    if (name == "bigfile") {
        // A memory file larger than any picture's pixels: memory no address-space cap counts.
        const int fd = ::memfd_create("hoard", MFD_CLOEXEC);
        if (fd < 0 || ::ftruncate(fd, off_t(8) << 30) != 0)
            return refused("a memory file of 8 GiB");
        ::close(fd);
        return Picture::failure(QStringLiteral("a memory file of 8 GiB was made"));
    }
    if (name == "memfiles") {
        std::vector<int> held;
        Picture answer = Picture::failure(QStringLiteral("1000 memory files were made"));
        while (held.size() < 1000) {
            const int fd = ::memfd_create("hoard", MFD_CLOEXEC);
            if (fd < 0) {
                answer = refused("memory file");
                break;
            }
            held.push_back(fd);
        }
        for (const int fd : held)
            ::close(fd);
        return answer;
    }
    if (name == "wild") {
        *reinterpret_cast<volatile int*>(std::uintptr_t(0x10)) = 42;
        return Picture::failure(QStringLiteral("a wild write went through"));
    }
    return Picture::failure(QStringLiteral("no such attack"));
}

Picture decode(const mv::sandbox::DecodeJob& job)
{
    if (job.bytes.startsWith(kPrefix))
        return attack(job.bytes.sliced(sizeof kPrefix - 1).trimmed());
    Picture picture = mv::sandbox::decodeJob(job);
    if (job.sensitive && picture.ok()) {
        gKept = picture;
        gKept.image = picture.image.copy();
        gKept.reduced = QImage();
        gKept.animation.reset();
    }
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    const bool refuseAll = qEnvironmentVariable("MVTEST_WITHHOLD") == QLatin1String("all");
    return mv::sandbox::runHelper(argc, argv, {decode, mv::sandbox::probeJob}, refuseAll ? ~0u : 0u);
}
