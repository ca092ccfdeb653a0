#include "browser/ui/BrowserPane.h"

#include "browser/FolderChain.h"
#include "browser/ui/DirListBox.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QShortcut>
#include <QThread>

namespace mv::browser {

namespace {

QString cleanFolder(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

} // namespace

BrowserPane::BrowserPane(QWidget* surface)
    : QObject(surface), driveList_(new QComboBox(surface)), pathLine_(new QLineEdit(surface)),
      dirList_(new DirListBox(surface)), fileSpec_(new TypeFilterBox(surface)),
      fileList_(new FileListView(surface))
{
    driveList_->setAccessibleName(tr("Drives"));
    pathLine_->setAccessibleName(tr("Folder path"));
    pathLine_->setPlaceholderText(tr("Type a folder (Ctrl+L)"));
    dirList_->setAccessibleName(tr("Folders"));
    fileSpec_->setAccessibleName(tr("File types"));
    fileList_->setAccessibleName(tr("Files"));

    fillDrives();
    connect(driveList_, &QComboBox::activated, this, &BrowserPane::DriveList_Change);
    connect(dirList_, &DirListBox::openRequested, this, [this](const QString& path) {
        if (setFolder(path))
            return;
        emit folderRefused(tr("The folder %1 can't be opened.").arg(path));
    });
    connect(pathLine_, &QLineEdit::returnPressed, this, &BrowserPane::pathLineEntered);
    auto* toPath = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), surface);
    connect(toPath, &QShortcut::activated, this, [this] {
        pathLine_->setFocus();
        pathLine_->selectAll();
    });
    // Files moved out by a drag have left the folder: list it again.
    connect(fileList_, &FileListView::filesMovedOut, this, &BrowserPane::MenuRefresh_Click);
    connect(fileSpec_, &TypeFilterBox::specChosen, this, [this] {
        RefreshFileList([this] {
            fileList_->setFocus();
            emit specChanged();
        });
    });
    connect(&watcher_, &QFutureWatcher<fileutil::Listing>::finished, this, [this] {
        const fileutil::Listing result = watcher_.result();
        if (result.folder != folder_ || result.spec != fileSpec_->currentSpec() || !onReady_)
            return; // overtaken by a newer request
        auto apply = std::move(onReady_);
        onReady_ = nullptr;
        pending_ = false;
        emit busyChanged(false);
        apply(result);
    });
}

void BrowserPane::fillDrives()
{
    drives_ = mountedDrives();
    const QSignalBlocker block(driveList_);
    driveList_->clear();
    for (const Drive& d : drives_)
        driveList_->addItem(d.name == d.mountPoint ? d.name : tr("%1 (%2)").arg(d.name, d.mountPoint),
                            d.mountPoint);
    selectDriveOf(folder_);
}

void BrowserPane::selectDriveOf(const QString& path)
{
    const QString root = driveOf(path, drives_);
    const QSignalBlocker block(driveList_);
    driveList_->setCurrentIndex(driveList_->findData(root));
}

QString BrowserPane::fileSpecTag() const
{
    return fileSpec_->tag();
}

void BrowserPane::DriveList_Change(int index)
{
    const QString root = driveList_->itemData(index).toString();
    if (!setFolder(root, [this] { dirList_->setFocus(); }))
        selectDriveOf(folder_); // a drive that can't be opened: back to the one in use, silently
}

void BrowserPane::pathLineEntered()
{
    QString typed = pathLine_->text().trimmed();
    if (typed.startsWith(QLatin1String("~/")) || typed == QLatin1String("~"))
        typed = QDir::homePath() + typed.mid(1);
    if (!setFolder(typed))
        emit folderRefused(tr("There is no folder %1.").arg(typed));
}

bool BrowserPane::setFolder(const QString& path, std::function<void()> then)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isExecutable())
        return false;
    folder_ = cleanFolder(path);
    selectDriveOf(folder_);
    pathLine_->setText(folder_);
    list([this, then = std::move(then)](const fileutil::Listing& l) {
        show(l);
        // Coming up from a sub-folder, the way back is highlighted.
        const QString back = upHighlight(folder_, lastPath_);
        if (!back.isEmpty())
            dirList_->highlight(back);
        lastPath_ = folder_;
        if (fileList_->window()->isVisible())
            fileList_->setFocus();
        emit folderChanged();
        if (then)
            then();
    });
    return true;
}

void BrowserPane::RefreshFileList(std::function<void()> then)
{
    if (folder_.isEmpty())
        return;
    list([this, then = std::move(then)](const fileutil::Listing& l) {
        show(l);
        if (then)
            then();
    });
}

void BrowserPane::MenuRefresh_Click()
{
    fillDrives();
    RefreshFileList([this] { fileList_->setFocus(); });
}

void BrowserPane::list(std::function<void(const fileutil::Listing&)> apply)
{
    QFuture<fileutil::Listing> future = startListing(folder_, fileSpec_->currentSpec());
    // A small folder is shown at once, so the list never flickers through an empty state;
    // a large one is shown when ready and the window stays responsive meanwhile.
    for (int waited = 0; waited < kListingWaitMs && !future.isFinished(); waited += 2)
        QThread::msleep(2);
    if (future.isFinished()) {
        if (pending_) {
            pending_ = false;
            onReady_ = nullptr;
            emit busyChanged(false);
        }
        apply(future.result());
        return;
    }
    const bool wasPending = pending_;
    pending_ = true;
    onReady_ = std::move(apply);
    watcher_.setFuture(future);
    if (!wasPending)
        emit busyChanged(true);
}

void BrowserPane::show(const fileutil::Listing& l)
{
    const FolderChain chain = folderChain(folder_, driveOf(folder_, drives_), l.folders);
    dirList_->setFolders(chain.entries.mid(0, chain.current + 1), chain.entries.mid(chain.current + 1));
    fileList_->setNames(l.files);
    fileList_->setFolder(folder_);
    if (l.unlisted > 0)
        emit namesUnlisted(l.unlisted);
    if (!l.leftovers.isEmpty()) {
        QStringList paths;
        for (const QString& name : l.leftovers)
            paths << QDir(folder_).filePath(name);
        emit leftoversFound(paths);
    }
}

} // namespace mv::browser
