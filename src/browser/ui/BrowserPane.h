// The list column's browser: drive list, typed path line, folder list, type filter and file
// list, and what ties them together: opening a folder lists it (off the user-interface thread
// when it takes a while), the filter re-lists, and the folder list highlights the folder the
// user came up from.
#pragma once

#include "browser/DriveTable.h"
#include "browser/ViewListing.h"

#include <QFutureWatcher>
#include <QObject>

#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace mv::browser {

class DirListBox;
class FileListView;
class TypeFilterBox;

class BrowserPane : public QObject {
    Q_OBJECT

public:
    // The widgets are made as children of `surface`; the window places them.
    explicit BrowserPane(QWidget* surface);

    [[nodiscard]] QComboBox* driveList() const { return driveList_; }
    [[nodiscard]] QLineEdit* pathLine() const { return pathLine_; }
    [[nodiscard]] DirListBox* dirList() const { return dirList_; }
    [[nodiscard]] TypeFilterBox* fileSpec() const { return fileSpec_; }
    [[nodiscard]] FileListView* fileList() const { return fileList_; }

    // The folder list's current folder.
    [[nodiscard]] QString currentFolder() const { return folder_; }
    [[nodiscard]] QString fileSpecTag() const;
    [[nodiscard]] QString lastPath() const { return lastPath_; }
    [[nodiscard]] bool listingPending() const { return pending_; }

    // Makes `path` the current folder (`DirList_Change`) and lists it; `then` runs once the
    // file list shows it. A folder that can't be opened is refused: false, nothing changes.
    bool setFolder(const QString& path, std::function<void()> then = {});
    // `RefreshFileList`: lists the current folder again with the current filter.
    void RefreshFileList(std::function<void()> then = {});
    // `MenuRefresh_Click`: reads the drives again, then lists.
    void MenuRefresh_Click();

    // How long the user-interface thread may wait for a listing before it shows the list
    // later, when ready (milliseconds).
    static constexpr int kListingWaitMs = 80;

signals:
    // A folder was opened and listed (`DirList_Change` done): time to store the settings.
    void folderChanged();
    // The filter was chosen or typed and the list refilled.
    void specChanged();
    // A listing is running off the user-interface thread (wait pointer) or has ended.
    void busyChanged(bool busy);
    // The folder holds `count` sub-folders whose names are not valid text: no way into them
    // could be named, so they are not listed.
    void namesUnlisted(int count);
    // The folder listed holds temporary files an interrupted run left (full paths).
    void leftoversFound(const QStringList& paths);
    // A folder the user asked for could not be opened.
    void folderRefused(const QString& message);

private:
    void fillDrives();
    void DriveList_Change(int index);
    void pathLineEntered();
    void list(std::function<void(const fileutil::Listing&)> apply);
    void show(const fileutil::Listing& listing);
    void selectDriveOf(const QString& path);

    QComboBox* driveList_;
    QLineEdit* pathLine_;
    DirListBox* dirList_;
    TypeFilterBox* fileSpec_;
    FileListView* fileList_;

    DriveTable drives_;
    QString folder_;
    QString lastPath_;
    bool pending_ = false;
    QFutureWatcher<fileutil::Listing> watcher_;
    std::function<void(const fileutil::Listing&)> onReady_;
};

} // namespace mv::browser
