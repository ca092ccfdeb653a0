// What choosing from the main window's Secured Access List does: the `QuickList` combo box,
// the "Setup Secured Access List" menu command and the entry items of the Secured Access and
// tray menus all end in QuickList_Click. Item 0 opens the setup window; every other item
// hands its entry to QuickListState::chooseEntry, where the launch takes it.
#pragma once

#include "secured/ui/QuickListMenus.h"

#include <QObject>

#include <functional>

class QComboBox;
class QWidget;

namespace mv::crypto {
class KeyState;
} // namespace mv::crypto

namespace mv::secured {

class QuickListState;

class QuickListCommands : public QObject {
    Q_OBJECT

public:
    // `window` owns the windows opened here; a second instance of the program may not use the
    // list; `focusFileList` gives the keyboard back to the main window's file list.
    QuickListCommands(QuickListState& state, crypto::KeyState& keys, QComboBox* quickList,
                      QuickMenuArray quickItems, QuickMenuArray popItems, QWidget* window,
                      bool isSecondInstance, std::function<void()> focusFileList);

    // `LoadQuickList`: the list from the store into the combo box and the menus.
    void LoadQuickList();
    // `RefillQuickList`: the combo box and the menus from the list in memory.
    void RefillQuickList();

    // `QuickList_Click`: the combo box's selection, wherever it came from.
    void QuickList_Click();
    // `MenuSetupQuick_Click`: selects item 0.
    void MenuSetupQuick_Click();
    // `MenuQuickItems_Click`, `MenuPopItems_Click`: select entry k, even if it was selected.
    void MenuQuickItems_Click(int k);

    // `QuickListBusy`: while set, selections in the combo box are ignored (during loading).
    bool QuickListBusy = false;

    // The setup window and the messages, replaceable by tests.
    std::function<void()> showSetup;
    std::function<void(const QString& text)> tell;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void select(int index);
    void clearSelection();
    void refuse(const QString& text);

    QuickListState& state_;
    QComboBox* QuickList_;
    QWidget* window_;
    const bool isSecondInstance_;
    std::function<void()> focusFileList_;
    QuickListMenus* menus_;
};

} // namespace mv::secured
