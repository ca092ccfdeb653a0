// Ctrl+C, SIGTERM and SIGHUP ask the run to stop instead of killing it: the file in hand is
// finished or cleaned up (no temporary file, no plain text left behind), then mvcrypt exits.
#pragma once

namespace mv::cli {

void catchStopSignals();
bool stopRequested();

// The exit status after a stop, as a shell reports a process ended by SIGINT.
inline constexpr int kStoppedStatus = 130;

} // namespace mv::cli
