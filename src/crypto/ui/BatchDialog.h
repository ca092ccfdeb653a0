// What the Encrypt and Decrypt dialogs share: the heading, the choice of files, Begin and
// Cancel, and staying open, refusing to close, while the batch they started runs.
#pragma once

#include "crypto/DialogOptions.h"

#include <QDialog>

#include <functional>

class QBoxLayout;
class QLabel;
class QPushButton;

namespace mv::crypto {

class KeyState;
class ScopeBox;

class BatchDialog : public QDialog {
    Q_OBJECT

public:
    [[nodiscard]] ScopeOptions options() const;
    // `Busy`: set while the batch started from this dialog runs.
    [[nodiscard]] bool Busy() const { return busy_; }

    void reject() override;

protected:
    // `prefix` names the dialog and its options ("Encrypt", "Decrypt").
    BatchDialog(KeyState& keys, const QString& title, const QString& heading, const QString& selectedText,
                const QString& allText, const QString& prefix, FileListState list, QWidget* owner);

    // Room between the choice of files and the buttons, for what a dialog adds.
    [[nodiscard]] QBoxLayout* extraRows() const { return extraRows_; }
    [[nodiscard]] QWidget* lastScopeControl() const;
    // Puts Begin and Cancel after `lastBeforeButtons` in the Tab order, sizes the dialog to
    // its contents and centres it over its owner; call once the dialog is built.
    void finishLayout(QWidget* lastBeforeButtons);

    // Runs `batch` with the hourglass and `Busy` set and `EncryptMode` as given, then closes
    // the dialog: the batch reads what the dialog holds until it returns.
    void runBatch(bool encrypt, const std::function<void()>& batch);

    KeyState& keys_;
    QPushButton* BeginBut_;
    QPushButton* CancelBut_;

private:
    ScopeBox* scope_;
    QBoxLayout* extraRows_;
    bool busy_ = false;
};

} // namespace mv::crypto
