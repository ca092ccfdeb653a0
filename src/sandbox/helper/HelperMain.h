// main() of a decoder helper: lock down in two steps around the warm-up, say so, then serve
// jobs until the program hangs up. The shipped helper passes the real decoders and withholds
// nothing; a test build of the helper passes its own decoders, and may withhold protections
// (Protection bits) to play a kernel that refuses them.
#pragma once

#include "sandbox/helper/HelperServer.h"

#include <cstdint>

namespace mv::sandbox {

int runHelper(int argc, char** argv, const JobHandler& handler, std::uint32_t withheld = 0);

} // namespace mv::sandbox
