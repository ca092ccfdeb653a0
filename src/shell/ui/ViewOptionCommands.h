// The Zoom menu and the decoding options of the Image menu: each choice moves its check mark,
// goes to the image control at once and is stored. None reloads the picture on show.
#pragma once

#include <QObject>
#include <QPoint>

#include <array>
#include <functional>

class QAction;

namespace mv::viewing {
class PictureArea;
} // namespace mv::viewing

namespace mv::imaging {
class ImageControl;
} // namespace mv::imaging

namespace mv::shell {

class MainMenus;

class ViewOptionCommands : public QObject {
    Q_OBJECT

public:
    ViewOptionCommands(MainMenus& menus, viewing::PictureArea& area, std::function<void()> saveSettings,
                       QObject* parent = nullptr);

    // Each returns false, changing nothing, for an index outside its menu (a stored value
    // that no longer fits is then simply not applied).
    bool MenuZoomLevel_Click(int index);
    // Ctrl+wheel, a pinch and the zoom keys: `steps` levels up or down, keeping the picture
    // point under `anchor` (picture frame pixels) in place; the check mark and "Zoom" follow.
    void zoomStep(int steps, QPoint anchor);
    // Zoom item `index`, keeping the picture point under `anchor` in place.
    void zoomTo(int index, QPoint anchor);
    bool MenuDither_Click(int index);
    bool MenuMethodDCT_Click(int index);
    bool MenuMethodDither_Click(int index);
    void MenuFancyJPEG_Click();
    void MenuQuantizeJPEG_Click();

private:
    bool chooseOption(const std::array<QAction*, 3>& items, int index,
                      void (imaging::ImageControl::*apply)(int));

    MainMenus& menus_;
    viewing::PictureArea& area_;
    std::function<void()> save_;
};

} // namespace mv::shell
