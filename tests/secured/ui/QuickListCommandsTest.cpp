// Choosing from the main window's list: item 0 opens the setup, after which the list shows
// what the setup made of it; an entry is handed on; nothing is chosen while loading.
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

TEST(QuickListCommandsTest, TheSetupItemOpensTheSetupAndEntriesAreHandedOn)
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
    QuickItem first;
    first.Title = u"Editor"_s;
    state.appendEntry(first);
    commands.RefillQuickList();
    window.show();

    bool menusHiddenDuringSetup = false;
    commands.showSetup = [&] {
        menusHiddenDuringSetup = !quickItems[0]->isVisible() && !quickItems[1]->isVisible();
        QuickItem added;
        added.Title = u"Viewer"_s;
        state.appendEntry(added);
    };
    // From the keyboard: an arrow opens the list, where Enter chooses.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_TRUE(combo->view()->isVisible());
    EXPECT_EQ(combo->currentIndex(), -1) << "nothing chosen by the arrow itself";
    combo->view()->setCurrentIndex(combo->model()->index(0, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_TRUE(menusHiddenDuringSetup);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(quickItems.size(), 3u);
    EXPECT_TRUE(popItems[2]->isVisible());
    EXPECT_EQ(focused, 1);

    QSignalSpy chosen(&state, &QuickListState::entryChosen);
    commands.QuickListBusy = true;
    quickItems[2]->trigger();
    EXPECT_EQ(chosen.size(), 0) << "ignored while loading";
    commands.QuickListBusy = false;
    QTest::keyClick(combo, Qt::Key_Down);
    combo->view()->setCurrentIndex(combo->model()->index(0, 0));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 1);
    EXPECT_EQ(combo->currentIndex(), -1);
}

} // namespace
} // namespace mv::secured
