#include "shell/ui/CryptoCommands.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/EncDecPlan.h"
#include "crypto/EncryptedNames.h"
#include "crypto/KeyState.h"
#include "crypto/ui/DecryptDialog.h"
#include "crypto/ui/EncDecProcess.h"
#include "crypto/ui/EncryptDialog.h"
#include "imaging/ui/ImageControl.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"

#include <QAction>
#include <QApplication>

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

CryptoCommands::CryptoCommands(MainWindow& window, crypto::KeyState& keys)
    : QObject(&window), window_(window), keys_(keys)
{
    MainMenus& m = window_.menus();
    m.MenuEncrypt->setEnabled(true);
    m.MenuDecrypt->setEnabled(true);
    connect(m.MenuEncrypt, &QAction::triggered, this, &CryptoCommands::MenuEncrypt_Click);
    connect(m.MenuDecrypt, &QAction::triggered, this, &CryptoCommands::MenuDecrypt_Click);
    connect(m.mnuClearKeys, &QAction::triggered, this, &CryptoCommands::mnuClearKeys_Click);
    connect(&keys_, &crypto::KeyState::keysChanged, m.mnuClearKeys, &QAction::setEnabled);
}

crypto::EncDecScope CryptoCommands::scope(const crypto::ScopeOptions& options) const
{
    browser::BrowserPane& b = window_.browser();
    crypto::EncDecScope s;
    s.folder = b.currentFolder();
    s.spec = b.fileSpec()->currentSpec();
    s.selectedOnly = options.selectedOnly;
    s.includeSubfolders = options.includeSubs;
    const QStringList names = b.fileList()->selectedNames();
    s.selected = QSet<QString>(names.begin(), names.end());
    return s;
}

void CryptoCommands::MenuEncrypt_Click()
{
    const QString shown =
        window_.pictureArea().hasPicture() ? window_.browser().fileList()->currentName() : QString();
    crypto::EncryptDialog dialog(keys_, listState(*window_.browser().fileList()), &window_);
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
    const QString shown =
        window_.pictureArea().hasPicture() ? window_.browser().fileList()->currentName() : QString();
    crypto::DecryptDialog dialog(keys_, listState(*window_.browser().fileList()), &window_);
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
    window_.activateWindow();
    window_.browser().fileList()->setFocus();
    window_.browser().RefreshFileList([this, shownName] {
        if (shownName.isEmpty())
            return;
        // The picture on view may now be listed under its other name.
        browser::FileListView* list = window_.browser().fileList();
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
    keys_.clearKeys();
    window_.ResetView();
    window_.menus().mnuClearKeys->setEnabled(false);
}

} // namespace mv::shell
