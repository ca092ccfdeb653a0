// Keys and decrypted pictures live in this process's memory while it runs. A core file would
// write them to disk, and another process of the same user could read them through ptrace or
// /proc/<pid>/mem. Both are closed before the first key is typed.
#pragma once

#include "fileutil/FileResult.h"

namespace mv::shell {

// No core file on any crash, whatever `ulimit -c` says, and no ptrace attach or reading of
// this process's memory by other processes of the same user. Call first thing in main().
[[nodiscard]] fileutil::FileResult lockDownProcess();

} // namespace mv::shell
