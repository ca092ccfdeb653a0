#include "widgets/Centering.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace mv::widgets {

namespace {

QRect outerRect(const QWidget* w)
{
    // Before the first show there is no frame yet; the size to be shown is what counts.
    const QSize size = w->isVisible() ? w->frameGeometry().size() : w->size().expandedTo(w->sizeHint());
    return QRect(w->isVisible() ? w->frameGeometry().topLeft() : w->pos(), size);
}

} // namespace

void CenterOnScreen(QWidget* w)
{
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    const QRect outer = outerRect(w);
    const int chrome = w->isVisible() ? outer.height() - w->height() : 0;
    w->move(avail.left() + (avail.width() - outer.width()) / 2,
            std::max(avail.top(), avail.top() + (avail.height() - outer.height()) / 2 - chrome));
}

void CenterOnOwner(QWidget* w, QWidget* owner)
{
    if (!owner || owner->isMinimized() || !owner->isVisible()) {
        CenterOnScreen(w);
        return;
    }
    const QRect o = owner->frameGeometry();
    const QRect outer = outerRect(w);
    w->move(o.left() + (o.width() - outer.width()) / 2, o.top() + (o.height() - outer.height()) / 2);
}

} // namespace mv::widgets
