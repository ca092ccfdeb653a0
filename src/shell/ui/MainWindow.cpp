#include "shell/ui/MainWindow.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/DirListBox.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/KeyState.h"
#include "fileutil/ui/DeleteCommand.h"
#include "imaging/ui/ImageControl.h"
#include "sandbox/HelperPool.h"
#include "secured/QuickListState.h"
#include "secured/ui/QuickListCommands.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/AppSettings.h"
#include "shell/Registry.h"
#include "shell/ScreenFit.h"
#include "shell/Twips.h"
#include "shell/Version.h"
#include "shell/WaylandActivation.h"
#include "shell/WindowLayout.h"
#include "shell/WindowSettings.h"
#include "shell/ui/ClearPasswordsKey.h"
#include "shell/ui/CryptoCommands.h"
#include "shell/ui/FullScreenMode.h"
#include "shell/ui/LockForgetting.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MenuKeys.h"
#include "shell/ui/MinimizeKeeper.h"
#include "shell/ui/QuitRequest.h"
#include "shell/ui/ShellCommands.h"
#include "shell/ui/Slideshow.h"
#include "shell/ui/StartupSequence.h"
#include "shell/ui/SysTray.h"
#include "shell/ui/ViewComforts.h"
#include "shell/ui/ViewOptionCommands.h"
#include "viewing/ThumbnailLayout.h"
#include "viewing/ui/PictureArea.h"
#include "viewing/ui/PictureCopy.h"
#include "viewing/ui/SelectionViewer.h"
#include "viewing/ui/ThumbnailGrid.h"
#include "viewing/ui/ThumbnailView.h"
#include "widgets/JobRunner.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>

#include <utility>

namespace mv::shell {

MainWindow::MainWindow(AppSettings& settings, bool isSecondInstance, QWidget* parent)
    : QMainWindow(parent), settings_(settings), isSecondInstance_(isSecondInstance),
      decoders_(std::make_unique<sandbox::HelperPool>())
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(tr("Mirravelnock!"));
    // Before every part that runs jobs: each finds the runner when it is made.
    jobs_ = new widgets::JobRunner(this);
    buildPanes();
    menus_ = new MainMenus(this);
    new MenuKeys(this);
    // Where the platform never says a window is minimized, the window remembers it asked.
    if (onWayland())
        new MinimizeKeeper(this);
    quit_ = new QuitRequest(this, *jobs_);
    quit_->programsRun = [this] { return quickListState_ && quickListState_->PendingCount() > 0; };
    quit_->leavePrograms = [this] {
        leavingPrograms_ = true;
        jobs_->noteUndone();
    };
    cSysTray_ = new cSysTray(this);
    cSysTray_->setTrayTip(tr("Mirravelnock!"));
    cSysTray_->setContextMenu(menus_->MenuPopMenu);
    connect(cSysTray_, &cSysTray::MouseUp, this, &MainWindow::cSysTray_MouseUp);
    connect(cSysTray_, &cSysTray::addedChanged, this, &MainWindow::placeMinimized);
    auto* viewOptions = new ViewOptionCommands(
        *menus_, *picture_, [this] { SaveSettings(); }, this);
    fullScreen_ = new FullScreenMode(this, picture_, browser_->fileList(), [this] { Form_Resize(); });
    auto* shellCommands = new ShellCommands(*this, *menus_, settings_);
    keys_ = new crypto::KeyState(this);
    viewer_ = new viewing::SelectionViewer(*decoders_, *browser_, *picture_, fileInfoBar_, *keys_, this);
    viewer_->bannerText = bannerLine();
    auto* slideshow = new Slideshow(*fullScreen_, *browser_, *viewer_, *picture_, *keys_, this);
    slideshow->letThrough(menus_->mnuClearKeys);
    new ClearPasswordsKey(menus_->mnuClearKeys, this);
    new ViewComforts(*menus_, *viewOptions, *picture_, *fullScreen_, *slideshow,
                     isSecondInstance_ ? nullptr : &settings_, this);
    pictureCopy_ = new viewing::PictureCopy(*picture_, *keys_, *decoders_, this);
    thumbnails_ = new viewing::ThumbnailView(*browser_, *picture_, *viewer_, *keys_, this);
    // Copy takes the grid as a picture while it is on show.
    pictureCopy_->setThumbnailGrid([this] { return thumbnails_->gridImage(); },
                                   [this] { return thumbnails_->gridHoldsDecrypted(); });
    auto* cryptoCommands = new CryptoCommands(*browser_, *viewer_, *keys_, this);
    new fileutil::DeleteCommand(*browser_, *viewer_, menus_->MenuDelete, menus_->mnuSafeDelete, this,
                                [this](bool on) { settings_.setTruth(Setting::SafeDelete, on); });
    quickListState_ = new secured::QuickListState(this);
    quickListCommands_ = new secured::QuickListCommands(
        *quickListState_, *keys_, quickList_, {menus_->MenuQuickList, &menus_->MenuQuickItems},
        {menus_->MenuPopMenu, &menus_->MenuPopItems}, this, isSecondInstance_,
        [this] { browser_->fileList()->setFocus(); });
    if (!isSecondInstance_)
        quickListLauncher_ = new secured::QuickListLauncher(
            *quickListState_, *keys_, this,
            [this] {
                if (!isMinimized())
                    lastWindowState_ = isMaximized() ? 2 : 0;
                showMinimized();
            },
            [this] {
                if (isMinimized())
                    lastWindowState_ == 2 ? showMaximized() : showNormal();
                browser_->fileList()->setFocus();
            },
            [this](const QString& text) { fileInfoBar_->setText(text); });
    startup_ =
        new StartupSequence(*this, settings_, *menus_, *viewOptions, *shellCommands, *browser_, *picture_);
    connectMenus(*cryptoCommands);
    connectThumbnails();
    connectPanes();
    // On a lock, exactly what F8 would do now (nothing while there are no keys to forget).
    auto* lockForgetting = new LockForgetting(
        menus_->mnuForgetOnLock, isSecondInstance_ ? nullptr : &settings_,
        [this, cryptoCommands] {
            if (menus_->mnuClearKeys->isEnabled())
                cryptoCommands->mnuClearKeys_Click();
        },
        this);
    // Only once the window is up and its folder listed: nothing at start waits for a bus.
    connect(startup_, &StartupSequence::loaded, lockForgetting, &LockForgetting::listenOnDesktop);
    // A store that can't be written loses every change from here on; the user hears it once.
    connect(&settings_, &AppSettings::writeFailed, this, [this](const QString& reason) {
        if (std::exchange(toldSettingsUnsaved_, true))
            return;
        const QString folder = QFileInfo(hiveFilePath(HKEY_CURRENT_USER)).absolutePath();
        fileInfoBar_->setText(tr("Settings cannot be saved in %1: %2").arg(folder, reason));
        fileInfoBar_->setCursorPosition(0);
    });

    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    // The designed size is the outer one: the menu bar and the frame are inside it, so the
    // menu bar's height comes off the height given to the window.
    resize(twipsToPixels(kReferenceWidth, dpi),
           twipsToPixels(kReferenceHeight, dpi) - menuBar()->sizeHint().height());
}

