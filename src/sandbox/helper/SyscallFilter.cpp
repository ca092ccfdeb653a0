#include "sandbox/helper/SyscallFilter.h"

#include "sandbox/helper/SanitizerBuild.h"

#include <cerrno>
#include <cstdint>
#include <initializer_list>

#include <fcntl.h>
#include <linux/sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>

namespace mv::sandbox {

namespace {

class Filter {
public:
    Filter() : ctx_(seccomp_init(SCMP_ACT_KILL_PROCESS))
    {
        if (!ctx_)
            return;
        // Every thread of the process gets the filter at once, or none does and loading fails.
        note(seccomp_attr_set(ctx_, SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS));
        note(seccomp_attr_set(ctx_, SCMP_FLTATR_CTL_TSYNC, 1));
    }
    ~Filter()
    {
        if (ctx_)
            seccomp_release(ctx_);
    }
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    void allow(std::initializer_list<int> calls)
    {
        for (int call : calls)
            add(SCMP_ACT_ALLOW, call, {});
    }
    void refuse(int error, std::initializer_list<int> calls)
    {
        for (int call : calls)
            add(SCMP_ACT_ERRNO(error), call, {});
    }
    // One rule: the action when every comparison holds.
    void add(std::uint32_t action, int call, std::initializer_list<scmp_arg_cmp> when)
    {
        if (!ctx_ || call < 0)
            return;
        note(seccomp_rule_add_array(ctx_, action, call, unsigned(when.size()), when.begin()));
    }
    // 0, or the error number of the first step that failed.
    int load()
    {
        if (!ctx_)
            return ENOMEM;
        if (error_ == 0)
            note(seccomp_load(ctx_));
        return error_;
    }

private:
    // libseccomp answers 0 or a negative error number; a positive one (TSYNC naming a thread
    // that could not be synchronised) is a failure too.
    void note(int result)
    {
        if (result != 0 && error_ == 0)
            error_ = result < 0 ? -result : ESRCH;
    }

    scmp_filter_ctx ctx_;
    int error_ = 0;
};

// Flags of open that would write, create or truncate. O_TMPFILE is the kernel's temporary-file
// bit together with O_DIRECTORY (and the C library's __O_TMPFILE already holds O_DIRECTORY):
// only the bit of its own is a writing flag, or no folder could be opened to be read. The kernel
// takes that bit only with O_DIRECTORY, so refusing it refuses every O_TMPFILE.
constexpr scmp_datum_t kTemporaryFile = scmp_datum_t(O_TMPFILE & ~O_DIRECTORY);
constexpr scmp_datum_t kWriting = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND | kTemporaryFile;
static_assert((kWriting & O_DIRECTORY) == 0 && kTemporaryFile != 0);

void filesAndFolders(Filter& f, const FilterPlan& plan)
{
    const auto readOnly = [](unsigned arg) { return SCMP_CMP(arg, SCMP_CMP_MASKED_EQ, kWriting, 0); };
    if (plan.filesByLandlock) {
        // Landlock says which files; the filter only keeps every open read-only.
        f.add(SCMP_ACT_ALLOW, SCMP_SYS(openat), {readOnly(2)});
        f.add(SCMP_ACT_ALLOW, SCMP_SYS(open), {readOnly(1)});
        for (unsigned bit = 0; bit < 32; ++bit) {
            const scmp_datum_t flag = scmp_datum_t(1) << bit;
            if (kWriting & flag) {
                f.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), {SCMP_A2(SCMP_CMP_MASKED_EQ, flag, flag)});
                f.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(open), {SCMP_A1(SCMP_CMP_MASKED_EQ, flag, flag)});
            }
        }
        f.allow({SCMP_SYS(newfstatat), SCMP_SYS(statx), SCMP_SYS(access), SCMP_SYS(faccessat),
                 SCMP_SYS(faccessat2), SCMP_SYS(readlink), SCMP_SYS(readlinkat), SCMP_SYS(getdents64),
                 SCMP_SYS(stat), SCMP_SYS(lstat)});
    } else {
        f.refuse(EACCES, {SCMP_SYS(openat), SCMP_SYS(open), SCMP_SYS(access), SCMP_SYS(faccessat),
                          SCMP_SYS(faccessat2), SCMP_SYS(readlink), SCMP_SYS(readlinkat),
                          SCMP_SYS(getdents64), SCMP_SYS(stat), SCMP_SYS(lstat)});
        // fstat() is newfstatat(fd, "", AT_EMPTY_PATH); a path is refused.
        f.add(SCMP_ACT_ALLOW, SCMP_SYS(newfstatat),
              {SCMP_A3(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH)});
        f.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(newfstatat), {SCMP_A3(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, 0)});
        f.add(SCMP_ACT_ALLOW, SCMP_SYS(statx), {SCMP_A2(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH)});
        f.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(statx), {SCMP_A2(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, 0)});
    }
    f.refuse(ENOSYS, {SCMP_SYS(openat2)}); // its flags cannot be seen: callers fall back to openat
    f.refuse(EACCES, {SCMP_SYS(creat),     SCMP_SYS(mkdir),    SCMP_SYS(mkdirat), SCMP_SYS(unlink),
                      SCMP_SYS(unlinkat),  SCMP_SYS(rmdir),    SCMP_SYS(rename),  SCMP_SYS(renameat),
                      SCMP_SYS(renameat2), SCMP_SYS(link),     SCMP_SYS(linkat),  SCMP_SYS(symlink),
                      SCMP_SYS(symlinkat), SCMP_SYS(chmod),    SCMP_SYS(fchmod),  SCMP_SYS(fchmodat),
                      SCMP_SYS(chown),     SCMP_SYS(fchown),   SCMP_SYS(lchown),  SCMP_SYS(fchownat),
                      SCMP_SYS(utimensat), SCMP_SYS(truncate), SCMP_SYS(mknod),   SCMP_SYS(mknodat)});
    f.allow({SCMP_SYS(fstat), SCMP_SYS(lseek), SCMP_SYS(close), SCMP_SYS(fstatfs)});
}

