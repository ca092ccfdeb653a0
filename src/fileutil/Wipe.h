#pragma once

#include "fileutil/FileResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include <sys/stat.h>

namespace mv::fileutil {

// The steps of a wipe, in order. Used by tests to watch and to fail one step.
enum class WipeStep {
    OpenFolder,
    Inspect,      // lstat: what kind of file, how many links
    RemoveLink,   // a symbolic link is removed, never followed
    Open,         // opened for reading, without following links
    Check,        // the opened file is the one inspected
    Lock,         // no other run works on it
    Rename,       // to "$MV" + random + ".TMP" in the same folder, before any byte changes
    MakeWritable, // owner-only read and write permission, right after the rename
    OpenForWriting,
    WriteZeros,
    Flush, // fdatasync, so the zeros reach the disk before the file shrinks
    Truncate,
    Close,
    Delete,
    FlushFolder,
};

// Plain words for a step, as they appear in FileResult::step.
QString wipeStepText(WipeStep step);

// What a caller may follow of a wipe: the length of each piece of zeros once written.
struct WipeOptions {
    std::function<void(int)> onChunk;
    // Test seam, for this call only: makes a step fail with the errno it returns (0 for none).
    // Production code never sets one.
    std::function<int(WipeStep)> fault;
};

// The one way a file is destroyed: moved out of its name to a meaningless one in the same
// folder and made readable by its owner only, overwritten with zeros where it holds data, flushed, cut to
// zero length, deleted, and the folder flushed, so that neither contents nor name can be read back.
//
// The rename comes first: a wipe that is interrupted never leaves a damaged file under a
// real name (where a later run would take the zeros for the user's data), and a folder
// that refuses the rename fails the wipe before a single byte is changed.
//
// - A symbolic link is never followed: the link alone is removed.
// - Folders, fifos, devices and sockets are refused and left as they are.
// - A file with other hard links is refused and left whole: zeroing it would destroy the
//   data the other names still show.
// - A file another run has locked is refused: "in use by another run".
// - On failure the procedure stops at the failing step and says which one; once the file is
//   renamed the result names the "$MV....TMP" file left behind, and says when its contents
//   are already gone.
//
// `folder` ends in "/". `fileNumber` receives the descriptor the procedure opens and is -1
// again on every return: the procedure closes it itself on every path.
FileResult WipeFileIn(const QString& folder, const QString& name, int& fileNumber,
                      const WipeOptions& options = {});

// Splits `path` at its last "/" and wipes it. A path without "/" is not touched and
// gives the failure "not a full path".
FileResult WipeFile(const QString& path, const WipeOptions& options = {});

// Whether a regular file or a symbolic link (not followed) is at `path`: what WipeFile takes.
[[nodiscard]] bool isFileOrLink(const QString& path);

struct WipeReport {
    QStringList wiped;
    QList<FileResult> failures; // each names its file in `leftover` or the reason
};

// Wipes each full path with WipeFile; goes on after a failure.
WipeReport wipeAll(const QStringList& paths);

// Wipes a file the caller opened (and locked) before working on it, described by `expected`
// as it was when the work began. Only a name that still holds that very file, unchanged, is
// wiped. When the name now holds another file, or the file was written to meanwhile, that
// file is left untouched and `changed` is set; the old contents, if no name holds them any
// more, are zeroed through the descriptor.
FileResult wipeHeldFile(const QString& path, int heldFd, const struct stat& expected, bool& changed,
                        const WipeOptions& options = {});

} // namespace mv::fileutil
