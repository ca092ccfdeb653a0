// The masked text box every key dialog uses. Its text is handed out once as a SecretText and
// the characters the box held are overwritten at that moment, and again when the dialog goes.
#pragma once

#include "crypto/SecretText.h"

#include <QLineEdit>

class QDialog;
class QPushButton;

namespace mv::widgets {

class KeyField : public QLineEdit {
    Q_OBJECT

public:
    // Keys are at most this long, as they always were.
    static constexpr int kMaxKeyLength = 255;
    // A key shorter than this cannot be chosen for encryption or offered for decryption.
    static constexpr int kMinNewKeyLength = 4;

    explicit KeyField(QWidget* parent = nullptr);
    ~KeyField() override;

    // The typed key; the box is empty afterwards and its characters are overwritten.
    [[nodiscard]] crypto::SecretText takeKey();
    // Empties the box, overwriting its characters first.
    void wipe();
    // Whether the typed key is long enough for a new key.
    [[nodiscard]] bool isLongEnough() const;
};

// Lays out a one-key dialog (Confirm, AskKey): the label over the key box, the accept button
// (the default) and Cancel below, Tab in that order, the key box focused, centred over `owner`.
void layOutKeyDialog(QDialog* dialog, const QString& labelText, KeyField* field, QPushButton* accept,
                     const char* acceptName, QPushButton* cancel, QWidget* owner);

} // namespace mv::widgets
