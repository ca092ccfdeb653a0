#pragma once

#include "fileio/SystemCalls.h"
#include "fileutil/FileResult.h"

#include <QString>

#include <functional>

namespace mv::fileutil {

// The steps of a replacement, in the order they run.
enum class ReplaceStep {
    CheckPaths,     // source is a regular file with one name; target is not a folder or link
    Lock,           // the source is ours alone: no other run works on it
    CreateTemp,     // the new file, unnamed (or hidden) beside the target
    Produce,        // the producer writes the new contents into it
    CheckSource,    // the source was not written to while it was read
    CopyAttributes, // source's permission bits and times onto the new file
    PutInPlace,     // flushed, named, folder flushed, a replaced old file zeroed
    WipeSource,     // the source is destroyed (or, when the new file replaced it, zeroed)
};

// Plain words for a step, as they appear in the outcome's error.
QString replaceStepText(ReplaceStep step);

// What the producer did with the new file.
struct [[nodiscard]] ProduceResult {
    enum Kind {
        Written,
        Declined,
        Failed
    };
    Kind kind = Failed;
    int code = 0;      // the producer's own code (e.g. the engine's result)
    FileResult status; // why it declined or failed; its step, when set, is the producer's own

    static ProduceResult written(int code = 1) { return {Written, code, {}}; }
    static ProduceResult declined(int code, const QString& reason)
    {
        return {Declined, code, failureOf({}, reason)};
    }
    static ProduceResult failed(int code, const QString& reason)
    {
        return {Failed, code, failureOf({}, reason)};
    }
    static ProduceResult failed(int code, FileResult why) { return {Failed, code, std::move(why)}; }
};

// Reads the source from the descriptor the replacement holds (never by name again) and
// writes the new contents into `outputFd`, an empty file. Neither descriptor is closed.
using Producer = std::function<ProduceResult(int sourceFd, int outputFd)>;

// Consulted before each step: a non-zero errno makes that step fail as if the system had said so.
using FaultInjector = std::function<int(ReplaceStep)>;

struct ReplaceOptions {
    // The user agreed to replace a different file already under the target name. Without
    // it such a file is never touched and the outcome is TargetExists.
    bool replaceExisting = false;
    // The new contents are private (decrypted text): zeroed if the new file is discarded.
    bool privateOutput = false;
    // Test seams, for this call only; production code sets neither. `fault` fails whole steps;
    // `calls` (null: the system's) makes the new file's own writes, flushes and renames fail.
    FaultInjector fault;
    fileio::SystemCalls* calls = nullptr;
};

struct [[nodiscard]] ReplaceOutcome {
    enum Kind {
        Replaced,
        Declined,      // the producer declined; nothing changed
        TargetExists,  // another file holds the target name and may not be replaced
        InUse,         // another run works on the source
        SourceChanged, // the source was written to or replaced while the work went on
        Failed
    };
    Kind kind = Failed;
    ReplaceStep step = ReplaceStep::CheckPaths; // where it stopped
    FileResult status; // why (also set when it stopped for a reason other than failure);
                       // status.leftover names a file left behind
    int producerCode = 0;
    // True once the new file stands complete under the target name. When it stopped later,
    // only a late step (flushing the folder, wiping) went wrong: the source may remain.
    bool targetInPlace = false;

    bool replaced() const { return kind == Replaced; }
};

// Turns `source` into a new file under `target` (encryption: photo.jpg -> photo_jpg.mv$;
// decryption the other way). The source is opened once and locked; the producer reads that
// descriptor. The data exist whole on disk at every moment: the new file is produced beside
// the target, given the source's permissions and modification time, flushed, put in place,
// the folder flushed, and only then is the source wiped, if its name still holds the very
// file that was read, unchanged.
//
// When the target is the source itself (same name), the new file replaces it and the old
// contents are zeroed through a descriptor held from before.
//
// Before the new file is in place, any failure leaves the source untouched and no new file.
ReplaceOutcome replaceFile(const QString& source, const QString& target, const Producer& produce,
                           const ReplaceOptions& options = {});

} // namespace mv::fileutil
