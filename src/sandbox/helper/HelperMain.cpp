#include "sandbox/helper/HelperMain.h"

#include "sandbox/Channel.h"
#include "sandbox/Wire.h"
#include "sandbox/helper/Lockdown.h"
#include "sandbox/helper/WarmUp.h"

#include <QGuiApplication>

#include <cstdio>

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

int runHelper(int argc, char** argv, const JobHandler& handler, std::uint32_t withheld)
{
    struct stat channel {};
    if (::fstat(wire::kChannelFd, &channel) != 0 || !S_ISSOCK(channel.st_mode)) {
        std::fputs("mvdecode: the decoder helper of Mirravelnock!; it is started by the program only\n",
                   stderr);
        return 2;
    }
    Protections protections = prepareProcess(withheld);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    warmUp(handler);
    LockdownPlan plan;
    plan.readableFolders = readableFolders();
    plan.memoryAllowance = decoderMemoryAllowance();
    plan.channelFd = wire::kChannelFd;
    plan.withheld = withheld;
    protections = lockDown(plan, protections);

    wire::Hello hello;
    hello.protections = protections.bits;
    hello.landlockAbi = protections.landlockAbi;
    hello.pid = int(::getpid());
    if (!sendMessage(wire::kChannelFd, &hello, sizeof hello))
        ::_exit(0);
    // Straight out, past the destructors and exit handlers: nothing is left to save.
    ::_exit(serveJobs(wire::kChannelFd, handler));
}

} // namespace mv::sandbox
