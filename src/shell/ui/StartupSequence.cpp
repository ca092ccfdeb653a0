#include "shell/ui/StartupSequence.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "browser/ui/TypeFilterBox.h"
#include "imaging/ui/ImageControl.h"
#include "secured/ui/QuickListCommands.h"
#include "secured/ui/QuickListLauncher.h"
#include "shell/AppSettings.h"
#include "shell/HandOver.h"
#include "shell/MakerDefaults.h"
#include "shell/WaylandActivation.h"
#include "shell/WindowSettings.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/ShellCommands.h"
#include "shell/ui/SysTray.h"
#include "shell/ui/ViewOptionCommands.h"
#include "viewing/ui/PictureArea.h"
#include "widgets/Centering.h"
#include "widgets/ProgramIcon.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace mv::shell {

StartupSequence::StartupSequence(MainWindow& window, AppSettings& settings, MainMenus& menus,
                                 ViewOptionCommands& viewOptions, ShellCommands& shellCommands,
                                 browser::BrowserPane& browser, viewing::PictureArea& area)
    : QObject(&window), window_(window), settings_(settings), menus_(menus), viewOptions_(viewOptions),
      shellCommands_(shellCommands), browser_(browser), area_(area)
{
    connect(&window_, &MainWindow::unloading, this, &StartupSequence::Form_Unload);
}

void StartupSequence::Form_Load(const QString& startupFile, bool minimized)
{
    startupFile_ = startupFile;
    minimized_ = minimized;
    // Only a first start writes anything here; a store that can't be written is no reason not to start.
    (void)writeMakerDefaults();
    window_.setLoading(true);
    if (!window_.IsSecondInstance())
        claimInstanceMarker(settings_, QCoreApplication::applicationPid());
    widgets::CenterOnScreen(&window_);
    area_.resetView();

    // From here on a stored value that doesn't fit is passed over and loading goes on.
    window_.quickListCommands().QuickListBusy = true;
    browser_.fileSpec()->chooseEntry(1);
    applyStoredSettings();
    window_.quickListCommands().LoadQuickList();

    if (!minimized_) {
        if (storedState_ == 2)
            window_.showMaximized();
        else
            window_.show();
        // Without a window manager nobody else makes the window active, and its shortcuts
        // would not answer.
        window_.activateWindow();
        QApplication::processEvents();
        // The picture area takes the window's own background.
        area_.imageControl()->setBackColor(window_.palette().color(QPalette::Window));
    }

    const QString lastDir = settings_.text(Setting::LastDir);
    const QString folder = !lastDir.isEmpty() && QFileInfo(lastDir).isDir() ? lastDir : QDir::currentPath();
    if (!browser_.setFolder(folder, [this] { finishLoading(); }) &&
        !browser_.setFolder(QDir::homePath(), [this] { finishLoading(); }))
        finishLoading();
}

void StartupSequence::finishLoading()
{
    window_.setLoading(false);
    window_.quickListCommands().QuickListBusy = false;
    if (!window_.IsSecondInstance()) {
        window_.sysTray().setTrayIcon(widgets::programIcon());
        window_.sysTray().setInTray(true);
    }
    // Minimized to the task bar; the window moves into the tray once a tray shows its icon.
    if (minimized_)
        window_.showMinimized();
    emit loaded();
    if (!startupFile_.isEmpty())
        ShowStartupImage();
    // Files a run cut short left plain are offered once the window is up.
    if (auto* launcher = window_.quickListLauncher())
        QTimer::singleShot(0, launcher, &secured::QuickListLauncher::offerLeftPlain);
}

