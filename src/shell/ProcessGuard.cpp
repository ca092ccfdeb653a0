#include "shell/ProcessGuard.h"

#include <cerrno>

#include <sys/prctl.h>
#include <sys/resource.h>

namespace mv::shell {

fileutil::FileResult lockDownProcess()
{
    // A zero limit keeps a core file from being written where the pattern names a file; a
    // process that is not dumpable gets no core at all (unless the administrator asked for
    // root-owned ones), and the kernel refuses ptrace and /proc/<pid>/mem to other processes.
    const rlimit none {0, 0};
    if (::setrlimit(RLIMIT_CORE, &none) != 0)
        return fileutil::FileResult::failure("refuse core files", errno);
    if (::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        return fileutil::FileResult::failure("refuse other processes", errno);
    return fileutil::FileResult::success();
}

} // namespace mv::shell
