// The commands that belong to the window itself: Auto-Hide, New Instance, Exit and Unload,
// Help Contents, Home Page and About. (Refresh goes to the browser pane and Clear Viewing Area
// to the viewer, which own what they change.)
#pragma once

#include <QObject>
#include <QUrl>

namespace mv::shell {

class AppSettings;
class MainMenus;
class MainWindow;

class ShellCommands : public QObject {
    Q_OBJECT

public:
    // Connects its items of `menus`; Auto-Hide is stored in `settings`.
    ShellCommands(MainWindow& window, MainMenus& menus, AppSettings& settings);

    // The placeholder address Home Page opens.
    static QUrl homePage();

    void MenuAutoHide_Click();
    // Starts the program's own executable again, minimized; it becomes a second instance.
    bool MenuNewInstance_Click();
    void MenuContents_Click();
    void mnuHomePage_Click();
    void MenuAbout_Click();

private:
    MainWindow& window_;
    MainMenus& menus_;
    AppSettings& settings_;
};

} // namespace mv::shell
