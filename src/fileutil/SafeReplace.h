#pragma once

#include "fileutil/FileResult.h"

#include <QString>

#include <functional>

namespace mv {

// The steps of a replacement, in the order they run.
enum class ReplaceStep {
    CheckPaths,      // source is a regular file with one name; target is not a folder or link
    CreateTemp,      // temporary file beside the target
    Produce,         // the producer writes the new contents into it
    CopyAttributes,  // source's permission bits and times onto the temporary file
    FlushTemp,       // fsync and close it
    Rename,          // temporary file onto the target name
    FlushFolder,     // fsync the target's folder: the new name is on disk
    WipeOldTarget,   // zeros over the old target's contents, displaced by the rename
    WipeSource,      // the source is destroyed (or, when the rename replaced it, zeroed)
};

// Plain words for a step, as they appear in the outcome's error.
QString replaceStepText(ReplaceStep step);

// What the producer did with the temporary file.
struct ProduceResult {
    enum Kind { Written, Declined, Failed };
    Kind kind = Failed;
    int code = 0;    // the producer's own code (e.g. the engine's result)
    QString reason;  // why it declined or failed

    static ProduceResult written(int code = 1) { return {Written, code, {}}; }
    static ProduceResult declined(int code, const QString& reason) { return {Declined, code, reason}; }
    static ProduceResult failed(int code, const QString& reason) { return {Failed, code, reason}; }
};

// Writes the new contents into `tempPath` (an existing empty file). It may delete the file
// when it declines or fails.
using Producer = std::function<ProduceResult(const QString& tempPath)>;

// Consulted before each step; a non-zero errno makes that step fail as if the system had
// said so. Tests use it; production passes nothing.
using FaultInjector = std::function<int(ReplaceStep)>;

struct ReplaceOutcome {
    enum Kind { Replaced, Declined, Failed };
    Kind kind = Failed;
    ReplaceStep step = ReplaceStep::CheckPaths;  // where it declined or failed
    FileResult error;                            // why (also set when declined)
    int producerCode = 0;
    // True once the new file stands complete under the target name. When Failed with this
    // set, only a late step (flushing the folder, wiping) went wrong: the source may remain.
    bool targetInPlace = false;
    // A temporary file that could not be wiped after a failure; empty normally.
    QString leftover;

    bool replaced() const { return kind == Replaced; }
};

// Turns `source` into a new file under `target` (encryption: photo.jpg -> photo_jpg.mv$;
// decryption the other way). The data exist whole on disk at every moment: the new file is
// produced beside the target, given the source's permissions and modification time,
// flushed, renamed into place, the folder flushed, and only then is the source wiped. Any
// old file under the target name is zeroed after being displaced.
//
// When the target is the source itself (same name), the rename replaces it and the old
// contents are zeroed through a descriptor held from before the rename.
//
// Before the rename, any failure leaves the source untouched and no temporary file behind.
ReplaceOutcome replaceFile(const QString& source, const QString& target, const Producer& produce,
                           const FaultInjector* faults = nullptr);

} // namespace mv
