#include "secured/ui/QuickListCommands.h"

#include "secured/QuickListState.h"
#include "secured/ui/SetupQuick.h"
#include "widgets/Centering.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMessageBox>

namespace mv::secured {

QuickListCommands::QuickListCommands(QuickListState& state, crypto::KeyState& keys, QComboBox* quickList,
                                     QuickMenuArray quickItems, QuickMenuArray popItems, QWidget* window,
                                     bool isSecondInstance, std::function<void()> focusFileList)
    : QObject(window), state_(state), QuickList_(quickList), window_(window),
      isSecondInstance_(isSecondInstance), focusFileList_(std::move(focusFileList)),
      menus_(new QuickListMenus(quickList, quickItems, popItems, this))
{
    showSetup = [this, &keys] {
        SetupQuick setup(state_, keys, window_);
        setup.adjustSize();
        widgets::CenterOnOwner(&setup, window_);
        setup.exec();
    };
    tell = [this](const QString& text) { QMessageBox::information(window_, tr("Mirravelnock!"), text); };
    connect(QuickList_, &QComboBox::activated, this, &QuickListCommands::QuickList_Click);
    QuickList_->installEventFilter(this);
    connect(menus_, &QuickListMenus::menuItemChosen, this, &QuickListCommands::MenuQuickItems_Click);
}

bool QuickListCommands::eventFilter(QObject* watched, QEvent* event)
{
    // Every choice here starts something. A closed box would choose the next item at each
    // arrow key or turn of the wheel, and from no selection the first would always be the
    // setup: the arrows open the list instead, where they move and Enter chooses.
    if (watched == QuickList_ && event->type() == QEvent::Wheel)
        return true;
    if (watched == QuickList_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: QuickList_->showPopup(); return true;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void QuickListCommands::LoadQuickList()
{
    state_.LoadQuickList();
    RefillQuickList();
}

void QuickListCommands::RefillQuickList()
{
    const bool busy = QuickListBusy;
    QuickListBusy = true;
    menus_->RefillQuickList(state_);
    QuickListBusy = busy;
}

void QuickListCommands::QuickList_Click()
{
    const int index = QuickList_->currentIndex();
    if (index < 0 || QuickListBusy)
        return;
    if (isSecondInstance_) {
        refuse(tr("Only the first instance of Mirravelnock! can use QuickList"));
        return;
    }
    if (index == 0 && state_.PendingCount() >= 1) {
        refuse(tr("You must first close any pending applications\nbefore seting up the QuickList"));
        return;
    }
    if (index == 0) {
        // Entries may be renumbered in the setup: the menus show none until it is done.
        menus_->hideMenuItems();
        showSetup();
        clearSelection();
        RefillQuickList();
    } else {
        state_.chooseEntry(QuickList_->itemData(index).toInt());
        clearSelection();
    }
    if (window_->isVisible())
        focusFileList_();
}

void QuickListCommands::MenuSetupQuick_Click()
{
    select(0);
}

void QuickListCommands::MenuQuickItems_Click(int k)
{
    select(k);
}

void QuickListCommands::select(int index)
{
    // Cleared first, so that choosing the same item again is a choice again.
    clearSelection();
    QuickList_->setCurrentIndex(index);
    QuickList_Click();
}

void QuickListCommands::clearSelection()
{
    const bool busy = QuickListBusy;
    QuickListBusy = true;
    QuickList_->setCurrentIndex(-1);
    QuickListBusy = busy;
}

void QuickListCommands::refuse(const QString& text)
{
    tell(text);
    clearSelection();
    focusFileList_();
}

} // namespace mv::secured
