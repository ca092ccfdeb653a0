// The main window's list and menus, and choosing from them: item 0 opens the setup, after
// which the combo box and both menus show what the setup made of the list; an entry is handed
// on, also when chosen twice; nothing is chosen while loading.
#include "secured/ui/QuickListCommands.h"
#include "crypto/KeyState.h"
#include "secured/QuickListState.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;

QStringList shown(const std::vector<QAction*>& items)
{
    QStringList texts;
    for (QAction* item : items)
        texts << (item->isVisible() ? item->text() : u"(hidden)"_s);
    return texts;
}

TEST(QuickListCommandsTest, TheListShowsWhatTheSetupMadeAndEntriesAreHandedOn)
{
    QWidget window;
    auto* combo = new QComboBox(&window);
    QMenu quickMenu, popMenu;
    std::vector<QAction*> quickItems {quickMenu.addSeparator()}, popItems {popMenu.addSeparator()};
    QuickListState state;
    crypto::KeyState keys;
    int focused = 0;
    QuickListCommands commands(state, keys, combo, {&quickMenu, &quickItems}, {&popMenu, &popItems}, &window,
                               false, [&] { ++focused; });
    commands.RefillQuickList();
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), u"Setup Secured Access List"_s);
    EXPECT_EQ(shown(quickItems), QStringList {u"(hidden)"_s}) << "no separator without entries";
    window.show();

    QStringList duringSetup;
    commands.showSetup = [&] {
        duringSetup = shown(popItems);
        for (const QString& title : {u"Editor"_s, u"Tom & Jerry"_s}) {
            QuickItem added;
            added.Title = title;
            state.appendEntry(added);
        }
    };
    // From the keyboard: an arrow opens the list, where Enter chooses.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_TRUE(combo->view()->isVisible());
    EXPECT_EQ(combo->currentIndex(), -1) << "nothing chosen by the arrow itself";
    combo->view()->setCurrentIndex(combo->model()->index(0, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_EQ(duringSetup, QStringList {u"(hidden)"_s});
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemData(2).toInt(), 2);
    EXPECT_EQ(combo->currentIndex(), -1);
    const QStringList items {QString(), u"Editor"_s, u"Tom && Jerry"_s}; // a title's "&" is no shortcut
    EXPECT_EQ(shown(quickItems), items);
    EXPECT_EQ(shown(popItems), items);
    EXPECT_EQ(focused, 1);

    QSignalSpy chosen(&state, &QuickListState::entryChosen);
    commands.QuickListBusy = true;
    quickItems[2]->trigger();
    EXPECT_EQ(chosen.size(), 0) << "ignored while loading";
    commands.QuickListBusy = false;
    quickItems[2]->trigger();
    popItems[2]->trigger();
    QTest::keyClick(combo, Qt::Key_Down);
    combo->view()->setCurrentIndex(combo->model()->index(1, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 3);
    EXPECT_EQ(chosen[1][0].toInt(), 2) << "the same entry twice is chosen twice";
    EXPECT_EQ(chosen[2][0].toInt(), 1);
    EXPECT_EQ(combo->currentIndex(), -1);

    commands.showSetup = [&] {
        while (state.count() > 0)
            state.deleteEntry(1);
    };
    commands.MenuSetupQuick_Click();
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(shown(quickItems), (QStringList {u"(hidden)"_s, u"(hidden)"_s, u"(hidden)"_s}));
}

} // namespace
} // namespace mv::secured
