#include "shell/ui/ShellCommands.h"

#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
#include "shell/AppSettings.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "widgets/Centering.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>

namespace mv::shell {

ShellCommands::ShellCommands(MainWindow& window) : QObject(&window), window_(window)
{
    MainMenus& m = window_.menus();
    // Auto-Hide flips its own check mark (start-up calls it too), so the click's flip is undone.
    connect(m.MenuAutoHide, &QAction::triggered, this, [this, &m] {
        m.MenuAutoHide->setChecked(!m.MenuAutoHide->isChecked());
        MenuAutoHide_Click();
    });
    connect(m.MenuNewInstance, &QAction::triggered, this, &ShellCommands::MenuNewInstance_Click);
    connect(m.MenuExit, &QAction::triggered, &window_, &QWidget::close);
    connect(m.MenuUnload, &QAction::triggered, &window_, &QWidget::close);
    connect(m.MenuRefresh, &QAction::triggered, this, [this] { window_.browser().MenuRefresh_Click(); });
    connect(m.MenuClear, &QAction::triggered, this, &ShellCommands::MenuClear_Click);
    connect(m.MenuContents, &QAction::triggered, this, &ShellCommands::MenuContents_Click);
    connect(m.mnuHomePage, &QAction::triggered, this, &ShellCommands::mnuHomePage_Click);
    connect(m.MenuAbout, &QAction::triggered, this, &ShellCommands::MenuAbout_Click);
}

QUrl ShellCommands::homePage()
{
    return QUrl(QStringLiteral("https://www.example.com/mirravelnock/"));
}

void ShellCommands::MenuAutoHide_Click()
{
    QAction* a = window_.menus().MenuAutoHide;
    a->setChecked(!a->isChecked());
    window_.settings().setTruth(Setting::AutoHide, a->isChecked());
    window_.setListsHidden(a->isChecked());
}

bool ShellCommands::MenuNewInstance_Click()
{
    // The new copy finds this one running and starts as a plain browser and viewer.
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("/M")});
}

void ShellCommands::MenuContents_Click()
{
    if (!showManual(&window_))
        showHelpMissing(&window_);
}

void ShellCommands::mnuHomePage_Click()
{
    QDesktopServices::openUrl(homePage());
}

void ShellCommands::MenuAbout_Click()
{
    AboutDialog about(&window_);
    widgets::CenterOnOwner(&about, &window_);
    about.exec();
}

void ShellCommands::MenuClear_Click()
{
    // No thumbnail grid can be showing yet; clearing is the picture area's alone.
    window_.ResetView();
    window_.browser().fileList()->setFocus();
}

} // namespace mv::shell
