// The commands that belong to the window itself: Auto-Hide, New Instance, Exit and Unload,
// Refresh, Clear Viewing Area, Help Contents, Home Page and About.
#pragma once

#include <QObject>
#include <QUrl>

namespace mv::shell {

class MainWindow;

class ShellCommands : public QObject {
    Q_OBJECT

public:
    explicit ShellCommands(MainWindow& window);

    // The placeholder address Home Page opens.
    static QUrl homePage();

    void MenuAutoHide_Click();
    // Starts the program's own executable again, minimized; it becomes a second instance.
    bool MenuNewInstance_Click();
    void MenuContents_Click();
    void mnuHomePage_Click();
    void MenuAbout_Click();
    void MenuClear_Click();

private:
    MainWindow& window_;
};

} // namespace mv::shell
