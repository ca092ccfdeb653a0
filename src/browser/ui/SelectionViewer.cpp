#include "browser/ui/SelectionViewer.h"

#include "browser/TypeTable.h"
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/PictureArea.h"
#include "crypto/EncryptedNames.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

namespace mv::browser {

namespace {

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

SelectionViewer::SelectionViewer(BrowserPane& browser, PictureArea& area, QLineEdit* infoBar,
                                 QWidget* dialogOwner)
    : QObject(dialogOwner), browser_(browser), area_(area), infoBar_(infoBar), owner_(dialogOwner)
{
    openWithDesktop = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    connect(browser_.fileList(), &FileListView::currentNameChanged, this, &SelectionViewer::FileList_Click);
    connect(browser_.fileList(), &FileListView::nameDoubleClicked, this, &SelectionViewer::FileList_DblClick);
}

QString SelectionViewer::selectedPath() const
{
    const QString name = browser_.fileList()->currentName();
    if (name.isEmpty())
        return {};
    QString folder = browser_.currentFolder();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + name;
}

void SelectionViewer::FileList_Click()
{
    unsupportedSelected_ = false;
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        area_.resetView();
        QMessageBox::warning(owner_, tr("Mirravelnock!"), tr("Unable to read this file."));
        return;
    }
    WaitCursor wait;
    const QString name = info.fileName();
    if (crypto::HasEncryptedName(name)) {
        area_.resetView();
        return;
    }
    if (!IsViewableName(name)) {
        unsupportedSelected_ = true;
        area_.resetView();
        infoBar_->setText(tr("You must double click to run unsupported files"));
        return;
    }
    // The information line of a shown picture comes with the full viewing pipeline; until
    // then the bar keeps the banner.
    if (!area_.showPicture(path)) {
        area_.resetView();
        infoBar_->setText(tr("Error reading this file!"));
    } else {
        infoBar_->setText(bannerText);
    }
}

void SelectionViewer::FileList_DblClick()
{
    if (!unsupportedSelected_)
        return;
    area_.resetView();
    if (!openWithDesktop(selectedPath()))
        QMessageBox::warning(owner_, tr("Mirravelnock!"), tr("Unable to run or view this file"));
}

} // namespace mv::browser
