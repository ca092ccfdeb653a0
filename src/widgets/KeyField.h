// The masked text box every key dialog uses. What is typed goes straight into guarded memory
// (KeyEditBuffer); the box itself holds only a mask of the same length, so the key never sits
// in a QString that grows and leaves copies behind as the user types. Copying, cutting,
// dragging and undo are refused.
#pragma once

#include "crypto/KeyEditBuffer.h"
#include "crypto/SecretText.h"

#include <QLineEdit>

class QDialog;
class QPushButton;

namespace mv::widgets {

class KeyField : public QLineEdit {
    Q_OBJECT

public:
    // Keys are at most this long wherever one is typed, so any key can be typed again to open
    // its files.
    static constexpr int kMaxKeyLength = 255;
    // A key shorter than this cannot be chosen for encryption or offered for decryption.
    static constexpr int kMinNewKeyLength = 4;

    explicit KeyField(QWidget* parent = nullptr);
    ~KeyField() override;

    // The typed key; the box is empty afterwards and its characters are overwritten.
    [[nodiscard]] crypto::SecretText takeKey();
    // The typed key, which stays in the box.
    [[nodiscard]] crypto::SecretText key() const { return typed_.toSecret(); }
    // Empties the box, overwriting its characters first.
    void wipe();
    // Whether the typed key is long enough for a new key.
    [[nodiscard]] bool isLongEnough() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Replaces the selection (or nothing, at the cursor) with `text`.
    void typeOver(QStringView text);
    // Replaces units [from, from + count) and shows the mask with the cursor after the change.
    void edit(int from, int count, QStringView text);
    void paste();
    // Text set from outside (setText, clear) becomes the typed key, and the box shows its mask.
    void adopt(const QString& text);

    bool masking_ = false;
    crypto::KeyEditBuffer typed_ {kMaxKeyLength};
};

// Lays out a one-key dialog (Confirm, AskKey): the label over the key box, the accept button
// (the default) and Cancel below, Tab in that order, the key box focused, centred over `owner`.
void layOutKeyDialog(QDialog* dialog, const QString& labelText, KeyField* field, QPushButton* accept,
                     const char* acceptName, QPushButton* cancel, QWidget* owner);

} // namespace mv::widgets
