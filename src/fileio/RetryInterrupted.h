// A system call that a signal interrupted before it did anything is simply made again: the
// one loop for it, so that no caller mistakes a signal (a child ending, a timer, a terminal
// resize) for a failure.
#pragma once

#include <cerrno>

namespace mv::fileio {

// Calls `call` until it does not fail with EINTR, and returns what it returned then. `call`
// follows the system's convention: a negative result with errno set on failure. errno is left
// as the last call set it.
template <typename Call>
auto retryInterrupted(Call&& call) -> decltype(call())
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

} // namespace mv::fileio
