// How a decoder helper locks itself down, in two steps around its warm-up: what must happen
// while it has one thread and has not started Qt (namespaces, then no capabilities in them, no
// core files), then, once every font and plug-in it needs is loaded, the caps, Landlock and the
// system-call filter. A step the kernel refuses is left out and the others still hold, except
// the ones without which no picture may be decoded: the system-call filter, a single thread when
// it is installed (what binds one thread binds not the others) and capabilities given up. Then
// the helper says why and decodes nothing.
#pragma once

#include "sandbox/Protections.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv::sandbox {

struct LockdownState {
    Protections protections;
    // Why this helper may decode nothing, in plain words ("this system refused ..."); empty
    // when it may decode.
    std::string refusal;
};

// The step a refusal is reported under.
inline constexpr const char* kLockdownStep = "lock down decoder";

// No core file and no ptrace by others; user, network and IPC namespaces of its own, then no
// capabilities in them. Those of `withheld` (Protection bits) are left out, as if the kernel
// refused them: a test build of the helper does so to show what a helper does without them;
// the shipped helper withholds none.
LockdownState prepareProcess(std::uint32_t withheld = 0);

struct LockdownPlan {
    std::vector<std::string> readableFolders; // fonts and plug-ins, for Landlock
    std::uint64_t memoryAllowance = 0;        // address space beyond what the warm helper uses
    int channelFd = -1;
    std::uint32_t withheld = 0; // as for prepareProcess
};

// The address space a decoder may add to a warm helper: the bytes of the largest picture file
// mapped, its pixels, and the copy of them handed back, plus a margin for the decoders' own
// buffers (and for the sanitizers' bookkeeping in a sanitizer build).
std::uint64_t decoderMemoryAllowance();

// The caps, no new privileges, Landlock and the system-call filter; adds what held to sofar,
// and a refusal where the helper must not decode.
LockdownState lockDown(const LockdownPlan& plan, LockdownState sofar);

} // namespace mv::sandbox
