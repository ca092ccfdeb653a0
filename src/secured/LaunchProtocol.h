// What the launch helper (apps/mvlaunch) tells the program that started it. Qt-free: the
// helper is a small process of its own, so it copies none of the program's memory (keys
// among it) and none of its open files.
//
// The helper is started with the write end of a pipe as descriptor kStatusFd and the
// program's path and arguments after it. It becomes a child subreaper, starts the program,
// writes one LaunchReport and closes the pipe; then it collects every process the program
// starts, and those they start, as each ends, and exits with kHelperDone once the last one
// has: its own end is the end of everything the program started.
#pragma once

#include <cstdint>

namespace mv::secured::launch {

inline constexpr int kStatusFd = 3;
inline constexpr const char* kHelperName = "mvlaunch";
// The helper's exit code once every process under it has ended.
inline constexpr int kHelperDone = 0;
// Its exit code when the program could not be started (the report says why).
inline constexpr int kHelperNotStarted = 127;

enum class Report : char {
    Started = 'S',     // value: the program's process id
    ExecFailed = 'E',  // value: errno of execve
    HelperFailed = 'H' // value: errno of the helper's own step (fork, pipe)
};

struct LaunchReport {
    Report kind;
    char pad[3];
    std::int32_t value;
};
static_assert(sizeof(LaunchReport) == 8);

} // namespace mv::secured::launch
