#pragma once

#include "fileutil/FileResult.h"

#include <QString>

#include <functional>

namespace mv {

// The steps of a wipe, in order. Used by tests to watch and to fail one step.
enum class WipeStep {
    OpenFolder,
    Inspect,       // lstat: what kind of file, how many links
    RemoveLink,    // a symbolic link is removed, never followed
    MakeWritable,  // a read-only file gets owner write permission
    Open,
    Check,         // the opened file is the one inspected
    WriteZeros,
    Flush,         // fdatasync, so the zeros reach the disk before the file shrinks
    Rename,        // to "$MV" + random + ".TMP" in the same folder
    Truncate,
    Close,
    Delete,
    FlushFolder,
};

// Plain words for a step, as they appear in FileResult::step.
QString wipeStepText(WipeStep step);

// Seams for tests; production code passes nothing.
struct WipeOptions {
    std::function<void(int)> onChunk;     // length of each piece of zeros once written
    std::function<int(WipeStep)> fault;   // errno to fake at a step, 0 for none
};

// The one way a file is destroyed: overwritten with zeros in one pass, renamed to a
// meaningless name, cut to zero length, deleted, and the folder flushed, so that neither
// contents nor name can be read back.
//
// - A symbolic link is never followed: the link alone is removed.
// - Folders, fifos, devices and sockets are refused and left as they are.
// - A file with other hard links is refused and left whole: zeroing it would destroy the
//   data the other names still show.
// - On failure the procedure stops at the failing step and says which one. Until the
//   rename the file keeps its name; after it, what remains is a "$MV....TMP" file in the
//   same folder, already zeroed.
//
// `folder` ends in "/". `fileNumber` receives the descriptor the procedure opens and is -1
// again on every return: the procedure closes it itself on every path, so the caller never
// has to.
FileResult WipeFileIn(const QString& folder, const QString& name, int& fileNumber,
                      const WipeOptions& options = {});

// Splits `path` at its last "/" and wipes it. A path without "/" is not touched and
// gives the failure "not a full path".
FileResult WipeFile(const QString& path, const WipeOptions& options = {});

} // namespace mv
