#include "shell/ui/ViewComforts.h"

#include "shell/AppSettings.h"
#include "shell/ui/FullScreenMode.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/Slideshow.h"
#include "shell/ui/ViewOptionCommands.h"
#include "viewing/SlideshowPlan.h"
#include "viewing/ui/PictureArea.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace mv::shell {

namespace {

constexpr int kActualSizeIndex = 4; // "100%"

} // namespace

ViewComforts::ViewComforts(MainMenus& menus, ViewOptionCommands& zoom, viewing::PictureArea& area,
                           FullScreenMode& screen, Slideshow& show, AppSettings* settings, QObject* parent)
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
    buildSlideshow(m, show, settings);
    connect(rotateLeft, &QAction::triggered, this, [this] { area_.turnView(-1); });
    connect(rotateRight, &QAction::triggered, this, [this] { area_.turnView(1); });
    connect(zoomIn, &QAction::triggered, this, [this] { zoomByKey(1); });
    connect(zoomOut, &QAction::triggered, this, [this] { zoomByKey(-1); });
    connect(actualSize, &QAction::triggered, this,
            [this] { zoom_.zoomTo(kActualSizeIndex, area_.pictureFrame()->rect().center()); });
}

void ViewComforts::buildSlideshow(QMenu* m, Slideshow& show, AppSettings* settings)
{
    slideshow = m->addAction(tr("&Slideshow"));
    slideshow->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(slideshow, &QAction::triggered, &show, [this, &show] { show.start(intervalSeconds_); });
    if (settings)
        intervalSeconds_ =
            viewing::SlideshowPlan::intervalOrDefault(settings->numberOrDefault(Setting::SlideshowInterval)
                                                          .value_or(viewing::SlideshowPlan::kDefaultSeconds));
    QMenu* intervals = m->addMenu(tr("Slideshow Inter&val"));
    auto* group = new QActionGroup(intervals);
    for (std::size_t i = 0; i < slideshowInterval.size(); ++i) {
        const int seconds = viewing::SlideshowPlan::kIntervalSeconds[i];
        QAction* a = intervals->addAction(tr("%n second(s)", nullptr, seconds));
        a->setCheckable(true);
        a->setChecked(seconds == intervalSeconds_);
        group->addAction(a);
        slideshowInterval[i] = a;
        connect(a, &QAction::triggered, this, [this, seconds, settings] {
            intervalSeconds_ = seconds;
            if (settings)
                settings->setNumber(Setting::SlideshowInterval, seconds);
        });
    }
}

void ViewComforts::zoomByKey(int steps)
{
    zoom_.zoomStep(steps, area_.pictureFrame()->rect().center());
}

} // namespace mv::shell
