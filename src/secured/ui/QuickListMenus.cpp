#include "secured/ui/QuickListMenus.h"

#include "secured/QuickListState.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

namespace mv::secured {

QuickListMenus::QuickListMenus(QComboBox* quickList, QuickMenuArray quickItems, QuickMenuArray popItems,
                               QObject* parent)
    : QObject(parent), QuickList_(quickList), quickItems_(quickItems), popItems_(popItems)
{
}

QString QuickListMenus::menuCaption(const QString& title)
{
    // A title shows as typed: an "&" in it is not a shortcut.
    QString caption = title;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void QuickListMenus::RefillQuickList(const QuickListState& state)
{
    QuickList_->clear();
    QuickList_->addItem(tr("Setup Secured Access List"));
    for (int n = 1; n <= state.count(); ++n)
        QuickList_->addItem(state.entry(n).Title, n);
    QuickList_->setCurrentIndex(-1);
    hideMenuItems();
    fill(quickItems_, state.count());
    fill(popItems_, state.count());
}

void QuickListMenus::hideMenuItems()
{
    for (const QuickMenuArray& array : {quickItems_, popItems_}) {
        for (QAction* item : *array.items)
            item->setVisible(false);
    }
}

void QuickListMenus::fill(QuickMenuArray& array, int count)
{
    std::vector<QAction*>& items = *array.items;
    items[0]->setVisible(count > 0);
    for (int j = 1; j <= count; ++j) {
        if (j >= int(items.size())) {
            QAction* item = array.menu->addAction(QString());
            connect(item, &QAction::triggered, this, [this, j] { emit menuItemChosen(j); });
            items.push_back(item);
        }
        items[size_t(j)]->setText(menuCaption(QuickList_->itemText(j)));
        items[size_t(j)]->setVisible(true);
    }
}

} // namespace mv::secured
