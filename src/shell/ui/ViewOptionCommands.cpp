#include "shell/ui/ViewOptionCommands.h"

#include "imaging/ui/ImageControl.h"
#include "shell/ui/MainMenus.h"
#include "viewing/ui/PictureArea.h"

#include <QAction>

namespace mv::shell {

ViewOptionCommands::ViewOptionCommands(MainMenus& menus, viewing::PictureArea& area,
                                       std::function<void()> saveSettings, QObject* parent)
    : QObject(parent), menus_(menus), area_(area), save_(std::move(saveSettings))
{
    for (int i = 0; i < 12; ++i)
        connect(menus_.MenuZoomLevel[i], &QAction::triggered, this, [this, i] { MenuZoomLevel_Click(i); });
    connect(&area_, &viewing::PictureArea::zoomStepRequested, this, &ViewOptionCommands::zoomStep);
    for (int i = 0; i < 3; ++i) {
        connect(menus_.MenuDither[i], &QAction::triggered, this, [this, i] { MenuDither_Click(i); });
        connect(menus_.MenuMethodDCT[i], &QAction::triggered, this, [this, i] { MenuMethodDCT_Click(i); });
        connect(menus_.MenuMethodDither[i], &QAction::triggered, this,
                [this, i] { MenuMethodDither_Click(i); });
    }
    // Qt has already flipped a toggle's check mark when `triggered` arrives. The handlers flip
    // it themselves, because start-up calls them too, so the click's flip is undone first.
    connect(menus_.MenuFancyJPEG, &QAction::triggered, this, [this](bool) {
        menus_.MenuFancyJPEG->setChecked(!menus_.MenuFancyJPEG->isChecked());
        MenuFancyJPEG_Click();
    });
    connect(menus_.MenuQuantizeJPEG, &QAction::triggered, this, [this](bool) {
        menus_.MenuQuantizeJPEG->setChecked(!menus_.MenuQuantizeJPEG->isChecked());
        MenuQuantizeJPEG_Click();
    });
}

bool ViewOptionCommands::MenuZoomLevel_Click(int index)
{
    if (!area_.setZoomIndex(index))
        return false;
    MainMenus::checkOnly(menus_.MenuZoomLevel, index);
    save_();
    return true;
}

void ViewOptionCommands::zoomStep(int steps, QPoint anchor)
{
    zoomTo(area_.steppedZoomIndex(steps), anchor);
}

void ViewOptionCommands::zoomTo(int index, QPoint anchor)
{
    if (index == menus_.checkedZoomIndex() || !area_.setZoomIndex(index, anchor))
        return;
    MainMenus::checkOnly(menus_.MenuZoomLevel, index);
    save_();
}

bool ViewOptionCommands::chooseOption(const std::array<QAction*, 3>& items, int index,
                                      void (imaging::ImageControl::*apply)(int))
{
    if (!MainMenus::checkOnly(items, index))
        return false;
    (area_.imageControl()->*apply)(index);
    save_();
    return true;
}

bool ViewOptionCommands::MenuDither_Click(int index)
{
    return chooseOption(menus_.MenuDither, index, &imaging::ImageControl::setDitherMode);
}

bool ViewOptionCommands::MenuMethodDCT_Click(int index)
{
    return chooseOption(menus_.MenuMethodDCT, index, &imaging::ImageControl::setDctMethod);
}

bool ViewOptionCommands::MenuMethodDither_Click(int index)
{
    return chooseOption(menus_.MenuMethodDither, index, &imaging::ImageControl::setJpegDitherMethod);
}

void ViewOptionCommands::MenuFancyJPEG_Click()
{
    const bool on = !menus_.MenuFancyJPEG->isChecked();
    menus_.MenuFancyJPEG->setChecked(on);
    area_.imageControl()->setJpegFancyUpsampling(on);
    save_();
}

void ViewOptionCommands::MenuQuantizeJPEG_Click()
{
    const bool on = !menus_.MenuQuantizeJPEG->isChecked();
    menus_.MenuQuantizeJPEG->setChecked(on);
    area_.imageControl()->setJpegTwoPassQuantize(on);
    save_();
}

} // namespace mv::shell
