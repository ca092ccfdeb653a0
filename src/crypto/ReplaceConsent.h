// Replacing another file that holds the target name only with the user's consent: the batch
// and the list jobs ask the same question and give its answers the same meaning.
#pragma once

#include "crypto/FileCrypt.h"

#include <QString>

#include <functional>

namespace mv::crypto {

// Implemented by a job's window. Called on the thread that runs the job.
class ReplaceAsker {
public:
    enum class ReplaceAnswer {
        Replace,
        ReplaceAll,
        Skip,
        Cancel
    };
    virtual ~ReplaceAsker() = default;
    // `target` holds another file; the work on `file` would replace it.
    virtual ReplaceAnswer askReplace(const QString& file, const QString& target) = 0;
};

// The answers of one run that outlast the file they were given for.
struct ReplaceConsent {
    bool replaceAll = false; // "Replace All": later files replace without asking
    bool cancelled = false;  // "Cancel": the run ends after this file
};

// Runs `work` with `options`, replacing an existing target only after "Replace All". When
// another file holds the target name, asks `asker`: "Replace" and "Replace All" run `work`
// again with replacement allowed; "Skip" and "Cancel" return the TargetExists outcome, the
// other file untouched. Returns the last outcome of `work`.
CryptOutcome withConsent(const QString& file, CryptOptions options, ReplaceConsent& consent,
                         ReplaceAsker& asker, const std::function<CryptOutcome(const CryptOptions&)>& work);

} // namespace mv::crypto
