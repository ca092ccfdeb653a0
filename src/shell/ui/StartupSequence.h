// The main window's way in and out: loading (stored settings applied through the same
// handlers the menus use, the last folder listed, the start-up file shown), the hand-over of a
// file from a later copy, and what is written back at unload.
#pragma once

#include <QObject>
#include <QString>

namespace mv::browser {
class BrowserPane;
} // namespace mv::browser

namespace mv::viewing {
class PictureArea;
} // namespace mv::viewing

namespace mv::shell {

class AppSettings;
class MainMenus;
class MainWindow;
class ShellCommands;
class ViewOptionCommands;

class StartupSequence : public QObject {
    Q_OBJECT

public:
    // Stored settings go to `menus` through the handlers of `viewOptions` and `shellCommands`,
    // to `browser` and to the window itself.
    StartupSequence(MainWindow& window, AppSettings& settings, MainMenus& menus,
                    ViewOptionCommands& viewOptions, ShellCommands& shellCommands,
                    browser::BrowserPane& browser, viewing::PictureArea& area);

    // `Form_Load`. `startupFile` is the completed "/F=" path (or empty); `minimized` is "/M".
    // The window is shown before the last folder is listed, so a huge folder never delays the
    // first paint; `loaded()` follows once the list is filled.
    void Form_Load(const QString& startupFile, bool minimized);
    // Takes the "StartupImage" mailbox and shows that file. A file whose folder can't be
    // opened leaves the mailbox for the next try.
    void ShowStartupImage();

signals:
    void loaded();

private:
    void applyStoredSettings();
    void applyGeometry();
    void finishLoading();
    void Form_Unload();

    MainWindow& window_;
    AppSettings& settings_;
    MainMenus& menus_;
    ViewOptionCommands& viewOptions_;
    ShellCommands& shellCommands_;
    browser::BrowserPane& browser_;
    viewing::PictureArea& area_;
    QString startupFile_;
    bool minimized_ = false;
    int storedState_ = 0;
};

} // namespace mv::shell
