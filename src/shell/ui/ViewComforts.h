// The viewer's commands beyond the zoom levels, added to the Zoom menu after them: zoom in
// and out by a level, back to 100 %, turning the picture on show for viewing, and full screen.
// Each is also a key.
#pragma once

#include <QObject>

class QAction;

namespace mv::browser {
class PictureArea;
} // namespace mv::browser

namespace mv::shell {

class FullScreenMode;
class MainMenus;
class ViewOptionCommands;

class ViewComforts : public QObject {
    Q_OBJECT

public:
    ViewComforts(MainMenus& menus, ViewOptionCommands& zoom, browser::PictureArea& area,
                 FullScreenMode& fullScreen, QObject* parent);

    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* actualSize = nullptr;
    QAction* rotateLeft = nullptr;
    QAction* rotateRight = nullptr;
    QAction* fullScreen = nullptr;

private:
    // A zoom key keeps the middle of the picture area in place.
    void zoomByKey(int steps);

    ViewOptionCommands& zoom_;
    browser::PictureArea& area_;
};

} // namespace mv::shell
