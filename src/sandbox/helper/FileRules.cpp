#include "sandbox/helper/FileRules.h"

#include <cstdint>

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace mv::sandbox {

namespace {

// The rights of each ABI, spelled out here: the system's header may be older than the kernel.
constexpr std::uint64_t kFsAbi1 = (1ULL << 13) - 1;     // execute .. make symlink
constexpr std::uint64_t kFsRefer = 1ULL << 13;          // ABI 2
constexpr std::uint64_t kFsTruncate = 1ULL << 14;       // ABI 3
constexpr std::uint64_t kFsIoctlDev = 1ULL << 15;       // ABI 5
constexpr std::uint64_t kNetBindTcp = 1ULL << 0;        // ABI 4
constexpr std::uint64_t kNetConnectTcp = 1ULL << 1;     // ABI 4
constexpr std::uint64_t kScopeAbstractUnix = 1ULL << 0; // ABI 6
constexpr std::uint64_t kScopeSignal = 1ULL << 1;       // ABI 6
constexpr std::uint64_t kReadFile = 1ULL << 2;
constexpr std::uint64_t kReadDir = 1ULL << 3;

struct RulesetAttr {
    std::uint64_t handledAccessFs = 0;
    std::uint64_t handledAccessNet = 0;
    std::uint64_t scoped = 0;
};

struct PathBeneath {
    std::uint64_t allowedAccess;
    std::int32_t parentFd;
} __attribute__((packed));

} // namespace

int restrictFiles(const std::vector<std::string>& readableFolders)
{
    const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1)
        return 0;
    RulesetAttr attr;
    attr.handledAccessFs =
        kFsAbi1 | (abi >= 2 ? kFsRefer : 0) | (abi >= 3 ? kFsTruncate : 0) | (abi >= 5 ? kFsIoctlDev : 0);
    std::size_t size = sizeof attr.handledAccessFs;
    if (abi >= 4) {
        attr.handledAccessNet = kNetBindTcp | kNetConnectTcp;
        size += sizeof attr.handledAccessNet;
    }
    if (abi >= 6) {
        attr.scoped = kScopeAbstractUnix | kScopeSignal;
        size += sizeof attr.scoped;
    }
    const int ruleset = int(::syscall(SYS_landlock_create_ruleset, &attr, size, 0));
    if (ruleset < 0)
        return 0;
    for (const std::string& folder : readableFolders) {
        const int fd = ::open(folder.c_str(), O_PATH | O_CLOEXEC | O_DIRECTORY);
        if (fd < 0)
            continue; // a folder that is not there needs no rule
        const PathBeneath rule {kReadFile | kReadDir, fd};
        (void)::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
        ::close(fd);
    }
    // Landlock needs no_new_privs (or CAP_SYS_ADMIN); the caller has set it, this makes sure.
    (void)::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    const bool done = ::syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    ::close(ruleset);
    return done ? int(abi) : 0;
}

} // namespace mv::sandbox
