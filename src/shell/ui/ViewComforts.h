// The viewer's commands beyond the zoom levels, added to the Zoom menu after them: zoom in
// and out by a level, back to 100 %, turning the picture on show for viewing, full screen and
// the slideshow with its interval (stored).
#pragma once

#include <QObject>

#include <array>

class QAction;
class QMenu;

namespace mv::viewing {
class PictureArea;
} // namespace mv::viewing

namespace mv::shell {

class AppSettings;
class FullScreenMode;
class MainMenus;
class Slideshow;
class ViewOptionCommands;

class ViewComforts : public QObject {
    Q_OBJECT

public:
    ViewComforts(MainMenus& menus, ViewOptionCommands& zoom, viewing::PictureArea& area,
                 FullScreenMode& fullScreen, Slideshow& slideshow, AppSettings* settings, QObject* parent);

    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* actualSize = nullptr;
    QAction* rotateLeft = nullptr;
    QAction* rotateRight = nullptr;
    QAction* fullScreen = nullptr;
    QAction* slideshow = nullptr;
    std::array<QAction*, 4> slideshowInterval {}; // 2, 4, 8 and 16 seconds

private:
    // A zoom key keeps the middle of the picture area in place.
    void zoomByKey(int steps);
    void buildSlideshow(QMenu* menu, Slideshow& show, AppSettings* settings);

    ViewOptionCommands& zoom_;
    viewing::PictureArea& area_;
    int intervalSeconds_ = 4;
};

} // namespace mv::shell
