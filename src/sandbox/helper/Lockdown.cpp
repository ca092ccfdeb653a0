#include "sandbox/helper/Lockdown.h"

#include "imaging/PictureDecoder.h"
#include "imaging/base/DecodeLimits.h"
#include "sandbox/helper/FileRules.h"
#include "sandbox/helper/SanitizerBuild.h"
#include "sandbox/helper/SyscallFilter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
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

// In a user namespace of its own the helper holds every capability over it (mounts, more
// namespaces, its own network): given up, those of the bounding set too, so that nothing can
// bring them back. False when some are still in effect.
bool noCapabilities()
{
    // The bounding set first: dropping from it takes CAP_SETPCAP, which goes with the rest. A
    // helper without a namespace of its own may not empty it, and need not: it gains nothing
    // by it without exec.
    for (unsigned long cap = 0; ::prctl(PR_CAPBSET_READ, cap, 0, 0, 0) >= 0; ++cap)
        (void)::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
    (void)::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capset, &header, none) != 0)
        return false;
    __user_cap_data_struct held[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, held) != 0)
        return false;
    for (const __user_cap_data_struct& word : held)
        if (word.effective != 0 || word.permitted != 0 || word.inheritable != 0)
            return false;
    return true;
}

// The threads of this process, -1 when they cannot be counted.
int threadCount()
{
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(tasks))
        count += entry->d_name[0] != '.';
    ::closedir(tasks);
    return count;
}

std::string threadRefusal()
{
    const int threads = threadCount();
    if (threads == 1)
        return {};
    if (threads < 0)
        return "the decoder could not count its threads when it locked itself down";
    return "the decoder had " + std::to_string(threads) +
           " threads when it locked itself down, where it must have one";
}

std::string filterRefusal(int error)
{
    std::string why = "this system refused the decoder's system-call filter";
    if (error != 0)
        why += " (" + std::string(std::strerror(error)) + ')';
    return why;
}

void refuse(LockdownState& state, std::string why)
{
    if (state.refusal.empty() && !why.empty())
        state.refusal = std::move(why);
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

LockdownState prepareProcess(std::uint32_t withheld)
{
    LockdownState state;
    Protections& p = state.protections;
    // The namespaces first: once the process is not dumpable, its /proc files are root's and
    // the id maps can no longer be written. The capabilities the new user namespace gave go at
    // once, before any library runs.
    if (!(withheld & OwnNamespaces) && ownNamespaces())
        p.bits |= OwnNamespaces;
    if (!noCapabilities())
        refuse(state, "the decoder could not give up its capabilities");
    const rlimit none {0, 0};
    if (!(withheld & NoCoreFiles) && ::setrlimit(RLIMIT_CORE, &none) == 0 &&
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0)
        p.bits |= NoCoreFiles;
    return state;
}

LockdownState lockDown(const LockdownPlan& plan, LockdownState sofar)
{
    LockdownState state = std::move(sofar);
    Protections& p = state.protections;
    const auto wanted = [&](Protection which) { return !(plan.withheld & which); };
    // Landlock and no-new-privileges bind only the thread that asks for them: a thread already
    // running would decode without them. Counted while /proc may still be read.
    refuse(state, threadRefusal());
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
    const int filterError =
        wanted(SyscallFilter) ? installSyscallFilter({p.landlockAbi > 0, plan.channelFd, ::getpid()}) : -1;
    if (filterError == 0)
        p.bits |= SyscallFilter;
    else
        refuse(state, filterRefusal(std::max(filterError, 0)));
    return state;
}

} // namespace mv::sandbox
