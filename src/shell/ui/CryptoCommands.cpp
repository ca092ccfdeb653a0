#include "shell/ui/CryptoCommands.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/EncDecPlan.h"
#include "crypto/EncryptedNames.h"
#include "crypto/KeyState.h"
#include "crypto/ui/Decrypt.h"
#include "crypto/ui/EncDecProcess.h"
#include "crypto/ui/Encrypt.h"
#include "viewing/ui/SelectionViewer.h"

#include <QApplication>
#include <QScopeGuard>
#include <QWidget>

namespace mv::shell {

namespace {

crypto::FileListState listState(const browser::FileListView& list)
{
    if (list.names().isEmpty())
        return crypto::FileListState::Empty;
    return list.selectedNames().isEmpty() ? crypto::FileListState::NoneSelected
                                          : crypto::FileListState::SomeSelected;
}

} // namespace

CryptoCommands::CryptoCommands(browser::BrowserPane& browser, viewing::SelectionViewer& viewer,
                               crypto::KeyState& keys, QWidget* window)
    : QObject(window), browser_(browser), viewer_(viewer), keys_(keys), window_(window)
{
}

crypto::EncDecScope CryptoCommands::scope(const crypto::ScopeOptions& options) const
{
    crypto::EncDecScope s;
    s.folder = browser_.currentFolder();
    s.spec = browser_.fileSpec()->currentSpec();
    s.selectedOnly = options.selectedOnly;
    s.includeSubfolders = options.includeSubs;
    const QStringList names = browser_.fileList()->selectedNames();
    s.selected = QSet<QString>(names.begin(), names.end());
    return s;
}

void CryptoCommands::MenuEncrypt_Click()
{
    const QString shown = viewer_.nameOnView();
    crypto::Encrypt dialog(keys_, listState(*browser_.fileList()), window_);
    dialog.setRunner(
        [this](QWidget* owner, const crypto::ScopeOptions& options, const crypto::SecretText& key) {
            crypto::EncDecJob job;
            job.encrypt = true;
            job.key = key;
            job.scope = scope(options);
            crypto::EncDecProcess(std::move(job), owner).run();
        });
    dialog.exec();
    relistAndReselect(shown);
}

void CryptoCommands::MenuDecrypt_Click()
{
    // The window shows the hourglass until the command returns (the dialog keeps its own
    // pointer; the run shows the hourglass everywhere while it works).
    window_->setCursor(Qt::WaitCursor);
    const auto normalPointer = qScopeGuard([this] { window_->unsetCursor(); });
    const QString shown = viewer_.nameOnView();
    crypto::Decrypt dialog(keys_, listState(*browser_.fileList()), window_);
    dialog.setRunner([this](QWidget* owner, const crypto::ScopeOptions& options) {
        crypto::EncDecJob job;
        job.encrypt = false;
        job.keys = &keys_;
        job.scope = scope(options);
        crypto::EncDecProcess(std::move(job), owner).run();
    });
    dialog.exec();
    relistAndReselect(shown);
}

void CryptoCommands::relistAndReselect(const QString& shownName)
{
    QApplication::processEvents();
    // The keyboard goes back to the file list, also where no window manager hands it back.
    window_->activateWindow();
    browser_.fileList()->setFocus();
    browser_.RefreshFileList([this, shownName] {
        if (shownName.isEmpty())
            return;
        // The picture on view may now be listed under its other name.
        browser::FileListView* list = browser_.fileList();
        const QString plain = crypto::PlainName(shownName);
        for (int row = 0; row < list->names().size(); ++row) {
            if (crypto::PlainName(list->nameAt(row)) == plain) {
                list->selectRow(row);
                return;
            }
        }
    });
}

void CryptoCommands::mnuClearKeys_Click()
{
    // The menu item follows the keys: clearing them disables it.
    keys_.clearKeys();
    viewer_.ResetView();
}

} // namespace mv::shell
