// A new file that appears under its name only when it is complete and on disk.
#pragma once

#include "fileio/Status.h"
#include "fileio/SystemCalls.h"
#include "fileio/UniqueFd.h"

#include <string>

#include <sys/types.h>

namespace mv::fileio {

// Every temporary name this program gives a file starts so: ".mv-" + random + ".tmp".
// A later run that meets one knows it for the left-over of a run that was killed.
inline constexpr const char* kTempPrefix = ".mv-";
inline constexpr const char* kTempSuffix = ".tmp";

// What commit() does with a file already under the target name.
enum class Existing {
    Keep,           // leave it: the commit fails with EEXIST and nothing is replaced
    Replace,        // replace it in one atomic rename
    ReplaceAndClear // replace it, then zero its old contents (a sole name only)
};

// The output is made in the target's folder as an unnamed file (O_TMPFILE), so a kill or a
// power cut at any moment leaves nothing behind; where the file system cannot make one, as
// a hidden temporary file, locked while it is written, under a recognisable name.
//
// Who flushes what: the writer only writes. commit() flushes the file, puts it in place,
// flushes the folder and only then clears what it displaced; nothing else syncs.
//
// Creating, flushing, naming, zeroing and removing go through `calls`: the system's own, or a
// test's that makes one of them fail.
class DurableOutput {
public:
    explicit DurableOutput(SystemCalls& calls = systemCalls()) : calls_(calls) {}
    ~DurableOutput(); // discards the file unless committed
    DurableOutput(const DurableOutput&) = delete;
    DurableOutput& operator=(const DurableOutput&) = delete;

    // Creates the empty output, mode `mode`, in `folder`. `clearOnDiscard`: its contents may
    // be private (decrypted text), so a discarded output is zeroed before it goes.
    Status create(const std::string& folder, mode_t mode, bool clearOnDiscard);

    int fd() const { return file_.get(); }
    // The temporary file's path; empty while the output is unnamed or once committed.
    const std::string& tempPath() const { return tempPath_; }

    // Flushes the file, gives it the name `target` in the folder it was made in, flushes
    // the folder, and clears a displaced old file when asked. After a failure before the
    // name is given the output is discarded; `placed()` tells whether the name was given.
    Status commit(const std::string& target, Existing existing);
    bool placed() const { return placed_; }

    // Zeros (when asked at creation), removes and closes the output. Safe to call twice.
    // Returns the path of a temporary file it could not remove (a folder made read-only
    // meanwhile), so the caller can name it; empty normally.
    std::string discard();

private:
    Status makeNamed(mode_t mode);
    Status putInPlace(const std::string& target, Existing existing);
    Status linkUnnamed(const std::string& name);
    int renameNoReplace(const char* from, const char* to);

    SystemCalls& calls_;
    std::string folder_;
    std::string tempPath_;
    UniqueFd dir_;
    UniqueFd file_;
    bool clearOnDiscard_ = false;
    bool placed_ = false;
};

} // namespace mv::fileio
