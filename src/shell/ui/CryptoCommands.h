// The File menu's "&Encrypt..." and "&Decrypt..." and the Edit menu's "Clear Passwords": the
// dialogs are opened over the window with the browser's file list in mind, the run goes to the
// progress dialog, and afterwards the list is read again with the entry that was on view
// selected once more, under its new name.
#pragma once

#include <QObject>

class QWidget;

namespace mv::browser {
class BrowserPane;
} // namespace mv::browser

namespace mv::viewing {
class SelectionViewer;
} // namespace mv::viewing

namespace mv::crypto {
class KeyState;
struct EncDecScope;
struct ScopeOptions;
} // namespace mv::crypto

namespace mv::shell {

class CryptoCommands : public QObject {
    Q_OBJECT

public:
    // `browser` gives the folder, the filter and the selection to work on; `viewer` the entry
    // on view; `window` owns the dialogs and takes the keyboard back afterwards.
    CryptoCommands(browser::BrowserPane& browser, viewing::SelectionViewer& viewer, crypto::KeyState& keys,
                   QWidget* window);

    void MenuEncrypt_Click();
    void MenuDecrypt_Click();
    void mnuClearKeys_Click();

private:
    [[nodiscard]] crypto::EncDecScope scope(const crypto::ScopeOptions& options) const;
    void relistAndReselect(const QString& shownName);

    browser::BrowserPane& browser_;
    viewing::SelectionViewer& viewer_;
    crypto::KeyState& keys_;
    QWidget* window_;
};

} // namespace mv::shell
