// The File menu's "&Encrypt..." and "&Decrypt..." and the Edit menu's "Clear Passwords": the
// dialogs are opened over the main window's file list, the run goes to the progress dialog, and
// afterwards the list is read again with the entry that was on view selected once more.
#pragma once

#include <QObject>

namespace mv::crypto {
class KeyState;
struct EncDecScope;
struct ScopeOptions;
} // namespace mv::crypto

namespace mv::shell {

class MainWindow;

class CryptoCommands : public QObject {
    Q_OBJECT

public:
    CryptoCommands(MainWindow& window, crypto::KeyState& keys);

    void MenuEncrypt_Click();
    void MenuDecrypt_Click();
    void mnuClearKeys_Click();

private:
    [[nodiscard]] crypto::EncDecScope scope(const crypto::ScopeOptions& options) const;
    void relistAndReselect(const QString& shownName);

    MainWindow& window_;
    crypto::KeyState& keys_;
};

} // namespace mv::shell