MainWindow::~MainWindow()
{
    // Every part goes while the window is whole, and before the decoder helpers, which the
    // viewer, the thumbnails and the clipboard copy decode in; each waits for its own jobs. The
    // window's own layout stays: QMainWindow keeps using it while its children go, and it goes
    // with the window.
    const QObjectList parts = children();
    for (QObject* part : parts) {
        if (part != jobs_ && part != layout())
            delete part;
    }
}

void MainWindow::buildPanes()
{
    surface_ = new QWidget(this);
    surface_->setMouseTracking(true);
    surface_->installEventFilter(this);
    setCentralWidget(surface_);

    quickList_ = new QComboBox(surface_);
    quickList_->setObjectName(QStringLiteral("QuickList"));
    quickList_->setAccessibleName(tr("Secured Access List"));

    browser_ = new browser::BrowserPane(surface_);
    picture_ = new viewing::PictureArea(surface_);
    picture_->imageControl()->setBackColor(Qt::black);

    fileInfoBar_ = new QLineEdit(surface_);
    fileInfoBar_->setObjectName(QStringLiteral("FileInfoBar"));
    fileInfoBar_->setReadOnly(true);
    // Reached with Tab as well, so that a screen reader can read the line out.
    fileInfoBar_->setFocusPolicy(Qt::StrongFocus);
    fileInfoBar_->setAccessibleName(tr("File information"));
    fileInfoBar_->setText(bannerLine());

    layout_ = PaneLayout(Panes {surface_, quickList_, browser_->driveList(), browser_->pathLine(),
                                browser_->dirList(), browser_->fileSpec(), browser_->fileList(), picture_,
                                fileInfoBar_});

    // Tab walks the list column top to bottom; the picture area never takes the keyboard.
    setTabOrder(quickList_, browser_->driveList());
    setTabOrder(browser_->driveList(), browser_->pathLine());
    setTabOrder(browser_->pathLine(), browser_->dirList());
    setTabOrder(browser_->dirList(), browser_->fileSpec());
    setTabOrder(browser_->fileSpec(), browser_->fileList());
}

