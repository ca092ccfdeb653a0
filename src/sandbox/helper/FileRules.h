// Landlock, where the kernel offers it: after this the helper may read files beneath the
// folders given and nothing else, write nowhere, execute nothing, make no TCP connection, and
// (ABI 6 on) neither reach abstract sockets nor signal processes outside its own domain.
#pragma once

#include <string>
#include <vector>

namespace mv::sandbox {

// The Landlock ABI now in force for this process, 0 when the kernel has none or refused.
int restrictFiles(const std::vector<std::string>& readableFolders);

} // namespace mv::sandbox
