// A window's minimized state where the platform cannot tell it: xdg-shell has a request to
// minimize but no event saying a window is minimized, so Qt's Wayland platform reports the
// window as not minimized right after asking. Everything that checks isMinimized() (moving the
// window into the tray, bringing it back from there or after a Secured Access program) would
// then never see the minimize that the user or the program asked for.
//
// The keeper lets the window remember that it asked: a report of the platform that only drops
// the minimized state is not passed on to the widget. The window leaves the state when it is
// shown normally or maximized, and when the compositor brings it back: it becomes active again
// after it had lost the focus while minimized. An activation without that loss (a compositor
// that ignores minimizing and activates the window it maps) leaves the state, so a tray that
// comes later still takes the window.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace mv::shell {

class MinimizeKeeper : public QObject {
public:
    // Keeps the state of the top-level `window`, whose child it becomes.
    explicit MinimizeKeeper(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchHandle();
    [[nodiscard]] bool onlyDropsMinimized() const;

    QWidget* window_;
    QPointer<QWindow> handle_;
    bool leftWhileMinimized_ = false;
};

} // namespace mv::shell
