// The system calls a decoder helper may make once it is locked down, enforced by the kernel
// (seccomp, through libseccomp). The list is what the decoders were seen to call under strace
// once locked down, over every reference picture (tests/data) and fuzz seed
// (tests/imaging/corpus), as mvconvert decodes, draws and probes them, in the release and the
// sanitizer builds: memory, threads, time, the one socket it was given and memory files for
// the pixels (brk mmap munmap madvise mprotect, clone futex rseq set_robust_list eventfd2
// prctl(PR_SET_NAME) rt_sigaction rt_sigprocmask, recvmsg sendmsg, memfd_create ftruncate
// pwrite64 fcntl(seals) fstat close, getpid, exit); the rest are near kin kept for paths the
// corpus did not take (reading a font Landlock allows, a thread's name, the clock). Anything not on it kills
// the helper at once: sockets, exec, fork, ptrace, signals to other processes, namespaces. Calls that
// libraries make to look for files, or to tune themselves, fail with an error instead, so that a lookup
// nobody needs costs nothing: opening a file (allowed for reading only when Landlock limits which), changing
// files, ioctl, new executable memory.
#pragma once

#include <sys/types.h>

namespace mv::sandbox {

struct FilterPlan {
    bool filesByLandlock = false; // Landlock decides which files may be read
    int channelFd = -1;           // the only socket it may send and receive on
    pid_t self = 0;               // the only process it may signal
};

// Installs the filter on every thread of the process (TSYNC): 0, or the error number when the
// kernel has no seccomp or refused the filter.
int installSyscallFilter(const FilterPlan& plan);

} // namespace mv::sandbox
