// What the kernel enforces on a decoder helper once it is locked down. A kernel that refuses
// one of them leaves the helper decoding with the others, but for the system-call filter:
// without it the helper decodes nothing. The About box and the manual say which are on.
#pragma once

#include <QString>

#include <cstdint>

namespace mv::sandbox {

enum Protection : std::uint32_t {
    NoCoreFiles = 1u << 0,     // no core file, no ptrace or /proc/<pid>/mem by other processes
    OwnNamespaces = 1u << 1,   // user, network and IPC namespaces of its own: no network at all
    NoNewPrivileges = 1u << 2, // PR_SET_NO_NEW_PRIVS
    MemoryCap = 1u << 3,       // RLIMIT_AS: an address-space cap
    FileRules = 1u << 4,       // Landlock: reading the font and plug-in folders only
    SyscallFilter =
        1u << 5,       // seccomp: no files opened (but by Landlock's leave), no sockets, no exec, no ptrace
    TimeCap = 1u << 6, // a processor-time cap per picture, set by the program (RLIMIT_CPU)
    MemoryFileCap = 1u << 7, // files it writes (memory files too) and descriptors capped, set by
                             // the program (RLIMIT_FSIZE, RLIMIT_NOFILE)
};

struct Protections {
    std::uint32_t bits = 0;
    int landlockAbi = 0;   // 0: no Landlock
    bool reported = false; // a helper has said what it runs under

    [[nodiscard]] bool has(Protection p) const { return (bits & p) != 0; }
};

// One line for the About box: which protections are on and which the kernel refused.
QString describeProtections(const Protections& p);

} // namespace mv::sandbox
