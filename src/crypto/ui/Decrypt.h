// `Decrypt`: which files to decrypt. No key is asked here: every key typed so far is tried
// first, and the key dialog comes up only for a file none of them opens.
#pragma once

#include "crypto/ui/BatchDialog.h"

namespace mv::crypto {

class Decrypt : public BatchDialog {
    Q_OBJECT

public:
    // Runs the batch while the dialog stays open; `dialog` is the owner to centre it on.
    using Runner = std::function<void(QWidget* dialog, const ScopeOptions& options)>;

    Decrypt(KeyState& keys, FileListState list, QWidget* owner = nullptr);

    void setRunner(Runner runner) { runner_ = std::move(runner); }

    void BeginBut_Click();

private:
    Runner runner_;
};

} // namespace mv::crypto
