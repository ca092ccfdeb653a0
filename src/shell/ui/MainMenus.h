// The main window's menu bar and the tray pop-up menu: every item with its caption, shortcut,
// initial state and order. The window connects the actions; nothing here acts by itself.
#pragma once

#include <QObject>

#include <array>
#include <vector>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

namespace mv::shell {

class MainMenus : public QObject {
    Q_OBJECT

public:
    explicit MainMenus(QMainWindow* window);

    // File
    QAction* MenuEncrypt = nullptr;
    QAction* MenuDecrypt = nullptr;
    QAction* MenuDelete = nullptr;
    QAction* mnuThumb = nullptr;
    QAction* MenuRefresh = nullptr;
    QAction* MenuAutoHide = nullptr;
    QAction* MenuNewInstance = nullptr;
    QAction* mnuSafeDelete = nullptr;
    QAction* mnuForgetOnLock = nullptr;
    QAction* MenuExit = nullptr;
    // Edit
    QAction* MenuCpoy = nullptr;
    QAction* MenuClear = nullptr;
    QAction* mnuClearKeys = nullptr;
    // Image
    std::array<QAction*, 3> MenuDither {};
    std::array<QAction*, 3> MenuMethodDCT {};
    std::array<QAction*, 3> MenuMethodDither {};
    QAction* MenuFancyJPEG = nullptr;
    QAction* MenuQuantizeJPEG = nullptr;
    std::array<QAction*, 8> mnuTNValue {};
    QAction* mnuAssociation = nullptr;
    // Zoom; the viewer's further commands follow the levels.
    QMenu* MenuZoom = nullptr;
    std::array<QAction*, 12> MenuZoomLevel {};
    // Secured Access: the entries follow the setup item. Item 0 of the array is the
    // separator before them; the Secured Access List adds the entries' items.
    QMenu* MenuQuickList = nullptr;
    QAction* MenuSetupQuick = nullptr;
    std::vector<QAction*> MenuQuickItems;
    // Help
    QAction* MenuContents = nullptr;
    QAction* mnuHomePage = nullptr;
    QAction* MenuAbout = nullptr;

    // The tray icon's pop-up; never in the menu bar.
    QMenu* MenuPopMenu = nullptr;
    QAction* MenuUnload = nullptr;
    QAction* MenuCancel = nullptr;
    std::vector<QAction*> MenuPopItems; // as MenuQuickItems

    // The index of the checked zoom item, 12 when none is.
    [[nodiscard]] int checkedZoomIndex() const;
    // Checks item `index` of a one-of-many array; false (and no change) when out of range.
    template <std::size_t N>
    static bool checkOnly(const std::array<QAction*, N>& items, int index);

private:
    QMenu* buildFile(QMainWindow* window);
    QMenu* buildEdit(QMainWindow* window);
    QMenu* buildImage(QMainWindow* window);
    QMenu* buildZoom(QMainWindow* window);
    QMenu* buildHelp(QMainWindow* window);
    void buildPopMenu(QMainWindow* window);
};

template <std::size_t N>
bool MainMenus::checkOnly(const std::array<QAction*, N>& items, int index)
{
    if (index < 0 || index >= int(N))
        return false;
    for (std::size_t i = 0; i < N; ++i)
        items[i]->setChecked(int(i) == index);
    return true;
}

} // namespace mv::shell
