// The question every encryption and decryption run asks before another file under the target
// name is replaced: the batch's progress window and the list jobs' status window.
#pragma once

#include "crypto/EncDecBatch.h"

class QWidget;

namespace mv::crypto {

// Asks over `owner`, titled as it is, whether the work on `file` may replace `target`.
// Skip is the default; closing the question cancels.
EncDecCallbacks::ReplaceAnswer askReplaceQuestion(QWidget* owner, const QString& file, const QString& target);

} // namespace mv::crypto
