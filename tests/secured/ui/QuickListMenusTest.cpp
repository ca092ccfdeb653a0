// The main window's combo box and menu items, filled from the list as it changes.
#include "secured/ui/QuickListMenus.h"
#include "secured/QuickListState.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSignalSpy>

namespace mv::secured {
namespace {

using namespace Qt::StringLiterals;

QuickItem titled(const QString& title)
{
    QuickItem i;
    i.Title = title;
    return i;
}

QStringList visibleTexts(const std::vector<QAction*>& items)
{
    QStringList texts;
    for (size_t j = 1; j < items.size(); ++j) {
        if (items[j]->isVisible())
            texts << items[j]->text();
    }
    return texts;
}

// Two arrays, their separators already in their menus, as the main window builds them.
struct Places {
    Places()
    {
        quickItems.push_back(quickMenu.addSeparator());
        popItems.push_back(popMenu.addSeparator());
        for (QAction* separator : {quickItems[0], popItems[0]})
            separator->setVisible(false);
    }
    QComboBox combo;
    QMenu quickMenu;
    QMenu popMenu;
    std::vector<QAction*> quickItems;
    std::vector<QAction*> popItems;
};

// Item 0 opens the setup; each entry's item carries its number; nothing stays selected.
// Menu items follow the list, the separators show only with entries, items of deleted
// entries stay hidden, and a title's "&" is no shortcut.
TEST(QuickListMenusTest, TheComboBoxAndBothMenusFollowTheList)
{
    Places p;
    QuickListState state;
    QuickListMenus menus(&p.combo, {&p.quickMenu, &p.quickItems}, {&p.popMenu, &p.popItems});

    menus.RefillQuickList(state);
    EXPECT_EQ(p.combo.count(), 1);
    EXPECT_EQ(p.combo.itemText(0), u"Setup Secured Access List"_s);
    EXPECT_EQ(p.combo.currentIndex(), -1);
    EXPECT_FALSE(p.quickItems[0]->isVisible());
    EXPECT_FALSE(p.popItems[0]->isVisible());

    for (const QString& t : {u"Editor"_s, u"Tom & Jerry"_s, u"Editor"_s})
        state.appendEntry(titled(t));
    menus.RefillQuickList(state);
    ASSERT_EQ(p.combo.count(), 4);
    for (int j = 1; j <= 3; ++j)
        EXPECT_EQ(p.combo.itemData(j).toInt(), j);
    EXPECT_EQ(p.combo.itemText(2), u"Tom & Jerry"_s);
    EXPECT_EQ(p.combo.currentIndex(), -1);
    EXPECT_TRUE(p.quickItems[0]->isVisible());
    EXPECT_TRUE(p.popItems[0]->isVisible());
    const QStringList shown {u"Editor"_s, u"Tom && Jerry"_s, u"Editor"_s};
    EXPECT_EQ(visibleTexts(p.quickItems), shown);
    EXPECT_EQ(visibleTexts(p.popItems), shown);

    QSignalSpy chosen(&menus, &QuickListMenus::menuItemChosen);
    p.popItems[3]->trigger();
    p.quickItems[3]->trigger();
    ASSERT_EQ(chosen.size(), 2) << "the same entry twice is chosen twice";
    EXPECT_EQ(chosen[1][0].toInt(), 3);

    ASSERT_TRUE(state.deleteEntry(1));
    ASSERT_TRUE(state.deleteEntry(1));
    ASSERT_TRUE(state.deleteEntry(1));
    menus.RefillQuickList(state);
    EXPECT_EQ(p.combo.count(), 1);
    EXPECT_EQ(visibleTexts(p.quickItems), QStringList());
    EXPECT_FALSE(p.quickItems[0]->isVisible());
    EXPECT_EQ(p.quickItems.size(), 4u) << "made once, kept hidden";
}

} // namespace
} // namespace mv::secured
