#include "shell/ui/ViewComforts.h"

#include "browser/ui/PictureArea.h"
#include "shell/ui/FullScreenMode.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/ViewOptionCommands.h"

#include <QAction>
#include <QMenu>

namespace mv::shell {

namespace {

constexpr int kActualSizeIndex = 4; // "100%"

} // namespace

ViewComforts::ViewComforts(MainMenus& menus, ViewOptionCommands& zoom, browser::PictureArea& area,
                           FullScreenMode& screen, QObject* parent)
    : QObject(parent), zoom_(zoom), area_(area)
{
    QMenu* m = menus.MenuZoom;
    m->addSeparator();
    zoomIn = m->addAction(tr("Zoom &In"));
    // Ctrl+= is the same key without Shift on most keyboards.
    zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoomOut = m->addAction(tr("Zoom &Out"));
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    actualSize = m->addAction(tr("&Actual Size"));
    actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    m->addSeparator();
    rotateLeft = m->addAction(tr("Rotate &Left"));
    rotateLeft->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));
    rotateRight = m->addAction(tr("Rotate &Right"));
    rotateRight->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
    m->addSeparator();
    fullScreen = m->addAction(tr("&Full Screen"));
    fullScreen->setShortcut(QKeySequence(Qt::Key_F11));
    fullScreen->setCheckable(true);
    connect(fullScreen, &QAction::triggered, &screen, [this, &screen] {
        fullScreen->setChecked(!fullScreen->isChecked()); // the mode says whether it is on
        screen.toggle();
    });
    connect(&screen, &FullScreenMode::activeChanged, fullScreen, &QAction::setChecked);
    connect(rotateLeft, &QAction::triggered, this, [this] { area_.turnView(-1); });
    connect(rotateRight, &QAction::triggered, this, [this] { area_.turnView(1); });
    connect(zoomIn, &QAction::triggered, this, [this] { zoomByKey(1); });
    connect(zoomOut, &QAction::triggered, this, [this] { zoomByKey(-1); });
    connect(actualSize, &QAction::triggered, this,
            [this] { zoom_.zoomTo(kActualSizeIndex, area_.pictureFrame()->rect().center()); });
}

void ViewComforts::zoomByKey(int steps)
{
    zoom_.zoomStep(steps, area_.pictureFrame()->rect().center());
}

} // namespace mv::shell
