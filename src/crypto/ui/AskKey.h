// `AskKey`: the key for a file that none of the keys typed so far opens. Every decryption
// path shows it; on return the caller tests `KeyCancelled` and, if clear, tries the keys again,
// the new one among them.
#pragma once

#include <QDialog>

class QPushButton;

namespace mv::widgets {
class KeyField;
} // namespace mv::widgets

namespace mv::crypto {

class KeyState;

class AskKey : public QDialog {
    Q_OBJECT

public:
    explicit AskKey(KeyState& keys, QWidget* owner = nullptr);

    // Shows the dialog centred over `owner`; returns whether a key was added or was already
    // known (that is, whether `KeyCancelled` is clear).
    static bool ask(KeyState& keys, QWidget* owner);

    void DecryptBut_Click();
    void reject() override;

private:
    KeyState& keys_;
    widgets::KeyField* KeyString_;
    QPushButton* DecryptBut_;
    QPushButton* CancelBut_;
};

} // namespace mv::crypto
