// main() of a decoder helper: lock down in two steps around the warm-up, say so, then serve
// jobs until the program hangs up. The shipped helper passes the real decoders; a test build
// of the helper passes its own, and nothing else differs.
#pragma once

#include "sandbox/HelperServer.h"

namespace mv::sandbox {

int runHelper(int argc, char** argv, const JobHandler& handler);

} // namespace mv::sandbox
