// `Confirm`: the new encryption key typed a second time, so a slip of the finger does not
// lock the files away under a key nobody knows.
#pragma once

#include "crypto/SecretText.h"

#include <QDialog>

class QPushButton;

namespace mv::widgets {
class KeyField;
} // namespace mv::widgets

namespace mv::crypto {

class Confirm : public QDialog {
    Q_OBJECT

public:
    explicit Confirm(QWidget* owner = nullptr);

    // Shows the dialog centred over `owner` and returns the key typed, or an empty key when
    // the user cancelled.
    [[nodiscard]] static SecretText ask(QWidget* owner);

    // The key accepted (empty until then, and after a cancel).
    [[nodiscard]] SecretText takeConfirmed() { return std::move(confirmed_); }

    void AcceptBut_Click();
    void reject() override;

private:
    widgets::KeyField* KeyString_;
    QPushButton* AcceptBut_;
    QPushButton* CancelBut_;
    SecretText confirmed_;
};

} // namespace mv::crypto