void StartupSequence::applyStoredSettings()
{
    MainMenus& m = menus_;
    ViewOptionCommands& v = viewOptions_;

    if (auto n = settings_.number(Setting::Dither))
        v.MenuDither_Click(int(*n));
    if (auto n = settings_.number(Setting::Dct))
        v.MenuMethodDCT_Click(int(*n));
    if (auto n = settings_.number(Setting::JpegDither))
        v.MenuMethodDither_Click(int(*n));
    if (auto n = settings_.number(Setting::Zoom))
        v.MenuZoomLevel_Click(int(*n));
    // A toggle is set to the opposite of the stored state, then its handler flips it back.
    if (auto on = settings_.truth(Setting::FancyUpsampling)) {
        m.MenuFancyJPEG->setChecked(!*on);
        v.MenuFancyJPEG_Click();
    }
    if (auto on = settings_.truth(Setting::TwoPassQuantize)) {
        m.MenuQuantizeJPEG->setChecked(!*on);
        v.MenuQuantizeJPEG_Click();
    }
    if (auto on = settings_.truth(Setting::AutoHide)) {
        m.MenuAutoHide->setChecked(!*on);
        shellCommands_.MenuAutoHide_Click();
    }
    applyGeometry();
    if (auto on = settings_.truth(Setting::SafeDelete))
        m.mnuSafeDelete->setChecked(*on);
    if (auto on = settings_.truth(Setting::ForgetKeysOnLock))
        m.mnuForgetOnLock->setChecked(*on);

    const StoredSpec spec = parseStoredSpec(settings_.text(Setting::Spec));
    if (spec.kind == StoredSpec::Kind::Entry && spec.entry >= 0 && spec.entry <= 24)
        browser_.fileSpec()->chooseEntry(spec.entry);
    else if (spec.kind == StoredSpec::Kind::Patterns)
        browser_.fileSpec()->setTyped(spec.patterns);
}

void StartupSequence::applyGeometry()
{
    QRect g = window_.windowGeometryTwips();
    // Where the compositor places windows, a stored position means nothing to it; it stays
    // stored for a desktop that does.
    const bool placeable = platformPlacesWindows();
    const auto top = placeable ? settings_.number(Setting::Top) : std::nullopt;
    const auto left = placeable ? settings_.number(Setting::Left) : std::nullopt;
    const auto width = settings_.number(Setting::Width);
    const auto height = settings_.number(Setting::Height);
    if (top)
        g.moveTop(int(*top));
    if (left)
        g.moveLeft(int(*left));
    // A size of nothing (or less) would make a window nobody can find; it keeps the designed one.
    if (width && *width > 0 && *width < 1'000'000)
        g.setWidth(int(*width));
    if (height && *height > 0 && *height < 1'000'000)
        g.setHeight(int(*height));
    if (top || left || width || height)
        window_.setWindowGeometryTwips(g);
    if (auto state = settings_.number(Setting::State); state && (*state == 0 || *state == 2)) {
        storedState_ = int(*state);
        window_.setLastWindowState(storedState_);
    }
}

void StartupSequence::ShowStartupImage()
{
    const QString file = settings_.readFresh(Setting::StartupImage);
    if (file.isEmpty())
        return;
    // Out of the tray or back from a minimize: a window shown while still counted minimized
    // would ask the compositor to minimize it again.
    if (window_.isMinimized())
        window_.showNormal();
    else
        window_.show();
    window_.raise();
    window_.activateWindow();

    const int slash = int(file.lastIndexOf(QLatin1Char('/')));
    const QString folder = slash < 0 ? browser_.currentFolder() : file.left(slash + 1);
    const QString name = slash < 0 ? file : file.mid(slash + 1);
    // A folder that can't be opened (a drive not mounted) leaves the mailbox for the next try.
    (void)browser_.setFolder(folder, [this, name, file] {
        browser::FileListView* list = browser_.fileList();
        const int row = name.isEmpty() ? -1 : list->find(name);
        if (row >= 0) {
            // Selecting the entry already selected would not count as a change; clear it first.
            if (list->currentRow() == row)
                list->selectRow(-1);
            list->selectRow(row);
            list->setFocus();
        }
        settings_.removeIfEquals(Setting::StartupImage, file);
    });
}

void StartupSequence::Form_Unload()
{
    window_.SaveSettings();
    window_.sysTray().setInTray(false);
    if (!window_.IsSecondInstance())
        releaseInstanceMarker(settings_, QCoreApplication::applicationPid());
    (void)settings_.flush();
}

} // namespace mv::shell
