// The main window: the list column, the picture area and the information bar, laid out by the
// resize rule, with the menus. It owns the panes and the shell state and hands each command
// class the pieces it works on; each menu item goes to the object that owns what it changes.
// The commands, the start-up and the browser's logic live in classes of their own.
#pragma once

#include "shell/ui/PaneLayout.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QLineEdit;

namespace mv::browser {
class BrowserPane;
} // namespace mv::browser

namespace mv::viewing {
class PictureArea;
class PictureCopy;
class SelectionViewer;
class ThumbnailView;
} // namespace mv::viewing

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::secured {
class QuickListCommands;
class QuickListLauncher;
class QuickListState;
} // namespace mv::secured

namespace mv::sandbox {
class HelperPool;
} // namespace mv::sandbox

namespace mv::widgets {
class JobRunner;
} // namespace mv::widgets

namespace mv::shell {

class AppSettings;
class cSysTray;
class CryptoCommands;
class FullScreenMode;
class MainMenus;
class QuitRequest;
class StartupSequence;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(AppSettings& settings, bool isSecondInstance, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loading, the hand-over of a file from a later copy, and unloading.
    [[nodiscard]] StartupSequence& startup() { return *startup_; }
    // The Secured Access List with its running entries, and what choosing from it does.
    [[nodiscard]] secured::QuickListState& quickListState() { return *quickListState_; }
    [[nodiscard]] secured::QuickListCommands& quickListCommands() { return *quickListCommands_; }
    // Starts the entries of the list; none in a second instance, which may not use the list.
    [[nodiscard]] secured::QuickListLauncher* quickListLauncher() { return quickListLauncher_; }
    // The tray icon; the first copy puts it into the tray once loaded.
    [[nodiscard]] cSysTray& sysTray() { return *cSysTray_; }

    // The thumbnail grid; its gridImage() is what Copy takes while the grid is on show.
    [[nodiscard]] viewing::ThumbnailView& thumbnails() { return *thumbnails_; }

    [[nodiscard]] bool IsSecondInstance() const { return isSecondInstance_; }
    [[nodiscard]] bool IsLoading() const { return isLoading_; }
    void setLoading(bool loading) { isLoading_ = loading; }
    [[nodiscard]] bool ListsHidden() const { return listsHidden_; }
    // Sets `ListsHidden` and runs the layout.
    void setListsHidden(bool hidden);
    [[nodiscard]] int LastWindowState() const { return lastWindowState_; }
    void setLastWindowState(int state) { lastWindowState_ = state; }

    // Exit and Unload: closes whatever is open over the window (cancelling a batch as its
    // Cancel would), then the window, writing the settings.
    void requestQuit();
    // A stop signal: the same, but a program of the Secured Access List that runs is waited
    // for (a bounded time) instead of refusing the close.
    void requestStop();
    // A job that a quit stopped before its end left work undone (a batch cut short, files left
    // plain): the exit status says so.
    [[nodiscard]] bool workLeftUndone() const;

    // `Form_Resize`: lays the panes out for the window's present size and stores the settings.
    void Form_Resize();
    // Writes the window's settings; does nothing while loading or in a second instance.
    void SaveSettings();
    // The banner line: the program's name and version.
    [[nodiscard]] static QString bannerLine();

    // The geometry in twips, as stored: the window's own, without the frame. The desktop adds
    // its frame after the window is shown, so a geometry that counted the frame would grow and
    // move by it at every start. A stored geometry that no screen shows any more is put on
    // the screens (ScreenFit.h).
    [[nodiscard]] QRect windowGeometryTwips() const;
    void setWindowGeometryTwips(const QRect& twips);

signals:
    // The window is about to unload: the start-up sequence writes back what it must.
    void unloading();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanes();
    void connectPanes();
    void connectMenus(CryptoCommands& cryptoCommands);
    void connectThumbnails();
    void autoHideFromPicture();
    // A left click on the tray icon brings the window back; the tray shows the right button's menu.
    void cSysTray_MouseUp(int button, int id);
    // A minimized first copy lives in the tray while its icon is really shown there, and on the
    // task bar otherwise (no tray on this desktop, or its panel ended).
    void placeMinimized();
    [[nodiscard]] int outerWidthTwips() const;

    AppSettings& settings_;
    const bool isSecondInstance_;
    // The decoder helpers, above every part that decodes in them and gone after them all.
    std::unique_ptr<sandbox::HelperPool> decoders_;
    widgets::JobRunner* jobs_ = nullptr;
    bool isLoading_ = false;
    bool listsHidden_ = false;
    int lastWindowState_ = 0;
    bool toldSettingsUnsaved_ = false;
    // A stop signal waited its time for the listed programs: the window closes with them.
    bool leavingPrograms_ = false;

    QWidget* surface_ = nullptr;
    QComboBox* quickList_ = nullptr;
    QLineEdit* fileInfoBar_ = nullptr;
    browser::BrowserPane* browser_ = nullptr;
    viewing::PictureArea* picture_ = nullptr;
    MainMenus* menus_ = nullptr;
    viewing::SelectionViewer* viewer_ = nullptr;
    viewing::PictureCopy* pictureCopy_ = nullptr;
    viewing::ThumbnailView* thumbnails_ = nullptr;
    crypto::KeyState* keys_ = nullptr;
    secured::QuickListState* quickListState_ = nullptr;
    secured::QuickListCommands* quickListCommands_ = nullptr;
    secured::QuickListLauncher* quickListLauncher_ = nullptr;
    StartupSequence* startup_ = nullptr;
    QuitRequest* quit_ = nullptr;
    cSysTray* cSysTray_ = nullptr;
    FullScreenMode* fullScreen_ = nullptr;
    PaneLayout layout_ {Panes {}};
};

} // namespace mv::shell
