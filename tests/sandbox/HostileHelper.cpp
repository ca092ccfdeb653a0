// A test build of the decoder helper: the real decoders, and one more "format" that is no
// picture at all but an attack on the helper. A file that begins "MVTEST-HOSTILE " and the
// name of an attack makes the decoder try it; "forge " and the name of a lie makes it answer
// with a reply it forged, as a taken-over decoder could, instead of the helper's own. With
// MVTEST_WITHHOLD=all in its environment it also plays a kernel that refuses every protection. The shipped
// helper (apps/mvdecode) has no such thing; this one is built for the tests only and never installed.
#include "sandbox/Channel.h"
#include "sandbox/MemoryFile.h"
#include "sandbox/Wire.h"
#include "sandbox/WireText.h"
#include "sandbox/helper/HelperMain.h"
#include "sandbox/helper/JobDecoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using mv::imaging::Picture;

constexpr char kPrefix[] = "MVTEST-HOSTILE ";

Picture refused(const char* what)
{
    return Picture::failure(
        QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))));
}

// Sends a forged answer in the helper's stead: a picture said to be 8 x 8 whose pixel file
// holds a frame table at 0, a colour table at 128 and pixels at 256, lying the way named. The
// helper then ends, having had its say.
[[noreturn]] void forge(QByteArrayView lie)
{
    namespace wire = mv::sandbox::wire;
    wire::Reply header;
    header.kind = wire::ReplyKind::Picture;
    header.width = 8;
    header.height = 8;
    header.colorDepth = 24;
    header.frameCount = 1;
    wire::Frame frames[2];
    frames[0].pixelOffset = 256;
    frames[0].colorOffset = 128;
    frames[0].width = 8;
    frames[0].height = 8;
    frames[0].bytesPerLine = 32;
    frames[0].format = QImage::Format_RGB32;
    bool writable = false;
    if (lie == "no-colours" || lie == "one-colour") {
        // Indexes up to 252 over a table of none or one.
        frames[0].format = QImage::Format_Indexed8;
        frames[0].bytesPerLine = 8;
        frames[0].colorCount = lie == "one-colour" ? 1 : 0;
    } else if (lie == "unsealed") {
        writable = true; // a plain picture's pixels the helper could change while they are shown
    } else if (lie == "overlap") {
        header.frameCount = 2;
        frames[1] = frames[0]; // the same pixels twice
    } else if (lie == "size") {
        header.width = 9;
    }
    mv::fileio::UniqueFd pixels = mv::sandbox::newMemoryFile("forged", 1024);
    std::uint8_t body[1024] = {};
    std::memcpy(body, frames, sizeof frames);
    const QRgb red = qRgb(255, 0, 0);
    std::memcpy(body + 128, &red, sizeof red);
    for (int i = 0; i < 256; ++i)
        body[256 + i] = std::uint8_t(i * 4);
    const std::vector<char> message = mv::sandbox::messageOf(header, {});
    if (::pwrite(pixels.get(), body, sizeof body, 0) == ssize_t(sizeof body) &&
        mv::sandbox::sealMemoryFile(pixels.get(), writable))
        (void)mv::sandbox::sendMessage(mv::sandbox::wire::kChannelFd, message.data(), message.size(),
                                       pixels.get());
    ::_exit(0);
}

Picture attack(QByteArrayView name)
{
    if (name.startsWith("forge "))
        forge(name.sliced(6));
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
    if (name == "loop") {
        volatile unsigned long spin = 0;
        for (;;)
            spin = spin + 1;
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
    return mv::sandbox::decodeJob(job);
}

} // namespace

int main(int argc, char** argv)
{
    const bool refuseAll = qEnvironmentVariable("MVTEST_WITHHOLD") == QLatin1String("all");
    return mv::sandbox::runHelper(argc, argv, {decode, mv::sandbox::probeJob}, refuseAll ? ~0u : 0u);
}