void MainWindow::connectMenus(CryptoCommands& cryptoCommands)
{
    // The items whose state lives elsewhere than in a command class of the window.
    MainMenus& m = *menus_;
    connect(m.MenuRefresh, &QAction::triggered, browser_, &browser::BrowserPane::MenuRefresh_Click);
    // "Clear Viewing Area" stops a thumbnail build or ends the grid before it clears the picture.
    connect(m.MenuClear, &QAction::triggered, thumbnails_, &viewing::ThumbnailView::MenuClear_Click);
    connect(m.MenuCpoy, &QAction::triggered, pictureCopy_, &viewing::PictureCopy::MenuCpoy_Click);
    m.MenuEncrypt->setEnabled(true);
    m.MenuDecrypt->setEnabled(true);
    connect(m.MenuEncrypt, &QAction::triggered, &cryptoCommands, &CryptoCommands::MenuEncrypt_Click);
    connect(m.MenuDecrypt, &QAction::triggered, &cryptoCommands, &CryptoCommands::MenuDecrypt_Click);
    connect(m.mnuClearKeys, &QAction::triggered, &cryptoCommands, &CryptoCommands::mnuClearKeys_Click);
    connect(m.MenuSetupQuick, &QAction::triggered, quickListCommands_,
            &secured::QuickListCommands::MenuSetupQuick_Click);
    // Clear Passwords can be chosen while there are keys to clear.
    connect(keys_, &crypto::KeyState::keysChanged, m.mnuClearKeys, &QAction::setEnabled);
}

void MainWindow::connectThumbnails()
{
    MainMenus& m = *menus_;
    // The size of the next grid is always the checked item's.
    const auto choose = [this](int i) {
        MainMenus::checkOnly(menus_->mnuTNValue, i);
        thumbnails_->setThumbSize(viewing::kThumbSizes[i]);
    };
    choose(viewing::thumbSizeIndex(
        settings_.numberOrDefault(Setting::ThumbSize).value_or(viewing::kDefaultThumbSize)));
    connect(m.mnuThumb, &QAction::triggered, thumbnails_, &viewing::ThumbnailView::mnuThumb_Click);
    for (int i = 0; i < int(m.mnuTNValue.size()); ++i)
        connect(m.mnuTNValue[size_t(i)], &QAction::triggered, this, [this, i, choose] {
            // `mnuTNValue_Click`: the size of the next grid, stored at once.
            choose(i);
            settings_.setNumber(Setting::ThumbSize, viewing::kThumbSizes[i]);
        });
    connect(thumbnails_, &viewing::ThumbnailView::mouseMovedOverGrid, this, &MainWindow::autoHideFromPicture);
    // After the file list, Tab reaches the grid while it is on show, then the information line.
    setTabOrder(browser_->fileList(), thumbnails_->grid());
    setTabOrder(thumbnails_->grid(), fileInfoBar_);
}

void MainWindow::connectPanes()
{
    connect(picture_, &viewing::PictureArea::focusFileListRequested, this,
            [this] { browser_->fileList()->setFocus(); });
    connect(picture_, &viewing::PictureArea::mouseMovedOverPicture, this, &MainWindow::autoHideFromPicture);
    connect(browser_, &browser::BrowserPane::folderChanged, this, &MainWindow::SaveSettings);
    connect(browser_, &browser::BrowserPane::specChanged, this, &MainWindow::SaveSettings);
    connect(browser_, &browser::BrowserPane::folderRefused, this,
            [this](const QString& message) { QMessageBox::warning(this, tr("Mirravelnock!"), message); });
    connect(browser_, &browser::BrowserPane::namesUnlisted, this, [this](int count) {
        fileInfoBar_->setText(
            tr("%n folder(s) here have names that are not valid text and are not listed; rename "
               "them to open them.",
               nullptr, count));
    });
    connect(browser_, &browser::BrowserPane::busyChanged, this, [this](bool busy) {
        if (busy)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
    });
}

void MainWindow::requestQuit()
{
    quit_->request();
}

void MainWindow::requestStop()
{
    quit_->requestStop();
}

bool MainWindow::workLeftUndone() const
{
    return jobs_->workLeftUndone();
}

QString MainWindow::bannerLine()
{
    return tr("%1 version %2").arg(QString::fromLatin1(kProgramName), QString::fromLatin1(kVersion));
}

void MainWindow::setListsHidden(bool hidden)
{
    listsHidden_ = hidden;
    Form_Resize();
}

int MainWindow::outerWidthTwips() const
{
    return layout_.toTwips(frameGeometry().width());
}

