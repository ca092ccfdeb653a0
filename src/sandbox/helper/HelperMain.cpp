#include "sandbox/helper/HelperMain.h"

#include "sandbox/Channel.h"
#include "sandbox/Wire.h"
#include "sandbox/helper/Lockdown.h"
#include "sandbox/helper/WarmUp.h"

#include <malloc.h>

#include <QGuiApplication>

#include <cstdio>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

// The sanitizers of a test build run inside the helper too. They may not start a symbolizer
// (no exec) nor read the binary once locked down, so their reports go out unsymbolized; an
// allocation refused by the memory cap returns null instead of ending the helper, as it does
// without them; and the helper ends without a leak check, which would need ptrace.
extern "C" const char* __asan_default_options()
{
    return "symbolize=0:allocator_may_return_null=1:detect_leaks=0";
}
extern "C" const char* __ubsan_default_options()
{
    return "symbolize=0:print_stacktrace=1";
}

namespace mv::sandbox {

namespace {

// What a helper that may not decode answers every job: why, and no picture.
JobHandler refusing(const std::string& why)
{
    const fileio::Status status =
        fileio::Status::failure(kLockdownStep, "pictures are not decoded, because " + why);
    return {[status](const DecodeJob&) { return imaging::Picture::failure(status); },
            [status](const DecodeJob&) {
                imaging::PictureInfo info;
                info.status = status;
                return info;
            }};
}

} // namespace

int runHelper(int argc, char** argv, const JobHandler& handler, std::uint32_t withheld)
{
    struct stat channel {};
    if (::fstat(wire::kChannelFd, &channel) != 0 || !S_ISSOCK(channel.st_mode)) {
        std::fputs("mvdecode: the decoder helper of Mirravelnock!; it is started by the program only\n",
                   stderr);
        return 2;
    }
    LockdownState state = prepareProcess(withheld);
    // A helper decodes one picture after another: the memory of the last one is reused, not
    // given back and faulted in again page by page (which cost more than a small decode).
    // Larger blocks are still mapped apart and given back; what is kept stays well inside the
    // margin of the memory cap.
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    warmUp(handler);
    LockdownPlan plan;
    plan.readableFolders = readableFolders();
    plan.memoryAllowance = decoderMemoryAllowance();
    plan.channelFd = wire::kChannelFd;
    plan.withheld = withheld;
    state = lockDown(plan, std::move(state));

    wire::Hello hello;
    hello.protections = state.protections.bits;
    hello.landlockAbi = state.protections.landlockAbi;
    hello.pid = int(::getpid());
    if (!sendMessage(wire::kChannelFd, &hello, sizeof hello))
        ::_exit(0);
    // A helper that is not locked down as it must be still answers, so that the program can show
    // why no picture is decoded; it never hands a job's bytes to a decoder.
    const JobHandler serving = state.refusal.empty() ? handler : refusing(state.refusal);
    // Straight out, past the destructors and exit handlers: nothing is left to save.
    ::_exit(serveJobs(wire::kChannelFd, serving));
}

} // namespace mv::sandbox
