#include "sandbox/helper/Lockdown.h"

#include "imaging/PictureDecoder.h"
#include "imaging/base/DecodeLimits.h"
#include "sandbox/helper/FileRules.h"
#include "sandbox/helper/SanitizerBuild.h"
#include "sandbox/helper/SyscallFilter.h"

#include <cstdio>

#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#ifdef MV_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace mv::sandbox {

namespace {

bool writeSmallFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

// A user namespace in which we keep our own ids (so files still look like ours), and network
// and IPC namespaces of our own: no interface but a loopback that is down, no abstract socket
// of the session, no shared memory of others.
bool ownNamespaces()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET | CLONE_NEWIPC) != 0)
        return false;
    (void)writeSmallFile("/proc/self/setgroups", "deny");
    (void)writeSmallFile("/proc/self/uid_map", std::to_string(uid) + ' ' + std::to_string(uid) + " 1");
    (void)writeSmallFile("/proc/self/gid_map", std::to_string(gid) + ' ' + std::to_string(gid) + " 1");
    return true;
}

std::uint64_t addressSpaceInUse()
{
    std::FILE* statm = std::fopen("/proc/self/statm", "re");
    if (!statm)
        return 0;
    unsigned long long pages = 0;
    const bool read = std::fscanf(statm, "%llu", &pages) == 1;
    std::fclose(statm);
    return read ? pages * std::uint64_t(::sysconf(_SC_PAGESIZE)) : 0;
}

} // namespace

std::uint64_t decoderMemoryAllowance()
{
    std::uint64_t margin = std::uint64_t(512) << 20;
#ifdef MV_SANITIZED
    margin += std::uint64_t(2) << 30; // the sanitizer keeps freed memory aside for a while
#endif
    return std::uint64_t(imaging::kMaxPictureFileBytes) + 2 * std::uint64_t(imaging::kMaxDecodedBytes) +
           margin;
}

Protections prepareProcess(std::uint32_t withheld)
{
    Protections p;
    // The namespaces first: once the process is not dumpable, its /proc files are root's and
    // the id maps can no longer be written.
    if (!(withheld & OwnNamespaces) && ownNamespaces())
        p.bits |= OwnNamespaces;
    const rlimit none {0, 0};
    if (!(withheld & NoCoreFiles) && ::setrlimit(RLIMIT_CORE, &none) == 0 &&
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0)
        p.bits |= NoCoreFiles;
    return p;
}

Protections lockDown(const LockdownPlan& plan, Protections sofar)
{
    Protections p = sofar;
    const auto wanted = [&](Protection which) { return !(plan.withheld & which); };
    if (const std::uint64_t used = addressSpaceInUse(); used > 0 && wanted(MemoryCap)) {
        const rlim_t cap = rlim_t(used + plan.memoryAllowance);
        const rlimit limit {cap, cap};
        if (::setrlimit(RLIMIT_AS, &limit) == 0)
            p.bits |= MemoryCap;
    }
#ifdef MV_SANITIZED
    // The sanitizers read what they need of /proc now, while they still can.
    __sanitizer_sandbox_on_notify(nullptr);
#endif
    if (wanted(NoNewPrivileges) && ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0)
        p.bits |= NoNewPrivileges;
    p.landlockAbi = wanted(FileRules) ? restrictFiles(plan.readableFolders) : 0;
    if (p.landlockAbi > 0)
        p.bits |= FileRules;
    if (wanted(SyscallFilter) && installSyscallFilter({p.landlockAbi > 0, plan.channelFd, ::getpid()}))
        p.bits |= SyscallFilter;
    return p;
}

} // namespace mv::sandbox