void MainWindow::Form_Resize()
{
    if (fullScreen_ && fullScreen_->active()) {
        fullScreen_->layout(); // the window's own layout comes back with the window
        return;
    }
    if (isMinimized()) {
        // After the state change has run its course: showMinimized() shows the window after it.
        QMetaObject::invokeMethod(this, &MainWindow::placeMinimized, Qt::QueuedConnection);
        // A compositor that places windows itself may leave one it was asked to minimize on
        // screen, at the size it chooses: that one is laid out all the same.
        if (platformPlacesWindows() || isHidden())
            return;
    }
    lastWindowState_ = isMaximized() ? 2 : 0;
    layout_.apply(listsHidden_, outerWidthTwips());
    if (picture_->hasPicture())
        picture_->arrangeImage();
    SaveSettings();
}

void MainWindow::placeMinimized()
{
    if (!isMinimized())
        return;
    if (cSysTray_->isAdded()) {
        hide();
    } else if (isHidden() && cSysTray_->InTray()) {
        // The tray went away with the window in it: the window comes back to the task bar, but
        // not with a decrypted picture on it that nobody asked to see again.
        if (picture_->imageControl()->pictureObject().sensitive)
            viewer_->ResetView();
        thumbnails_->dropDecrypted();
        showMinimized();
    }
}

void MainWindow::cSysTray_MouseUp(int button, int /*id*/)
{
    // The right button's `MenuPopMenu` is shown by the tray itself, at the pointer.
    if (button != 1)
        return;
    if (isMinimized() || isHidden())
        lastWindowState_ == 2 ? showMaximized() : showNormal();
    raise();
    activateWindow();
    // Started minimized, the picture area never took the window's background.
    imaging::ImageControl* control = picture_->imageControl();
    if (control->backColor() == QColor(Qt::black)) {
        QApplication::processEvents();
        control->setBackColor(palette().color(QPalette::Window));
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

QRect MainWindow::windowGeometryTwips() const
{
    const QRect r = geometry();
    return QRect(layout_.toTwips(r.x()), layout_.toTwips(r.y()), layout_.toTwips(r.width()),
                 layout_.toTwips(r.height()));
}

void MainWindow::setWindowGeometryTwips(const QRect& twips)
{
    const double dpi = layout_.dpi();
    // The window's own corner: window managers differ on where a frame goes that is asked for
    // at a point, but put a window asked for there.
    const QRect asked(twipsToPixels(twips.x(), dpi), twipsToPixels(twips.y(), dpi),
                      std::max(1, twipsToPixels(twips.width(), dpi)),
                      std::max(1, twipsToPixels(twips.height(), dpi)));
    QList<QRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    setGeometry(fitOnScreens(asked, screens));
}

void MainWindow::SaveSettings()
{
    if (isLoading_ || isSecondInstance_)
        return;
    WindowSnapshot s;
    // Full screen stores no window geometry: the window returns to the one it had.
    const bool noGeometry = isMinimized() || (fullScreen_ && fullScreen_->active());
    s.state = noGeometry ? WindowSnapshot::Minimized
                         : (isMaximized() ? WindowSnapshot::Maximized : WindowSnapshot::Normal);
    const QRect g = windowGeometryTwips();
    s.positionKnown = platformPlacesWindows();
    s.top = g.top();
    s.left = g.left();
    s.width = g.width();
    s.height = g.height();
    s.folder = browser_->currentFolder();
    s.filterTag = browser_->fileSpecTag();
    const imaging::ImageControl* c = picture_->imageControl();
    s.dither = c->ditherMode();
    s.dct = c->dctMethod();
    s.jpegDither = c->jpegDitherMethod();
    s.zoomIndex = menus_->checkedZoomIndex();
    s.fancyUpsampling = c->jpegFancyUpsampling();
    s.twoPassQuantize = c->jpegTwoPassQuantize();
    settings_.apply(saveSettingsWrites(s));
}

void MainWindow::autoHideFromPicture()
{
    if (menus_->MenuAutoHide->isChecked() && !listsHidden_)
        setListsHidden(true);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == surface_ && event->type() == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->buttons() == Qt::NoButton && menus_->MenuAutoHide->isChecked()) {
            const bool hidden = layout_.listsHiddenAfterMove(
                listsHidden_, layout_.toTwips(int(me->position().x())), outerWidthTwips());
            if (hidden != listsHidden_)
                setListsHidden(hidden);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // `Form_QueryUnload`: the picture is cleared in every case; the close is refused while a
    // program started from the Secured Access List is watched, as its files are still plain.
    picture_->imageControl()->clear();
    // Under a stop signal that waited its time, the files stay plain and named in the run
    // journal; the next start offers to encrypt them once the program has let go of them.
    if (quickListState_->PendingCount() > 0 && !leavingPrograms_) {
        QMessageBox::information(this, tr("Mirravelnock!"), tr("Can not exit now, process still running.."));
        event->ignore();
        return;
    }
    emit unloading();
    event->accept();
    // Closed from the tray while hidden there, the window is no last window to Qt, which would
    // go on running with nothing to show.
    QCoreApplication::quit();
}

} // namespace mv::shell
