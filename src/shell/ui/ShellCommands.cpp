#include "shell/ui/ShellCommands.h"

#include "fileutil/ui/AssociationDialog.h"
#include "secured/ChildReaper.h"
#include "shell/AppSettings.h"
#include "shell/AssociationStore.h"
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

ShellCommands::ShellCommands(MainWindow& window, MainMenus& menus, AppSettings& settings)
    : QObject(&window), window_(window), menus_(menus), settings_(settings)
{
    MainMenus& m = menus_;
    // Auto-Hide flips its own check mark (start-up calls it too), so the click's flip is undone.
    connect(m.MenuAutoHide, &QAction::triggered, this, [this] {
        menus_.MenuAutoHide->setChecked(!menus_.MenuAutoHide->isChecked());
        MenuAutoHide_Click();
    });
    connect(m.MenuNewInstance, &QAction::triggered, this, &ShellCommands::MenuNewInstance_Click);
    connect(m.MenuExit, &QAction::triggered, &window_, &MainWindow::requestQuit);
    connect(m.MenuUnload, &QAction::triggered, &window_, &MainWindow::requestQuit);
    connect(m.MenuContents, &QAction::triggered, this, &ShellCommands::MenuContents_Click);
    connect(m.mnuHomePage, &QAction::triggered, this, &ShellCommands::mnuHomePage_Click);
    connect(m.MenuAbout, &QAction::triggered, this, &ShellCommands::MenuAbout_Click);
    connect(m.mnuAssociation, &QAction::triggered, this, [this] {
        AssociationStore store;
        fileutil::AssociationDialog::runModal(store, &window_);
    });
}

QUrl ShellCommands::homePage()
{
    return QUrl(QStringLiteral("https://www.example.com/mirravelnock/"));
}

void ShellCommands::MenuAutoHide_Click()
{
    QAction* a = menus_.MenuAutoHide;
    a->setChecked(!a->isChecked());
    settings_.setTruth(Setting::AutoHide, a->isChecked());
    window_.setListsHidden(a->isChecked());
}

bool ShellCommands::MenuNewInstance_Click()
{
    // The new copy finds this one running and starts as a plain browser and viewer. It is
    // never our child, so no watch of a listed program can take it for one of the program's.
    return secured::ChildReaper::startNotOurs(QCoreApplication::applicationFilePath(),
                                              {QStringLiteral("/M")});
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

} // namespace mv::shell