void memory(Filter& f)
{
    // No new executable memory: no decoder generates code.
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(mmap), {SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)});
    f.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(mmap), {SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, PROT_EXEC)});
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(mprotect), {SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)});
    f.add(SCMP_ACT_ERRNO(EACCES), SCMP_SYS(mprotect), {SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, PROT_EXEC)});
    f.refuse(EACCES, {SCMP_SYS(pkey_mprotect)});
    f.allow({SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise), SCMP_SYS(brk)});
    // Memory files for the pixels, but no huge-page ones.
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(memfd_create), {SCMP_A1(SCMP_CMP_MASKED_EQ, MFD_HUGETLB, 0)});
    f.allow({SCMP_SYS(ftruncate)});
    for (const int command : {F_GETFD, F_SETFD, F_GETFL, F_ADD_SEALS, F_GET_SEALS})
        f.add(SCMP_ACT_ALLOW, SCMP_SYS(fcntl), {SCMP_A1(SCMP_CMP_EQ, scmp_datum_t(command))});
}

// What glibc's pthread_create passes to clone (the thread's exit signal is 0).
constexpr scmp_datum_t kThreadCloneFlags = CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_THREAD |
                                           CLONE_SYSVSEM | CLONE_SETTLS | CLONE_PARENT_SETTID |
                                           CLONE_CHILD_CLEARTID;

void threadsAndTime(Filter& f, const FilterPlan& plan)
{
    // Threads (Qt scales large pictures on several), never a new process, and only with the
    // flags the C library's pthread_create gives clone: any other flag could put a thread in a
    // namespace of its own or share less than a thread does. clone3 hides its flags from the
    // filter: refused, so that the C library falls back to clone.
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(clone), {SCMP_A0(SCMP_CMP_EQ, kThreadCloneFlags)});
    f.refuse(ENOSYS, {SCMP_SYS(clone3)});
    f.allow({SCMP_SYS(futex), SCMP_SYS(set_robust_list), SCMP_SYS(get_robust_list), SCMP_SYS(rseq),
             SCMP_SYS(set_tid_address), SCMP_SYS(sched_yield), SCMP_SYS(sched_getaffinity), SCMP_SYS(getcpu),
             SCMP_SYS(membarrier)});
    // Qt gives a thread it starts a way to be woken.
    f.allow({SCMP_SYS(eventfd2)});
    f.refuse(EPERM, {SCMP_SYS(sched_setaffinity), SCMP_SYS(sched_setscheduler), SCMP_SYS(sched_setparam),
                     SCMP_SYS(setpriority)});
    f.allow({SCMP_SYS(clock_gettime), SCMP_SYS(clock_getres), SCMP_SYS(clock_nanosleep), SCMP_SYS(nanosleep),
             SCMP_SYS(gettimeofday), SCMP_SYS(time), SCMP_SYS(getrusage), SCMP_SYS(times)});
    f.allow({SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(getppid), SCMP_SYS(getuid), SCMP_SYS(geteuid),
             SCMP_SYS(getgid), SCMP_SYS(getegid), SCMP_SYS(getresuid), SCMP_SYS(getresgid), SCMP_SYS(uname),
             SCMP_SYS(sysinfo), SCMP_SYS(getrandom)});
    // Limits may be read, never raised.
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(prlimit64), {SCMP_A0(SCMP_CMP_EQ, 0), SCMP_A2(SCMP_CMP_EQ, 0)});
    f.allow({SCMP_SYS(getrlimit)});
    // Signals: its own handlers, and itself only (abort() raises SIGABRT).
    f.allow({SCMP_SYS(rt_sigaction), SCMP_SYS(rt_sigprocmask), SCMP_SYS(rt_sigreturn), SCMP_SYS(sigaltstack),
             SCMP_SYS(restart_syscall)});
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(tgkill), {SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(plan.self))});
    f.refuse(EPERM, {SCMP_SYS(kill), SCMP_SYS(tkill)});
    f.allow({SCMP_SYS(exit), SCMP_SYS(exit_group)});
    for (const int option : {PR_SET_NAME, PR_GET_NAME, PR_GET_DUMPABLE})
        f.add(SCMP_ACT_ALLOW, SCMP_SYS(prctl), {SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(option))});
}

void channel(Filter& f, const FilterPlan& plan)
{
    f.allow({SCMP_SYS(read), SCMP_SYS(write), SCMP_SYS(readv), SCMP_SYS(writev), SCMP_SYS(pread64),
             SCMP_SYS(pwrite64)});
    const scmp_datum_t fd = scmp_datum_t(plan.channelFd);
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(recvmsg), {SCMP_A0(SCMP_CMP_EQ, fd)});
    f.add(SCMP_ACT_ALLOW, SCMP_SYS(sendmsg), {SCMP_A0(SCMP_CMP_EQ, fd)});
    f.refuse(ENOTTY, {SCMP_SYS(ioctl)});
#ifdef MV_SANITIZED
    // The sanitizers test whether memory is readable by writing it to a pipe.
    f.allow({SCMP_SYS(pipe2), SCMP_SYS(pipe)});
#endif
}

} // namespace

int installSyscallFilter(const FilterPlan& plan)
{
    Filter f;
    filesAndFolders(f, plan);
    memory(f);
    threadsAndTime(f, plan);
    channel(f, plan);
    return f.load();
}

} // namespace mv::sandbox
