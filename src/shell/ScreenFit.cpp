#include "shell/ScreenFit.h"

namespace mv::shell {

namespace {

qint64 area(const QRect& r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

} // namespace

QRect fitOnScreens(const QRect& window, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return window;
    qint64 onScreens = 0;
    qint64 mostShared = -1;
    QRect best;
    for (const QRect& screen : screens) {
        const qint64 shared = area(screen.intersected(window));
        onScreens += shared;
        if (shared > mostShared) {
            mostShared = shared;
            best = screen;
        }
    }
    if (onScreens >= area(window))
        return window;
    QRect fitted(window.topLeft(), window.size().boundedTo(best.size()));
    fitted.moveLeft(qBound(best.left(), fitted.left(), best.left() + best.width() - fitted.width()));
    fitted.moveTop(qBound(best.top(), fitted.top(), best.top() + best.height() - fitted.height()));
    return fitted;
}

} // namespace mv::shell
