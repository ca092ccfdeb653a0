// `Encrypt`: which files to encrypt and the key to encrypt them with. A key not typed before
// is confirmed once; a key already in the cache is taken as it is.
#pragma once

#include "crypto/SecretText.h"
#include "crypto/ui/BatchDialog.h"

namespace mv::widgets {
class KeyField;
} // namespace mv::widgets

namespace mv::crypto {

class Encrypt : public BatchDialog {
    Q_OBJECT

public:
    // Runs the batch while the dialog stays open; `dialog` is the owner to centre it on.
    using Runner = std::function<void(QWidget* dialog, const ScopeOptions& options, const SecretText& key)>;

    Encrypt(KeyState& keys, FileListState list, QWidget* owner = nullptr);

    void setRunner(Runner runner) { runner_ = std::move(runner); }
    // The key chosen with Begin: empty until then.
    [[nodiscard]] const SecretText& key() const { return key_; }

    void BeginBut_Click();
    void reject() override;

private:
    // Asks for the key again until it matches; false when the user gave up.
    bool confirmNewKey(const SecretText& key);

    widgets::KeyField* KeyString_;
    Runner runner_;
    SecretText key_;
};

} // namespace mv::crypto
