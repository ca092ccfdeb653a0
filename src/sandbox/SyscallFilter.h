// The system calls a decoder helper may make once it is locked down, enforced by the kernel
// (seccomp, through libseccomp). The list is what the decoders were seen to call (strace over
// the reference pictures and the fuzz seeds, see docs/manual.md): memory, threads, time, the
// one socket it was given and memory files for the pixels. Anything not on it kills the
// helper at once: sockets, exec, fork, ptrace, signals to other processes, namespaces. Calls
// that libraries make to look for files, or to tune themselves, fail with an error instead,
// so that a lookup nobody needs costs nothing: opening a file (allowed for reading only when
// Landlock limits which), changing files, ioctl, new executable memory.
#pragma once

#include <sys/types.h>

namespace mv::sandbox {

struct FilterPlan {
    bool filesByLandlock = false; // Landlock decides which files may be read
    int channelFd = -1;           // the only socket it may send and receive on
    pid_t self = 0;               // the only process it may signal
};

// False when the kernel has no seccomp or refused the filter.
bool installSyscallFilter(const FilterPlan& plan);

} // namespace mv::sandbox
