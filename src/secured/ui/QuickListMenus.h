// The places of the main window that show the Secured Access List: the `QuickList` combo box
// (item 0 opens the setup, then one item per entry carrying its number) and the two menu item
// arrays `MenuQuickItems` (Secured Access menu) and `MenuPopItems` (tray menu), whose item 0
// is a separator shown only while the list has entries.
#pragma once

#include <QObject>

#include <vector>

class QAction;
class QComboBox;
class QMenu;

namespace mv::secured {

class QuickListState;

// A menu and its item array: item 0 is the separator already in the menu; items 1..n are
// made on demand and kept, hidden, when the list shrinks.
struct QuickMenuArray {
    QMenu* menu = nullptr;
    std::vector<QAction*>* items = nullptr;
};

class QuickListMenus : public QObject {
    Q_OBJECT

public:
    QuickListMenus(QComboBox* quickList, QuickMenuArray quickItems, QuickMenuArray popItems,
                   QObject* parent = nullptr);

    // `RefillQuickList`: the combo box and both arrays from the list in memory; the combo box
    // is left with no selection.
    void RefillQuickList(const QuickListState& state);
    // Hides both separators and every entry item (while the setup window changes the list).
    void hideMenuItems();

    // A title as a menu item shows it: an "&" in it stays an "&".
    [[nodiscard]] static QString menuCaption(const QString& title);

signals:
    // Item k (1..count) of either array was chosen.
    void menuItemChosen(int k);

private:
    void fill(QuickMenuArray& array, int count);

    QComboBox* QuickList_;
    QuickMenuArray quickItems_;
    QuickMenuArray popItems_;
};

} // namespace mv::secured
