// A test build of the decoder helper: the real decoders, and one more "format" that is no
// picture at all but an attack on the helper. A file that begins "MVTEST-HOSTILE " and the
// name of an attack (and its arguments) makes the decoder try it; "forge " and the name of a
// lie makes it answer with a reply it forged, as a taken-over decoder could, instead of the
// helper's own. It also keeps a copy of the last decrypted picture it decoded, as a taken-over
// decoder would, to hand out as a later picture's pixels ("replay"). In its environment,
// MVTEST_WITHHOLD=all plays a kernel that refuses every protection, MVTEST_WITHHOLD=all-but-filter
// one that refuses all but the system-call filter, and MVTEST_LINGERING_THREAD=1 leaves a thread
// of the warm-up running when the helper locks itself down, as a library's worker would. The
// shipped helper (apps/mvdecode) has no such thing; this one is built for the tests only and
// never installed.
#include "fileio/MemoryFile.h"
#include "sandbox/Channel.h"
#include "sandbox/Protections.h"
#include "sandbox/Wire.h"
#include "sandbox/WireText.h"
#include "sandbox/helper/HelperMain.h"
#include "sandbox/helper/JobDecoding.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/syscall.h>
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

// What a clone made runs: it ends at once, touching nothing it shares.
int endAtOnce(void*)
{
    ::syscall(SYS_exit, 0);
    return 0;
}

// Sends a forged answer in the helper's stead: a picture said to be 8 x 8 whose pixel file
// holds a frame table at 0 and pixels at 256, lying the way named: "no-colours", indexes up to
// 252 with no colour table; "unsealed", a plain picture's pixels the helper could change while
// they are shown. The helper then ends, having had its say.
[[noreturn]] void forge(QByteArrayView lie)
{
    namespace wire = mv::sandbox::wire;
    wire::Reply header;
    header.kind = wire::ReplyKind::Picture;
    header.width = 8;
    header.height = 8;
    header.colorDepth = 24;
    header.frameCount = 1;
    wire::Frame frame;
    frame.pixelOffset = 256;
    frame.width = 8;
    frame.height = 8;
    frame.bytesPerLine = lie == "no-colours" ? 8 : 32;
    frame.format = lie == "no-colours" ? QImage::Format_Indexed8 : QImage::Format_RGB32;
    mv::fileio::UniqueFd pixels = mv::fileio::newMemoryFile("forged", 1024);
    std::uint8_t body[1024] = {};
    std::memcpy(body, &frame, sizeof frame);
    for (int i = 0; i < 256; ++i)
        body[256 + i] = std::uint8_t(i * 4);
    const std::vector<char> message = mv::sandbox::messageOf(header, {});
    if (::pwrite(pixels.get(), body, sizeof body, 0) == ssize_t(sizeof body) &&
        mv::fileio::sealMemoryFile(pixels.get(), lie == "unsealed"))
        (void)mv::sandbox::sendMessage(mv::sandbox::wire::kChannelFd, message.data(), message.size(),
                                       pixels.get());
    ::_exit(0);
}

Picture attack(QByteArrayView line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArrayView name = space < 0 ? line : line.first(space);
    const QByteArray argument = space < 0 ? QByteArray() : line.sliced(space + 1).toByteArray();
    if (name == "forge")
        forge(argument);
    if (name == "list") {
        // "list <folder>": how many names opendir and readdir find in it.
        DIR* dir = ::opendir(argument.constData());
        if (!dir)
            return refused("opendir");
        int names = 0;
        while (const dirent* entry = ::readdir(dir))
            names += std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0;
        ::closedir(dir);
        return Picture::failure(QStringLiteral("listed %1").arg(names));
    }
    if (name == "open-with") {
        // "open-with <flags in hex> <path>"
        const qsizetype at = argument.indexOf(' ');
        const int flags = int(argument.first(at).toUInt(nullptr, 16));
        const int fd = ::open(argument.sliced(at + 1).constData(), flags | O_CLOEXEC, 0600);
        if (fd < 0)
            return refused("open");
        ::close(fd);
        return Picture::failure(QStringLiteral("opened"));
    }
    if (name == "pid")
        return Picture::failure(QStringLiteral("pid %1").arg(::getpid()));
    if (name == "thread") {
        // A thread as the C library makes one.
        bool ran = false;
        std::thread([&ran] { ran = true; }).join();
        return Picture::failure(ran ? QStringLiteral("a thread ran") : QStringLiteral("no thread ran"));
    }
    if (name == "clone") {
        // "clone <flags in hex>": the clone system call with those flags, on a stack of its own.
        alignas(64) static char stack[64 * 1024];
        const int flags = int(argument.toUInt(nullptr, 16));
        if (::clone(endAtOnce, stack + sizeof stack, flags, nullptr, nullptr, nullptr, nullptr) < 0)
            return refused("clone");
        return Picture::failure(QStringLiteral("cloned"));
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

// The warm-up decodes through the handler before the helper locks itself down: the first call
// may leave a thread behind.
Picture decodeLeavingAThread(const mv::sandbox::DecodeJob& job)
{
    static const bool once = [] {
        std::thread([] {
            for (;;)
                std::this_thread::sleep_for(std::chrono::hours(1));
        }).detach();
        return true;
    }();
    (void)once;
    return decode(job);
}

} // namespace

int main(int argc, char** argv)
{
    const QString withhold = qEnvironmentVariable("MVTEST_WITHHOLD");
    const std::uint32_t withheld = withhold == QLatin1String("all") ? ~0u
                                   : withhold == QLatin1String("all-but-filter")
                                       ? ~std::uint32_t(mv::sandbox::SyscallFilter)
                                       : 0u;
    const bool lingering = qEnvironmentVariable("MVTEST_LINGERING_THREAD") == QLatin1String("1");
    return mv::sandbox::runHelper(
        argc, argv, {lingering ? decodeLeavingAThread : decode, mv::sandbox::probeJob}, withheld);
}
